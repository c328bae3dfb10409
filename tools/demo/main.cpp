// quillorn-demo: Quillorn against a stand-in directory on this machine, so a whole run can be
// watched without internet. The stand-in serves six firm cards and their reviews over TLS on
// loopback; the window is the real one, with its files in the "demo" folder beside this program
// (or the folder `--dir DIR` names) and its card list filled with the stand-in's card URLs.
//
// `quillorn-demo --screenshot FILE` presses START by itself, saves a picture of the window to FILE
// once the fifth card is being loaded, and closes the window (which ends the run): the README's
// screenshot is made this way.
#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "frontend/CardListFile.h"
#include "frontend/TerminationSignals.h"
#include "platform/LocaleServices.h"
#include "standin/StandInDirectory.h"
#include "tools/demo/DemoCards.h"

namespace {

// Starts a run and, while it goes on, saves the window's picture once the log shows that
// url is being loaded; then closes the window.
void TakeScreenshotDuringARun(quillorn::MainWindow& form, const QString& path, const QString& url) {
    auto* watch = new QTimer(&form);
    watch->setInterval(50);
    QObject::connect(watch, &QTimer::timeout, &form, [&form, watch, path, url] {
        const auto* log = form.findChild<QPlainTextEdit*>(QStringLiteral("LogsMemo"));
        if (!log->toPlainText().contains(url))
            return;
        watch->stop();
        const bool saved = form.grab().save(path);
        std::printf(saved ? "Saved %s\n" : "Cannot save %s\n", qUtf8Printable(path));
        std::fflush(stdout);
        form.close();
    });
    watch->start();
    QTimer::singleShot(300, &form, [&form] {
        form.findChild<QPushButton*>(QStringLiteral("StartButton"))->click();
    });
}

// The value that follows option on the command line; empty when it is not there.
QString OptionValue(const QStringList& arguments, const QString& option) {
    const qsizetype at = arguments.indexOf(option);
    return at > 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillorn"));
    QApplication::setQuitOnLastWindowClosed(false);

    quillorn::standin::StandInDirectory directory;
    QStringList urls;
    for (const quillorn::standin::StandInCard& card : quillorn::demo::DemoCards())
        urls << directory.AddCard(card);

    const QStringList arguments = QCoreApplication::arguments();
    QString folder = OptionValue(arguments, QStringLiteral("--dir"));
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath() + QStringLiteral("/demo");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "Cannot create the demo folder %s\n", qUtf8Printable(folder));
        return 1;
    }
    quillorn::MainWindowSetup setup;
    setup.dir = quillorn::AppDir(folder);
    setup.endpoints = directory.MakeEndpoints();
    // The stand-in's ports change with every start, so the card list is written afresh.
    const quillorn::TextEncoding codePage = setup.locale->CodePage();
    quillorn::CardListFile list = quillorn::CardListFile::New(codePage);
    list.text = urls.join(QStringLiteral("\r\n"));
    const bool listed = quillorn::RunReportingErrors(nullptr, [&] {
        list.Save(setup.dir.FilePath(QString::fromLatin1(quillorn::kCardListFileName)), codePage);
    });
    if (!listed)
        return 1;

    std::printf(
        "Stand-in directory: site %s, reviews API %s\nQuillorn keeps the demo's files in %s\n",
        qUtf8Printable(directory.SiteAddress()), qUtf8Printable(directory.ApiBase()),
        qUtf8Printable(folder));
    std::fflush(stdout);

    quillorn::MainWindow form(std::move(setup));
    form.setWindowTitle(QStringLiteral("Quillorn (demo)"));
    QObject::connect(&form, &quillorn::MainWindow::Closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    const quillorn::TerminationSignals terminations([&form] { form.CloseForTermination(); });
    form.show();

    const QString screenshot = OptionValue(arguments, QStringLiteral("--screenshot"));
    if (!screenshot.isEmpty())
        TakeScreenshotDuringARun(form, screenshot, urls.value(4));
    return app.exec();
}
