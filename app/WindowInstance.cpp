#include "app/WindowInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>

#include "app/UserId.h"

namespace quillorn {

namespace {

const QByteArray kRequest = QByteArrayLiteral("forward\n");
const QByteArray kAnswer = QByteArrayLiteral("ok\n");
constexpr qint64 kLongestRequest = 64;
constexpr int kConnectMs = 2000;
// A window busy with a run still answers between its steps; one that does not answer in this time
// is hung.
constexpr int kAnswerMs = 10000;
constexpr int kGuardMs = 15000;

QString CanonicalFolder(const AppDir& dir) {
    const QFileInfo folder(dir.Path());
    const QString canonical = folder.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder.absoluteFilePath()) : canonical;
}

bool AskToComeForward(QLocalSocket& socket) {
    socket.write(kRequest);
    socket.flush();
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kAnswerMs))
            return false;
    }
    return socket.readLine() == kAnswer;
}

}  // namespace

QString WindowInstanceName(const QString& canonicalFolder, const QString& userId) {
    // 96 bits of the hash keep folders apart and the name far below the 107 bytes of a Unix
    // socket's path, wherever the temporary folder is.
    const QByteArray hash =
        QCryptographicHash::hash(canonicalFolder.toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(24);
    return QStringLiteral("quillorn-%1-%2").arg(userId, QString::fromLatin1(hash));
}

WindowInstance::WindowInstance(const AppDir& dir, QObject* parent)
    : QObject(parent), name_(WindowInstanceName(CanonicalFolder(dir), CurrentUserId())) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &WindowInstance::Accept);
}

WindowInstance::Claim WindowInstance::ClaimFolder() {
    // Looking and claiming are one step under the guard, so of two starts at the same moment one
    // claims and the other finds it listening. Without the guard both could take the socket for
    // one left by a crash, and the second would remove the first's fresh one. The guard's file is
    // gone when this returns; one left by a start killed right here names a dead process and is
    // taken over. A guard that cannot be had in time only loses that protection.
    QLockFile guard(QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock")));
    (void)guard.tryLock(kGuardMs);

    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kConnectMs))
        return AskToComeForward(socket) ? Claim::HandedOver : Claim::NoAnswer;
    // Nobody listens: a socket file is one a crashed window left behind.
    QLocalServer::removeServer(name_);
    return server_.listen(name_) ? Claim::Owned : Claim::Unguarded;
}

void WindowInstance::Accept() {
    while (QLocalSocket* peer = server_.nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { Answer(peer); });
    }
}

void WindowInstance::Answer(QLocalSocket* peer) {
    if (!peer->canReadLine()) {
        if (peer->bytesAvailable() > kLongestRequest)
            peer->disconnectFromServer();
        return;
    }
    const bool asked = peer->readLine(kLongestRequest + 1) == kRequest;
    if (asked)
        peer->write(kAnswer);
    // Written before the socket closes: a disconnect waits for what is pending.
    peer->disconnectFromServer();
    if (asked)
        emit HandOverReceived();
}

}  // namespace quillorn
