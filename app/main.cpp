// Quillorn: harvests the public reviews of firms in the 2GIS city directory.
#include <QApplication>

#include "app/MainWindow.h"
#include "frontend/TerminationSignals.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillorn"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.quillorn.Quillorn"));
    // The window decides when the program ends: closing it during a run waits for the run, and a
    // window hidden in the notification area is not a closed one.
    QApplication::setQuitOnLastWindowClosed(false);

    quillorn::MainWindow form;
    QObject::connect(&form, &quillorn::MainWindow::Closed, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    const quillorn::TerminationSignals terminations([&form] { form.CloseForTermination(); });
    form.show();
    return app.exec();
}
