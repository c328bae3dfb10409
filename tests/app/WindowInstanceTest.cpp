// One window per files folder, and what the user typed surviving an end without a close: the real
// program and the real window, each a process of its own.
#include "app/WindowInstance.h"

#include <QDir>
#include <QTest>

#include "tests/app/MainWindowFixture.h"
#include "tests/support/KilledProgram.h"

namespace quillorn::test {
namespace {

TEST(WindowInstanceNameTest, OneFolderOneUserOneShortName) {
    const QString name =
        WindowInstanceName(QStringLiteral("/home/u/Quillorn"), QStringLiteral("1000"));
    EXPECT_EQ(name, WindowInstanceName(QStringLiteral("/home/u/Quillorn"), QStringLiteral("1000")));
    EXPECT_NE(name,
              WindowInstanceName(QStringLiteral("/home/u/Quillorn2"), QStringLiteral("1000")));
    EXPECT_NE(name, WindowInstanceName(QStringLiteral("/home/u/Quillorn"), QStringLiteral("1001")));
    const QString deep = QStringLiteral("/home/u/") + QString(300, u'п');
    EXPECT_LE(WindowInstanceName(deep, QStringLiteral("4294967294")).size(), 48);
}

class WindowInstanceTest : public RealProgramFixture {};

TEST_F(WindowInstanceTest, ASecondStartHandsOverToTheOpenWindowAndEndsWithoutTouchingTheFiles) {
    const QString dir = Install(QStringLiteral("one"));
    const std::unique_ptr<QProcess> first = StartInstalled(dir);
    ASSERT_TRUE(WaitUntilUp(*first));

    const std::unique_ptr<QProcess> second = StartInstalled(dir);
    const Ending handedOver = WaitForEnd(*second);
    EXPECT_EQ(handedOver.exitCode, 0);
    EXPECT_TRUE(handedOver.errors.contains(QStringLiteral("its window has been brought forward")))
        << handedOver.errors.toStdString();
    EXPECT_EQ(Files(dir), QStringList({kProgram}));  // nothing read back, nothing written

    // Another folder is another window's.
    const QString other = Install(QStringLiteral("two"));
    EXPECT_EQ(RunAndTerminate(other).exitCode, 0);

    const Ending ending = Terminate(*first);
    EXPECT_EQ(ending.exitCode, 0);
    EXPECT_TRUE(ending.errors.contains(QStringLiteral("handed over to this window")))
        << ending.errors.toStdString();
}

TEST_F(WindowInstanceTest, AWindowKilledOutrightLeavesNoClaimOnItsFolder) {
    const QString dir = Install(QStringLiteral("crashed"));
    const std::unique_ptr<QProcess> killed = StartInstalled(dir);
    ASSERT_TRUE(WaitUntilUp(*killed));
    ASSERT_TRUE(KillOutright(*killed));  // SIGKILL: the socket file stays behind

    const Ending next = RunAndTerminate(dir);
    EXPECT_EQ(next.exitCode, 0);
    EXPECT_FALSE(next.errors.contains(QStringLiteral("already open")));
    EXPECT_TRUE(Files(dir).contains(QStringLiteral("urls.txt")));  // its own close saved
}

TEST_F(WindowInstanceTest, OfTwoStartsAtTheSameMomentOneKeepsTheWindowAndTheOtherHandsOver) {
    const QString dir = Install(QStringLiteral("race"));
    const std::unique_ptr<QProcess> a = StartInstalled(dir);
    const std::unique_ptr<QProcess> b = StartInstalled(dir);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning; },
        20000));
    QProcess& loser = a->state() == QProcess::NotRunning ? *a : *b;
    QProcess& winner = &loser == a.get() ? *b : *a;
    const Ending handedOver = WaitForEnd(loser);
    EXPECT_EQ(handedOver.exitCode, 0);
    EXPECT_TRUE(handedOver.errors.contains(QStringLiteral("brought forward")))
        << handedOver.errors.toStdString();
    ASSERT_TRUE(WaitUntilUp(winner));
    const Ending ending = Terminate(winner);
    EXPECT_EQ(ending.exitCode, 0);
    EXPECT_TRUE(ending.errors.contains(QStringLiteral("handed over to this window")));
}

// Typed, then the process is gone without a close (kill -9): the next start finds the edit.
class TypedInputSurvivesTest : public MainWindowFixture {};

TEST_F(TypedInputSurvivesTest, AnEditIsSavedAQuietMomentLaterSoAKillLosesNothing) {
    const QString line = QStringLiteral("https://2gis.ru/moscow/firm/70000001000000001");
    QProcess editor;
    editor.setProcessEnvironment(WindowProgramEnvironment());
    editor.start(QStringLiteral(QUILLORN_WINDOW_EDIT), {tmp.path(), line});
    ASSERT_TRUE(editor.waitForStarted(10000));
    // QTRY_* report to QtTest, not to this test: a failure must be the test's own.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return QString::fromUtf8(Read(QStringLiteral("urls.txt"))).contains(line) &&
                   Read(QStringLiteral("settings.ini")).contains("VerticalMode=0");
        },
        20000));
    ASSERT_TRUE(KillOutright(editor));

    ShownForm();
    EXPECT_TRUE(Memo("InnsMemo")->toPlainText().contains(line));
    EXPECT_FALSE(Check("CheckBox1")->isChecked());
}

}  // namespace
}  // namespace quillorn::test
