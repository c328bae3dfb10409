// quillorn-window-run DIR API_BASE SITE_BASE: the real window over the files of DIR and the
// directory at the two addresses. Once shown it presses START with no pause between cards,
// closes when the run has ended, and ends with the window's exit code. Nothing is opened on a
// desktop. Tests end it from outside at any moment, as a logout or a power cut would.
#include <QApplication>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>

#include "app/MainWindow.h"
#include "frontend/TerminationSignals.h"
#include "tests/support/RecordingOpener.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fputs("usage: quillorn-window-run DIR API_BASE SITE_BASE\n", stderr);
        return 2;
    }
    quillorn::MainWindowSetup setup;
    setup.dir = quillorn::AppDir(args.at(1));
    setup.endpoints = {args.at(2), args.at(3)};
    setup.opener = std::make_unique<quillorn::test::RecordingOpener>();
    quillorn::MainWindow form(std::move(setup));
    QObject::connect(&form, &quillorn::MainWindow::Closed, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    const quillorn::TerminationSignals terminations([&form] { form.CloseForTermination(); });
    form.show();
    QTimer::singleShot(0, &form, [&form] {
        form.findChild<QSpinBox*>(QStringLiteral("IntervalSpinEdit"))->setValue(0);
        form.OnStartClicked();  // returns when the run has ended
        form.close();
    });
    return app.exec();
}
