// quillorn-window-run DIR API_BASE SITE_BASE: the real window over the files of DIR and the
// directory at the two addresses. Once shown it presses START with no pause between cards,
// closes when the run has ended, and ends with the window's exit code. Tests end it from outside
// at any moment, as a logout or a power cut would.
#include <QSpinBox>
#include <QTimer>

#include "tests/support/WindowProgram.h"

int main(int argc, char* argv[]) {
    using namespace quillorn;
    return test::RunWindowProgram(
        argc, argv, 3, "quillorn-window-run DIR API_BASE SITE_BASE",
        [](MainWindowSetup& setup, const QStringList& args) {
            setup.endpoints = {args.at(1), args.at(2)};
        },
        [](MainWindow& form, const QStringList&) {
            form.findChild<QSpinBox*>(QStringLiteral("IntervalSpinEdit"))->setValue(0);
            form.OnStartClicked();  // returns when the run has ended
            form.close();
        });
}
