// The per-run set-up: headers, proxy.txt and its line, the port conversion, the log message.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "net/HttpClient.h"
#include "net/ProxyLine.h"
#include "net/RequestSettings.h"
#include "platform/TextEncoding.h"

namespace quillorn {
namespace {

class RequestSettingsTest : public ::testing::Test {
protected:
    void WriteProxyFile(const QByteArray& bytes) {
        QFile file(dir.filePath(QStringLiteral("proxy.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    RequestSetup Apply() { return ApplyRequestSettings(client, AppDir(dir.path()), codePage); }

    QTemporaryDir dir;
    HttpClient client;
    TextEncoding codePage = TextEncoding::Windows1251;
};

TEST_F(RequestSettingsTest, SetsTheRunHeadersAndNoProxyWithoutAFile) {
    const RequestSetup setup = Apply();

    EXPECT_FALSE(setup.proxyApplied);
    EXPECT_EQ(client.Headers().userAgent,
              QStringLiteral("Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 "
                             "(KHTML, like Gecko) Chrome/147.0.0.0 Safari/537.36"));
    EXPECT_EQ(client.Headers().acceptLanguage,
              QStringLiteral("ru-RU,ru;q=0.8,en-US;q=0.5,en;q=0.3"));
    EXPECT_EQ(client.Headers().accept,
              QStringLiteral("text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"));
    EXPECT_TRUE(client.Proxy().server.isEmpty());
}

TEST_F(RequestSettingsTest, AppliesHostAndPortWithoutCredentials) {
    WriteProxyFile("  10.1.2.3:8080\r\nignored:1\r\n");

    const RequestSetup setup = Apply();

    EXPECT_TRUE(setup.proxyApplied);
    EXPECT_EQ(setup.logMessage, QStringLiteral(": Используем прокси 10.1.2.3:8080"));
    EXPECT_EQ(client.Proxy().server, QStringLiteral("10.1.2.3"));
    EXPECT_EQ(client.Proxy().port, 8080);
    EXPECT_FALSE(client.Proxy().basicAuthentication);

    WriteProxyFile("proxy: 81");  // the conversion takes leading spaces; the log shows them
    EXPECT_EQ(Apply().logMessage, QStringLiteral(": Используем прокси proxy: 81"));
    EXPECT_EQ(client.Proxy().port, 81);
}

TEST_F(RequestSettingsTest, LogsAtMostFivePasswordCharacters) {
    const QList<QPair<QByteArray, QString>> lines = {
        {"user:longsecret@h:1", QStringLiteral(", login user, password longs***")},
        {"user:abc@h:1", QStringLiteral(", login user, password abc***")},
        {"user@h:1", QStringLiteral(", login user, password ***")},
        {"user:p:w@x@h:1", QStringLiteral(", login user, password p:w***")},
    };
    for (const auto& [line, tail] : lines) {
        WriteProxyFile(line);
        const RequestSetup setup = Apply();
        EXPECT_TRUE(setup.logMessage.endsWith(tail)) << setup.logMessage.toStdString();
        EXPECT_TRUE(client.Proxy().basicAuthentication);
    }
    // The first "@" ends the credentials, so the host part starts after it.
    EXPECT_EQ(client.Proxy().server, QStringLiteral("x@h"));
    EXPECT_EQ(client.Proxy().username, QStringLiteral("user"));
    EXPECT_EQ(client.Proxy().password, QStringLiteral("p:w"));
}

TEST_F(RequestSettingsTest, ALineStartingWithAtHasNoCredentialsWhateverEarlierRunsUsed) {
    WriteProxyFile("old:pw@proxy:3128");
    Apply();
    WriteProxyFile("@proxy:3128");

    const RequestSetup setup = Apply();

    EXPECT_EQ(setup.logMessage, QStringLiteral(": Используем прокси proxy:3128"));
    EXPECT_FALSE(client.Proxy().basicAuthentication);
    EXPECT_TRUE(client.Proxy().username.isEmpty());
}

TEST_F(RequestSettingsTest, KeepsAnEarlierProxyWhenTheFileGoesOrHasNoFirstLine) {
    WriteProxyFile("u:p@proxy:3128");
    Apply();
    for (const QByteArray& bytes :
         {QByteArray("\r\nother:1\r\n"), QByteArray(" \t\x01"), QByteArray()}) {
        WriteProxyFile(bytes);
        EXPECT_FALSE(Apply().proxyApplied);
    }
    QFile::remove(dir.filePath(QStringLiteral("proxy.txt")));
    EXPECT_FALSE(Apply().proxyApplied);

    EXPECT_EQ(client.Proxy().server, QStringLiteral("proxy"));
    EXPECT_EQ(client.Proxy().port, 3128);
    EXPECT_TRUE(client.Proxy().basicAuthentication);
}

TEST_F(RequestSettingsTest, ReadsTheFileByItsByteOrderMarkElseAsTheSingleByteCodePage) {
    WriteProxyFile(EncodeText(QStringLiteral("логин:пароль@хост:1"), TextEncoding::Utf16LE, true));
    Apply();
    EXPECT_EQ(client.Proxy().username, QStringLiteral("логин"));

    WriteProxyFile("\xEB\xEE\xE3\xE8\xED:pw@host:2");  // "логин" in Windows-1251
    Apply();
    EXPECT_EQ(client.Proxy().username, QStringLiteral("логин"));

    WriteProxyFile("\xEF\xBB\xBFutf:pw@host:3\n");
    Apply();
    EXPECT_EQ(client.Proxy().username, QStringLiteral("utf"));
    EXPECT_EQ(client.Proxy().port, 3);
}

TEST_F(RequestSettingsTest, UnderAUtf8CodePageReadsUtf8WithoutAMarkAndStillWindows1251) {
    codePage = TextEncoding::Utf8;
    WriteProxyFile(QStringLiteral("логин:пароль@хост:4").toUtf8());
    Apply();
    EXPECT_EQ(client.Proxy().username, QStringLiteral("логин"));
    EXPECT_EQ(client.Proxy().password, QStringLiteral("пароль"));

    WriteProxyFile("\xEB\xEE\xE3\xE8\xED:pw@host:5");  // not UTF-8: a file from Windows
    Apply();
    EXPECT_EQ(client.Proxy().username, QStringLiteral("логин"));
}

TEST_F(RequestSettingsTest, RaisesTheConversionErrorAfterTakingTheHostOnly) {
    WriteProxyFile("u:p@first:3128");
    Apply();
    WriteProxyFile("second");

    try {
        Apply();
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), QStringLiteral("'''' is not a valid integer value"));
    }
    EXPECT_EQ(client.Proxy().server, QStringLiteral("second"));
    EXPECT_EQ(client.Proxy().port, 3128);
    EXPECT_EQ(client.Proxy().username, QStringLiteral("u"));
    EXPECT_TRUE(client.Proxy().basicAuthentication);
}

TEST_F(RequestSettingsTest, RaisesWhenTheFileExistsButCannotBeRead) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("proxy.txt")));
    EXPECT_THROW(Apply(), Failure);
}

TEST(ToolkitIntegerTest, AcceptsBlanksSignsAndHexPrefixes) {
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral(" 8080")), 8080);
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral("+12")), 12);
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral("-12")), -12);
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral("$1F90")), 8080);
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral("0x1f90")), 8080);
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral("-$10")), -16);
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_EQ(ParseToolkitInteger(QStringLiteral("$FFFFFFFF")), -1);
}

TEST(ToolkitIntegerTest, RejectsEverythingElseNamingTheText) {
    for (const QString& text :
         {QStringLiteral(""), QStringLiteral("80 "), QStringLiteral("8o"), QStringLiteral("0x"),
          QStringLiteral("$"), QStringLiteral("- 1"), QStringLiteral("2147483648"),
          QStringLiteral("$100000000"), QStringLiteral("１２"), QStringLiteral("\t80"),
          QStringLiteral(" \t80")}) {
        try {
            ParseToolkitInteger(text);
            ADD_FAILURE() << "accepted " << text.toStdString();
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Message(), "''" + text + "'' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace quillorn
