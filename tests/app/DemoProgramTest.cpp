// The offline demo as a newcomer meets it: the real program over the stand-in directory runs
// from START to a picture of the window in the middle of the run, and leaves its files behind,
// in the folder --dir names: the demo folder of the build stays as its user left it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace quillorn {
namespace {

#ifdef QUILLORN_DEMO_AVAILABLE
// Every file of folder with its size and time of change.
QStringList Snapshot(const QDir& folder) {
    QStringList files;
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::Hidden))
        files << QStringLiteral("%1 %2 %3")
                     .arg(file.fileName())
                     .arg(file.size())
                     .arg(file.lastModified().toMSecsSinceEpoch());
    return files;
}

TEST(DemoProgramTest, RunsAgainstTheStandInAndPicturesTheWindowDuringTheRun) {
    QTemporaryDir tmp;
    const QString picture = tmp.filePath(QStringLiteral("shot.png"));
    const QDir buildDemo(QStringLiteral(QUILLORN_BINARY_DIR "/demo"));
    const QStringList buildDemoBefore = Snapshot(buildDemo);
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral(QUILLORN_BINARY_DIR "/quillorn-demo"),
               {QStringLiteral("--dir"), tmp.filePath(QStringLiteral("demo")),
                QStringLiteral("--screenshot"), picture});
    ASSERT_TRUE(demo.waitForFinished(60000)) << "the demo did not end";
    EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    EXPECT_TRUE(demo.readAllStandardOutput().contains("Saved "));
    EXPECT_EQ(QImage(picture).size(), QSize(937, 534));
    const QDir folder(tmp.filePath(QStringLiteral("demo")));
    EXPECT_FALSE(folder.entryList({QStringLiteral("data*.tab")}, QDir::Files).isEmpty());
    for (const char* kept : {"urls.txt", "settings.ini", "IdsDB.dat"})
        EXPECT_TRUE(folder.exists(QString::fromLatin1(kept))) << kept;
    EXPECT_EQ(Snapshot(buildDemo), buildDemoBefore);
}
#endif

}  // namespace
}  // namespace quillorn
