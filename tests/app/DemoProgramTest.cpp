// The offline demo as a newcomer meets it: the real program over the stand-in directory runs
// from START to a picture of the window in the middle of the run, and leaves its files behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace quillorn {
namespace {

#ifdef QUILLORN_DEMO_AVAILABLE
TEST(DemoProgramTest, RunsAgainstTheStandInAndPicturesTheWindowDuringTheRun) {
    QTemporaryDir tmp;
    const QString picture = tmp.filePath(QStringLiteral("shot.png"));
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral(QUILLORN_BINARY_DIR "/quillorn-demo"),
               {QStringLiteral("--screenshot"), picture});
    ASSERT_TRUE(demo.waitForFinished(60000)) << "the demo did not end";
    EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    EXPECT_TRUE(demo.readAllStandardOutput().contains("Saved "));
    EXPECT_EQ(QImage(picture).size(), QSize(937, 534));
    const QDir folder(QStringLiteral(QUILLORN_BINARY_DIR "/demo"));
    EXPECT_FALSE(folder.entryList({QStringLiteral("data*.tab")}, QDir::Files).isEmpty());
    for (const char* kept : {"urls.txt", "settings.ini", "IdsDB.dat"})
        EXPECT_TRUE(folder.exists(QString::fromLatin1(kept))) << kept;
}
#endif

}  // namespace
}  // namespace quillorn
