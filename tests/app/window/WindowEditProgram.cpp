// quillorn-window-edit DIR LINE: the real window over the files of DIR, shown, which then does
// what a user would: adds LINE to the card list and unticks "Каждый отзыв на отдельной строке".
// It never closes by itself; tests end it from outside, as a crash or a lost display would.
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>

#include "app/MainWindow.h"
#include "frontend/TerminationSignals.h"
#include "tests/support/RecordingOpener.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: quillorn-window-edit DIR LINE\n", stderr);
        return 2;
    }
    quillorn::MainWindowSetup setup;
    setup.dir = quillorn::AppDir(args.at(1));
    setup.programDir = setup.dir;
    setup.opener = std::make_unique<quillorn::test::RecordingOpener>();
    quillorn::MainWindow form(std::move(setup));
    QObject::connect(&form, &quillorn::MainWindow::Closed, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    const quillorn::TerminationSignals terminations([&form] { form.CloseForTermination(); });
    form.show();
    QTimer::singleShot(0, &form, [&form, line = args.at(2)] {
        form.findChild<QPlainTextEdit*>(QStringLiteral("InnsMemo"))->appendPlainText(line);
        form.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(false);
    });
    return app.exec();
}
