// Minimising into the notification area and coming back from it. Where the desktop has no
// notification area, minimising stays an ordinary minimise: the window is never hidden without a
// way back.
#include <QEvent>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/NotificationArea.h"

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
    if (click == NotificationArea::Click::Other || !notificationArea_->HasIcon())
        return;
    notificationArea_->RemoveIcon();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

}  // namespace quillorn
