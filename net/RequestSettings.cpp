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

RequestSetup ApplyRequestSettings(HttpClient& client, const AppDir& dir, TextEncoding codePage) {
    RequestHeaders headers = client.Headers();
    headers.userAgent = QLatin1String(kRunUserAgent);
    headers.acceptLanguage = QLatin1String(kRunAcceptLanguage);
    client.SetHeaders(headers);

    const std::optional<QString> line =
        ReadProxyLine(dir.FilePath(QStringLiteral("proxy.txt")), codePage);
    if (!line)
        return {};  // an earlier run's proxy stays in force
    const ProxyLine proxy = ProxyLine::Parse(*line);
    ProxySettings settings = client.Proxy();
    // The host is taken before the port is converted: a port that is no integer leaves the new
    // host with the earlier port and login.
    settings.server = proxy.host;
    client.SetProxy(settings);
    settings.port = ParseToolkitInteger(proxy.portText);
    settings.username = proxy.login;
    settings.password = proxy.password;
    settings.basicAuthentication = !proxy.login.isEmpty();
    client.SetProxy(settings);

    RequestSetup setup;
    setup.proxyApplied = true;
    setup.logMessage = ProxyLogMessage(proxy);
    return setup;
}

}  // namespace quillorn
