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
#include "app/MainWindow.h"
#include "app/RepeatTimer.h"
#include "harvest/HarvestRun.h"
#include "output/RunLog.h"
#include "platform/Errors.h"

namespace quillorn {

bool MainWindow::VerticalLayout() const {
    return perReviewRowsCheck_->isChecked();
}

QString MainWindow::CardListText() const {
    QStringList lines;
    const int count = CardLineCount();
    for (int i = 0; i < count; ++i)
        lines.append(CardLine(i));
    return lines.join(QStringLiteral("\r\n"));
}

// The list's lines as a list of lines counts them: an empty list has none, and the empty line
// after a final line break is no line.
int MainWindow::CardLineCount() const {
    const QTextDocument* document = cardListEdit_->document();
    int count = document->blockCount();
    if (document->lastBlock().text().isEmpty())
        --count;
    return count;
}

QString MainWindow::CardLine(int i) const {
    if (i < 0 || i >= CardLineCount())
        throw Failure(QStringLiteral("List index out of bounds (%1)").arg(i));
    return cardListEdit_->document()->findBlockByNumber(i).text();
}

int MainWindow::IntervalSeconds() const {
    return intervalSpinEdit_->value();
}
void MainWindow::SetIntervalSeconds(int seconds) {
    intervalSpinEdit_->setValue(seconds);
}
bool MainWindow::NoReviewsNoWrites() const {
    return dontWriteWhenNoReviewsCheckBox_->isChecked();
}
bool MainWindow::RepeatChecked() const {
    return repeatCheckBox_->isChecked();
}
int MainWindow::RepeatMinutes() const {
    return repeatIntervalSpinEdit_->value();
}

void MainWindow::ArmRepeatTimer(int intervalMs) {
    repeatTimer_->SetInterval(intervalMs);
    repeatTimer_->SetEnabled(true);
}

void MainWindow::DisableRunControls() {
    startButton_->setEnabled(false);
    perReviewRowsCheck_->setEnabled(false);
    dontWriteWhenNoReviewsCheckBox_->setEnabled(false);
    repeatTimer_->SetEnabled(false);
}

void MainWindow::EnableRunControls() {
    progressBar_->setValue(0);
    startButton_->setEnabled(true);
    perReviewRowsCheck_->setEnabled(true);
    dontWriteWhenNoReviewsCheckBox_->setEnabled(true);
}

void MainWindow::SetProgressMaximum(int maximum) {
    progressBar_->setMaximum(maximum);
}
void MainWindow::SetProgressPosition(int position) {
    progressBar_->setValue(position);
}

void MainWindow::PumpEvents() {
    QCoreApplication::processEvents();
}

void MainWindow::ShowWarning(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

void MainWindow::OnStartClicked() {
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

void MainWindow::PerformRun() {
    run_->Run();
}

void MainWindow::OnStopClicked() {
    stop_.Request();
    runLog_->Add(QStringLiteral(": Останавливаем работу"));
}

void MainWindow::OnRepeatCheckClicked() {
    repeatTimer_->SetInterval(repeatIntervalSpinEdit_->value() * 60000);
    repeatTimer_->SetEnabled(repeatCheckBox_->isChecked());
    if (!startButton_->isEnabled())
        repeatTimer_->SetEnabled(false);
}

void MainWindow::OnRepeatTimer() {
    repeatTimer_->SetEnabled(false);
    OnStartClicked();
}

}  // namespace quillorn
