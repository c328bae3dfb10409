// The desktop's notification area, where the minimised window waits as an icon. The window talks to
// this interface only, so the tray behaviour is the same whatever service provides the area (and
// can be driven in tests, where no desktop runs).
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace quillorn {

class NotificationArea : public QObject {
    Q_OBJECT
public:
    // How the icon was clicked: the release of the left button, a left double click, or anything
    // else (right or middle button).
    enum class Click { LeftRelease, LeftDoubleClick, Other };

    using QObject::QObject;
    // Whether the desktop has a notification area at all.
    virtual bool Available() const = 0;
    virtual void AddIcon(const QIcon& icon, const QString& tooltip) = 0;
    virtual void RemoveIcon() = 0;
    virtual bool HasIcon() const = 0;
    // A passing message beside the icon; a click on it is reported by MessageClicked.
    virtual void ShowMessage(const QString& title, const QString& text) = 0;

signals:
    void Clicked(quillorn::NotificationArea::Click click);
    // The icon's menu: some desktops open it on any click and never report the click itself, so
    // the menu alone must be enough to bring the window back or end the program.
    void RestoreChosen();
    void ExitChosen();
    void OpenFolderChosen();
    void MessageClicked();
};

// The area through QSystemTrayIcon.
class SystemNotificationArea final : public NotificationArea {
    Q_OBJECT
public:
    explicit SystemNotificationArea(QObject* parent = nullptr);
    ~SystemNotificationArea() override;

    bool Available() const override;
    void AddIcon(const QIcon& icon, const QString& tooltip) override;
    void RemoveIcon() override;
    bool HasIcon() const override;
    void ShowMessage(const QString& title, const QString& text) override;

private:
    // A menu is a widget and has no QObject parent here, so it is owned outright.
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* icon_;  // owned as a child
};

}  // namespace quillorn
