// One window per files folder. Two windows on one folder would each write the card list when they
// close, the last one undoing the other's edits. The first start in a folder claims it by
// listening on a local socket named after the folder; a later start finds the socket, asks the
// window there to come forward and ends, before it reads or writes any of the folder's files.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include "platform/AppDir.h"

class QLocalSocket;

namespace quillorn {

// The socket's name for a folder (its canonical path) and a user: the same for every spelling of
// one folder, different for two folders or two users, and short enough for a socket's path.
QString WindowInstanceName(const QString& canonicalFolder, const QString& userId);

class WindowInstance final : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        Owned,       // this start's window is the folder's; HandOverReceived follows later starts
        HandedOver,  // a window had the folder and has been asked to come forward
        NoAnswer,    // a window has the folder but did not answer
        Unguarded,   // the socket could not be set up: nothing keeps a second window out
    };

    explicit WindowInstance(const AppDir& dir, QObject* parent = nullptr);

    // Blocks until the folder is claimed or handed over (a hung window costs seconds at most).
    Claim ClaimFolder();
    // Gives the folder up before the process ends without unwinding (a start-up refusal), so no
    // socket file is left behind.
    void Release() { server_.close(); }
    const QString& Name() const { return name_; }
    // Why the socket could not be set up, after Unguarded.
    QString ErrorText() const { return server_.errorString(); }

signals:
    // A later start in the folder asked for the window.
    void HandOverReceived();

private:
    void Accept();
    void Answer(QLocalSocket* peer);

    QString name_;
    QLocalServer server_;
};

}  // namespace quillorn
