// The probe's json command, run as the real program: UTF-8 in, the text form out, "nothing" when
// the parse or the lookup finds nothing.
#include <gtest/gtest.h>

#include <QProcess>

namespace quillorn {
namespace {

class ProbeJsonTest : public ::testing::Test {
protected:
    struct Outcome {
        int exitCode = -1;
        QByteArray out;
    };

    static Outcome Run(const QByteArray& input, const QStringList& args = {}) {
        QProcess probe;
        probe.start(QStringLiteral(QUILLORN_BINARY_DIR "/quillorn-probe"),
                    QStringList{QStringLiteral("json")} + args);
        EXPECT_TRUE(probe.waitForStarted());
        probe.write(input);
        probe.closeWriteChannel();
        EXPECT_TRUE(probe.waitForFinished(30000));
        return {probe.exitCode(), probe.readAllStandardOutput()};
    }
};

TEST_F(ProbeJsonTest, PrintsTheCompactFormOfTheWholeDocument) {
    const Outcome outcome = Run("\xEF\xBB\xBF{ \"b\" : [1, 4.70, 1e5], \"a\" : \"\xD1\x82\" }");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out.toStdString(), "{\"b\":[1,4.7,100000.],\"a\":\"\xD1\x82\"}\n");
}

TEST_F(ProbeJsonTest, PrintsTheValueAtAPath) {
    const QByteArray page = R"({"data":{"entity":{"profile":{"name":"Caf\u00e9","rating":5.0}}}})";
    EXPECT_EQ(Run(page, {"data.entity.profile.name"}).out.toStdString(), "Caf\xC3\xA9\n");
    EXPECT_EQ(Run(page, {"data.entity.profile.rating"}).out.toStdString(), "5.\n");
    EXPECT_EQ(Run(page, {"data.missing"}).out.toStdString(), "nothing\n");
}

TEST_F(ProbeJsonTest, PrintsNothingForTextThatDoesNotParse) {
    const Outcome outcome = Run("{\"a\":[1,2}");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out.toStdString(), "nothing\n");
    EXPECT_EQ(Run("").out.toStdString(), "\n");  // empty text: an empty string
}

}  // namespace
}  // namespace quillorn
