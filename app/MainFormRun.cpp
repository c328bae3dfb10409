// The window as the host of a run: what the run reads and sets on the controls, the start and stop
// buttons, and the repeat timer's rules around a run.
#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>

#include "app/ErrorReport.h"
#include "app/MainForm.h"
#include "app/RepeatTimer.h"
#include "harvest/HarvestRun.h"
#include "output/RunLog.h"
#include "platform/Errors.h"

namespace quillorn {

bool TMainForm::VerticalLayout() const {
    return checkBox1_->isChecked();
}

QString TMainForm::CardListText() const {
    QStringList lines;
    const int count = CardLineCount();
    for (int i = 0; i < count; ++i)
        lines.append(CardLine(i));
    return lines.join(QStringLiteral("\r\n"));
}

// The list's lines as a list of lines counts them: an empty list has none, and the empty line
// after a final line break is no line.
int TMainForm::CardLineCount() const {
    const QTextDocument* document = innsMemo_->document();
    int count = document->blockCount();
    if (document->lastBlock().text().isEmpty())
        --count;
    return count;
}

QString TMainForm::CardLine(int i) const {
    if (i < 0 || i >= CardLineCount())
        throw Failure(QStringLiteral("List index out of bounds (%1)").arg(i));
    return innsMemo_->document()->findBlockByNumber(i).text();
}

int TMainForm::IntervalSeconds() const {
    return intervalSpinEdit_->value();
}
void TMainForm::SetIntervalSeconds(int seconds) {
    intervalSpinEdit_->setValue(seconds);
}
bool TMainForm::NoReviewsNoWrites() const {
    return dontWriteWhenNoReviewsCheckBox_->isChecked();
}
bool TMainForm::RepeatChecked() const {
    return repeatCheckBox_->isChecked();
}
int TMainForm::RepeatMinutes() const {
    return repeatIntervalSpinEdit_->value();
}

void TMainForm::ArmRepeatTimer(int intervalMs) {
    repeatTimer_->SetInterval(intervalMs);
    repeatTimer_->SetEnabled(true);
}

void TMainForm::DisableRunControls() {
    startButton_->setEnabled(false);
    checkBox1_->setEnabled(false);
    dontWriteWhenNoReviewsCheckBox_->setEnabled(false);
    repeatTimer_->SetEnabled(false);
}

void TMainForm::EnableRunControls() {
    progressBar_->setValue(0);
    startButton_->setEnabled(true);
    checkBox1_->setEnabled(true);
    dontWriteWhenNoReviewsCheckBox_->setEnabled(true);
}

void TMainForm::SetProgressMaximum(int maximum) {
    progressBar_->setMaximum(maximum);
}
void TMainForm::SetProgressPosition(int position) {
    progressBar_->setValue(position);
}

void TMainForm::PumpEvents() {
    QCoreApplication::processEvents();
}

void TMainForm::ShowWarning(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

void TMainForm::StartButtonClick() {
    // The start button is disabled for the whole of a run; this holds for a click by program too.
    if (running_ || !startButton_->isEnabled())
        return;
    running_ = true;
    const bool ran = ReportingErrors([this] { PerformRun(); });
    running_ = false;
    // A run whose start failed after it locked the controls leaves them locked; the window gives
    // them back so the user can correct the cause and start again. The repeat timer stays stopped.
    if (!ran && !startButton_->isEnabled())
        EnableRunControls();
    FinishPendingClose();
}

void TMainForm::PerformRun() {
    run_->StartButtonClick();
}

void TMainForm::StopButtonClick() {
    stop_.Request();
    runLog_->Add(QStringLiteral(": Останавливаем работу"));
}

void TMainForm::RepeatCheckBoxClick() {
    repeatTimer_->SetInterval(repeatIntervalSpinEdit_->value() * 60000);
    repeatTimer_->SetEnabled(repeatCheckBox_->isChecked());
    if (!startButton_->isEnabled())
        repeatTimer_->SetEnabled(false);
}

void TMainForm::RepeatTimerTimer() {
    repeatTimer_->SetEnabled(false);
    StartButtonClick();
}

}  // namespace quillorn
