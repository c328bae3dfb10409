// Quillorn: harvests the public reviews of firms in the 2GIS city directory.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstring>

#include "app/MainWindow.h"
#include "app/WindowInstance.h"
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
    // Before the window exists: a start that hands over reads and writes none of the folder's
    // files and shows no box of its own, the window already open being the user's.
    quillorn::WindowInstance instance(setup.dir);
    switch (instance.ClaimFolder()) {
        case quillorn::WindowInstance::Claim::Owned:
            break;
        case quillorn::WindowInstance::Claim::HandedOver:
            qInfo("Quillorn is already open for %s: its window has been brought forward",
                  qUtf8Printable(setup.dir.Path()));
            return 0;
        case quillorn::WindowInstance::Claim::NoAnswer:
            // A second window would undo the first one's card list at close.
            qCritical("Quillorn is already open for %s, but its window does not answer",
                      qUtf8Printable(setup.dir.Path()));
            return 1;
        case quillorn::WindowInstance::Claim::Unguarded:
            qWarning(
                "Cannot listen on the local socket %s (%s): a second start in this folder "
                "would open a second window",
                qUtf8Printable(instance.Name()), qUtf8Printable(instance.ErrorText()));
            break;
    }
    setup.endProcess = [&instance, end = std::move(setup.endProcess)](int exitCode) {
        instance.Release();
        end(exitCode);
    };
    quillorn::MainWindow form(std::move(setup));
    QObject::connect(&form, &quillorn::MainWindow::Closed, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    QObject::connect(&instance, &quillorn::WindowInstance::HandOverReceived, &form, [&form] {
        qInfo("Another start in this folder handed over to this window");
        form.BringForward();
    });
    const quillorn::TerminationSignals terminations([&form] { form.CloseForTermination(); });
    form.show();
    return app.exec();
}
