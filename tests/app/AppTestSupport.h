// What the window tests share: a watcher that records and closes every modal box (so no box can
// hang a test), a notification area the test clicks; the recording desktop opener comes with it.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "app/NotificationArea.h"
#include "tests/support/RecordingOpener.h"

namespace quillorn::test {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class ModalBoxWatcher final : public QObject {
public:
    ModalBoxWatcher();
    // Called with each box before it is closed, e.g. to act while a run waits on it.
    std::function<void(const SeenBox&)> onBox;
    QList<SeenBox> seen;

private:
    void Poll();
    QTimer timer_;
};

class FakeNotificationArea final : public NotificationArea {
public:
    bool available = true;
    QString tooltip;
    bool iconSet = false;
    int added = 0;
    struct Message {
        QString title;
        QString text;
    };
    QList<Message> messages;

    bool Available() const override { return available; }
    void AddIcon(const QIcon& icon, const QString& tip) override {
        iconSet = !icon.isNull();
        tooltip = tip;
        has_ = true;
        ++added;
    }
    void RemoveIcon() override { has_ = false; }
    bool HasIcon() const override { return has_; }
    void ShowMessage(const QString& title, const QString& text) override {
        messages.append({title, text});
    }
    void Press(NotificationArea::Click click) { emit Clicked(click); }
    void ChooseRestore() { emit RestoreChosen(); }
    void ChooseExit() { emit ExitChosen(); }
    void ChooseOpenFolder() { emit OpenFolderChosen(); }
    void ClickMessage() { emit MessageClicked(); }

private:
    bool has_ = false;
};

}  // namespace quillorn::test
