#include "net/RequestSettings.h"

#include "net/HttpClient.h"
#include "net/ProxyLine.h"

namespace quillorn {
namespace {

QString ProxyLogMessage(const ProxyLine& proxy) {
    QString message =
        QStringLiteral(": Используем прокси ") + proxy.host + QLatin1Char(':') + proxy.portText;
    if (!proxy.login.isEmpty()) {
        // The log never shows more than five characters of the password.
        message += QStringLiteral(", login ") + proxy.login + QStringLiteral(", password ") +
                   proxy.password.left(5) + QStringLiteral("***");
    }
    return message;
}

}  // namespace

RequestSetup ApplyRequestSettings(HttpClient& client, const AppDir& dir) {
    client.SetUserAgent(QLatin1String(kRunUserAgent));
    client.SetAcceptLanguage(QLatin1String(kRunAcceptLanguage));

    const std::optional<QString> line = ReadProxyLine(dir.FilePath(QStringLiteral("proxy.txt")));
    if (!line)
        return {};  // an earlier run's proxy stays in force
    const ProxyLine proxy = ProxyLine::Parse(*line);
    client.SetProxyServer(proxy.host);
    client.SetProxyPort(ParseToolkitInteger(proxy.portText));
    client.SetProxyUsername(proxy.login);
    client.SetProxyPassword(proxy.password);
    client.SetBasicAuthentication(!proxy.login.isEmpty());

    RequestSetup setup;
    setup.proxyApplied = true;
    setup.logMessage = ProxyLogMessage(proxy);
    return setup;
}

}  // namespace quillorn
