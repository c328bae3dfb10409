// Minimising into the notification area and coming back from it, the message about a run that
// ended there, and coming forward when another start hands over. Where the desktop has no
// notification area, minimising stays an ordinary minimise: the window is never hidden without a
// way back.
#include <QEvent>
#include <QFileInfo>
#include <QTimer>
#include <utility>

#include "app/MainWindow.h"
#include "app/NotificationArea.h"
#include "output/DesktopOpener.h"

namespace quillorn {

namespace {

const QString kTrayTooltip = QStringLiteral("Vantrel");

QString RunEndedMessage(const RunSummary& summary) {
    const QString file = QFileInfo(summary.resultFile).fileName();
    if (summary.failedCards > 0) {
        const QString counts =
            QStringLiteral("Новых отзывов: %1. Карточек с ошибками: %2")
                .arg(QString::number(summary.delivered), QString::number(summary.failedCards));
        return summary.delivered == 0 ? counts : counts + u'\n' + file;
    }
    if (summary.delivered == 0)
        return QStringLiteral("Новых отзывов нет");
    return QStringLiteral("Новых отзывов: %1\n%2").arg(QString::number(summary.delivered), file);
}

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
// window has it in its log panel already. Cards that could not be read are counted, so a run that
// failed everywhere (no network) does not pass for one that found nothing new.
void MainWindow::RunEnded(const RunSummary& summary) {
    if (isVisible() || !notificationArea_->HasIcon() || closing_ || closePending_)
        return;
    trayMessageFile_ = summary.workbook.isEmpty() ? summary.resultFile : summary.workbook;
    // Titled with the program's name: the desktop shows it beside the message, where "Vantrel"
    // would name nothing the user installed.
    notificationArea_->ShowMessage(QStringLiteral("Quillorn"), RunEndedMessage(summary));
}

// The message opens its file once: a second click on it, or its click reported twice, opens no
// second copy of the workbook.
void MainWindow::OnTrayMessageClicked() {
    const QString file = std::exchange(trayMessageFile_, QString());
    if (!file.isEmpty())
        opener_->Open(file);
}

// The window is asked to come forward (another start in the same files folder handed over to it):
// back from the notification area, out of a minimised state, on top.
void MainWindow::BringForward() {
    if (closing_ || refused_)
        return;
    if (notificationArea_->HasIcon()) {
        RestoreFromTray();
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

}  // namespace quillorn
