// The real window as a program of its own, for tests that end it from outside as a crash, a
// logout or a power cut would: built over the folder its first argument names, nothing ever
// opened on a desktop, shown, and then driven as a user would.
#pragma once

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/MainWindow.h"
#include "frontend/TerminationSignals.h"
#include "tests/support/RecordingOpener.h"

namespace quillorn::test {

// args: the program's arguments after its name, the folder first; usage is printed when there
// are not exactly arguments of them. setUp completes the window's setup; act runs once the
// window is shown. Returns the window's exit code.
inline int RunWindowProgram(int argc, char* argv[], int arguments, const char* usage,
                            const std::function<void(MainWindowSetup&, const QStringList&)>& setUp,
                            const std::function<void(MainWindow&, const QStringList&)>& act) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != arguments) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return 2;
    }
    MainWindowSetup setup;
    setup.dir = AppDir(args.at(0));
    setup.opener = std::make_unique<RecordingOpener>();
    setUp(setup, args);
    MainWindow form(std::move(setup));
    QObject::connect(&form, &MainWindow::Closed, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    const TerminationSignals terminations([&form] { form.CloseForTermination(); });
    form.show();
    QTimer::singleShot(0, &form, [&form, &act, &args] { act(form, args); });
    return app.exec();
}

}  // namespace quillorn::test
