// Minimising into the notification area and coming back from it. Where the desktop has no
// notification area, minimising stays an ordinary minimise: the window is never hidden without a
// way back.
#include <QEvent>
#include <QFileInfo>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/NotificationArea.h"
#include "output/DesktopOpener.h"

namespace quillorn {

namespace {

const QString kTrayTooltip = QStringLiteral("Vantrel");

}  // namespace

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (!(windowState() & Qt::WindowMinimized) || !isVisible())
        return;
    if (!notificationArea_->Available())
        return;
    // Hidden once the state change has been handled: hiding a window inside its own state
    // change confuses some window managers.
    QTimer::singleShot(0, this, &MainWindow::MinimiseToTray);
}

void MainWindow::MinimiseToTray() {
    if (!(windowState() & Qt::WindowMinimized) || !isVisible() || closing_)
        return;
    notificationArea_->AddIcon(windowIcon(), kTrayTooltip);
    hide();
}

void MainWindow::OnTrayClick(NotificationArea::Click click) {
    if (click != NotificationArea::Click::Other)
        RestoreFromTray();
}

void MainWindow::RestoreFromTray() {
    if (!notificationArea_->HasIcon() || closing_)
        return;
    notificationArea_->RemoveIcon();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// Someone who left the window in the notification area learns there what the run found; a shown
// window has it in its log panel already.
void MainWindow::RunEnded(const RunSummary& summary) {
    if (isVisible() || !notificationArea_->HasIcon() || closing_ || closePending_)
        return;
    trayMessageFile_ = summary.workbook.isEmpty() ? summary.resultFile : summary.workbook;
    if (summary.delivered == 0) {
        notificationArea_->ShowMessage(kTrayTooltip, QStringLiteral("Новых отзывов нет"));
        return;
    }
    notificationArea_->ShowMessage(
        kTrayTooltip,
        QStringLiteral("Новых отзывов: %1\n%2")
            .arg(QString::number(summary.delivered), QFileInfo(summary.resultFile).fileName()));
}

void MainWindow::OnTrayMessageClicked() {
    if (!trayMessageFile_.isEmpty())
        opener_->Open(trayMessageFile_);
}

}  // namespace quillorn
