// quillorn-harvest: the window's harvest without a window, for servers and schedules.
#include <QCoreApplication>
#include <cstdio>

#include "frontend/TerminationSignals.h"
#include "frontend/Translations.h"
#include "headless/ConsoleOutput.h"
#include "headless/HarvestOptions.h"
#include "headless/HeadlessHarvest.h"

int main(int argc, char* argv[]) {
    // Before anything else: a signal that comes while the program is still starting ends it as a
    // stop (130), not by the signal's default action.
    quillorn::SurviveFileSizeLimit();
    quillorn::CatchTerminationSignals();
    quillorn::PrepareConsoleOutput();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillorn-harvest"));
    const quillorn::Translations translations(QStringLiteral("quillorn-harvest"));

    quillorn::HarvestOptions options;
    try {
        options = quillorn::ParseHarvestOptions(QCoreApplication::arguments());
    } catch (const quillorn::UsageError& error) {
        using quillorn::HarvestTexts;
        std::fprintf(stderr, "quillorn-harvest: %s\n%s\n", qUtf8Printable(error.Message()),
                     qUtf8Printable(HarvestTexts::tr("Try 'quillorn-harvest --help'.")));
        return static_cast<int>(quillorn::ExitStatus::NotStarted);
    }
    if (options.help) {
        std::fputs(qUtf8Printable(quillorn::HarvestUsage()), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("quillorn-harvest %s\n", QUILLORN_VERSION);
        return 0;
    }
    return static_cast<int>(quillorn::RunHeadlessHarvest(options));
}
