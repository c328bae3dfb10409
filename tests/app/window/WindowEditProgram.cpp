// quillorn-window-edit DIR LINE: the real window over the files of DIR, shown, which then does
// what a user would: adds LINE to the card list and unticks "Каждый отзыв на отдельной строке".
// It never closes by itself; tests end it from outside, as a crash or a lost display would.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTimer>

#include "tests/support/WindowProgram.h"

int main(int argc, char* argv[]) {
    using namespace quillorn;
    return test::RunWindowProgram(
        argc, argv, 2, "quillorn-window-edit DIR LINE",
        // Judged where it was built: the files folder may be a temporary one, which Windows
        // starts refuse.
        [](MainWindowSetup& setup, const QStringList&) {
            setup.programDir = AppDir(QCoreApplication::applicationDirPath());
        },
        [](MainWindow& form, const QStringList& args) {
            form.findChild<QPlainTextEdit*>(QStringLiteral("InnsMemo"))
                ->appendPlainText(args.at(1));
            form.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(false);
        });
}
