#include "app/NotificationArea.h"

#include <QSystemTrayIcon>

namespace quillorn {

SystemNotificationArea::SystemNotificationArea(QObject* parent)
    : NotificationArea(parent), icon_(new QSystemTrayIcon(this)) {
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                    case QSystemTrayIcon::Trigger:
                        emit Clicked(Click::LeftRelease);
                        break;
                    case QSystemTrayIcon::DoubleClick:
                        emit Clicked(Click::LeftDoubleClick);
                        break;
                    default:
                        emit Clicked(Click::Other);
                }
            });
}

// The icon leaves the area with the process rather than lingering as a dead entry.
SystemNotificationArea::~SystemNotificationArea() {
    icon_->hide();
}

bool SystemNotificationArea::Available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemNotificationArea::AddIcon(const QIcon& icon, const QString& tooltip) {
    icon_->setIcon(icon);
    icon_->setToolTip(tooltip);
    icon_->show();
}

void SystemNotificationArea::RemoveIcon() {
    icon_->hide();
}

bool SystemNotificationArea::HasIcon() const {
    return icon_->isVisible();
}

}  // namespace quillorn
