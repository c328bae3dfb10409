// Saving what the user typed without waiting for the close: a session can end with the window in
// the notification area (a logout without a session manager, a lost display, a crash), and no
// close comes then. The card list and the options are saved once they have been quiet for a
// moment, and at once when the session manager asks.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>

#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "output/RunLog.h"

namespace quillorn {

// Called once the files have been read at the first show: the values put into the controls from
// the files are no change of the user's.
void MainWindow::WatchTypedInput() {
    const auto changed = [this] { saveTimer_->start(); };
    connect(cardListEdit_, &QPlainTextEdit::textChanged, saveTimer_, changed);
    for (QCheckBox* box : {perReviewRowsCheck_, repeatCheckBox_, dontWriteWhenNoReviewsCheckBox_})
        connect(box, &QCheckBox::toggled, saveTimer_, changed);
    connect(repeatIntervalSpinEdit_, &QSpinBox::valueChanged, saveTimer_, changed);
}

void MainWindow::SaveTypedInput() {
    saveTimer_->stop();
    if (!shown_ || refused_ || closing_)
        return;
    // Each file on its own: a settings file that cannot be written must not cost the card list.
    QStringList failures;
    for (const auto save : {&MainWindow::SaveSettings, &MainWindow::SaveCardList}) {
        try {
            (this->*save)();
        } catch (const std::exception& error) {
            failures << ErrorReportText(MessageOf(error));
        }
    }
    const QString failure = failures.join(u'\n');
    // No box: nobody may be there to answer one, and a full disk would raise one after every
    // pause in typing. The close still reports a failure with its box.
    if (!failure.isEmpty() && failure != saveFailure_) {
        qCritical("%s", qUtf8Printable(failure));
        runLog_->Add(QStringLiteral(": ") + failure);
    }
    saveFailure_ = failure;
}

}  // namespace quillorn
