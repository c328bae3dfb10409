// Exercises the parts of Qt Core a Windows build leans on: the version the prefix claims, hashing,
// the wide-character file API with a Cyrillic name, and the Windows event dispatcher.
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("Qt %s\n", qVersion());
    std::printf("SHA-256 of abc: %s\n",
                QCryptographicHash::hash("abc", QCryptographicHash::Sha256).toHex().constData());

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("no temporary folder: %s\n", qPrintable(dir.errorString()));
        return 1;
    }
    const QString name = dir.filePath(QString::fromUtf8("\xd0\xbe\xd1\x82\xd0\xb7\xd1\x8b\xd0\xb2.txt"));
    const QByteArray text = QString::fromUtf8("\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82").toUtf8();
    QFile out(name);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.flush())
        return 1;
    out.close();
    QFile in(name);
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    const bool same = in.readAll() == text;
    const QStringList listed = QDir(dir.path()).entryList(QDir::Files);
    std::printf("Cyrillic file name: %s\n",
                same && listed == QStringList{QFileInfo(name).fileName()} ? "written, listed and read back"
                                                                          : "wrong");

    QTimer::singleShot(10, &app, [] { QCoreApplication::exit(7); });
    std::printf("event loop exit code: %d\n", app.exec());
    return 0;
}
