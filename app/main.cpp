// Quillorn: harvests the public reviews of firms in the 2GIS city directory.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstring>

#include "app/MainWindow.h"
#include "frontend/FilesFolder.h"
#include "frontend/StartupRefusals.h"
#include "frontend/TerminationSignals.h"
#include "frontend/Translations.h"

int main(int argc, char* argv[]) {
    // Answered before the application object exists, which needs a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quillorn %s\n", QUILLORN_VERSION);
        return 0;
    }
    quillorn::SurviveFileSizeLimit();
    QApplication app(argc, argv);
    const quillorn::Translations translations;
    QApplication::setApplicationName(QStringLiteral("Quillorn"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.quillorn.Quillorn"));
    // The window decides when the program ends: closing it during a run waits for the run, and a
    // window hidden in the notification area is not a closed one.
    QApplication::setQuitOnLastWindowClosed(false);

    quillorn::MainWindowSetup setup;
    try {
        setup.dir = quillorn::FilesFolderOfThisProcess(setup.programDir);
    } catch (const quillorn::FilesFolderUnavailable& error) {
        qCritical("%s", error.what());
        QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(quillorn::kRefusalCaption),
                        error.Message(), QMessageBox::Ok);
        box.exec();
        return 1;
    }
    quillorn::MainWindow form(std::move(setup));
    QObject::connect(&form, &quillorn::MainWindow::Closed, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    const quillorn::TerminationSignals terminations([&form] { form.CloseForTermination(); });
    form.show();
    return app.exec();
}
