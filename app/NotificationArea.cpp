#include "app/NotificationArea.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace quillorn {

SystemNotificationArea::SystemNotificationArea(QObject* parent)
    : NotificationArea(parent), menu_(std::make_unique<QMenu>()), icon_(new QSystemTrayIcon(this)) {
    connect(menu_->addAction(QStringLiteral("Развернуть")), &QAction::triggered, this,
            &NotificationArea::RestoreChosen);
    connect(menu_->addAction(QStringLiteral("Открыть папку с результатами")), &QAction::triggered,
            this, &NotificationArea::OpenFolderChosen);
    connect(menu_->addAction(QStringLiteral("Выход")), &QAction::triggered, this,
            &NotificationArea::ExitChosen);
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::messageClicked, this, &NotificationArea::MessageClicked);
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

void SystemNotificationArea::ShowMessage(const QString& title, const QString& text) {
    icon_->showMessage(title, text, QSystemTrayIcon::Information);
}

}  // namespace quillorn
