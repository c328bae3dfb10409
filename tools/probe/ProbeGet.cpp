// quillorn-probe get URL [--stream]: one GET through the program's own client. The text form prints
// the body as the client decodes it (as UTF-8); --stream prints the raw bytes of the body.
#include <cstdio>

#include "net/HttpClient.h"
#include "net/RequestSettings.h"
#include "tools/probe/ProbeCommand.h"

namespace quillorn::probe {
namespace {

bool WriteAll(const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) ==
               static_cast<size_t>(bytes.size()) &&
           std::fflush(stdout) == 0;
}

int RunGet(const QStringList& args) {
    QString url;
    bool stream = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--stream")) {
            stream = true;
        } else if (url.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            url = arg;
        } else {
            std::fprintf(stderr, "usage: quillorn-probe get URL [--stream]\n");
            return 2;
        }
    }
    if (url.isEmpty()) {
        std::fprintf(stderr, "usage: quillorn-probe get URL [--stream]\n");
        return 2;
    }
    HttpClient client;
    // The same headers a run sends, so the answer is the one a run would get.
    RequestHeaders headers;
    headers.userAgent = QLatin1String(kRunUserAgent);
    headers.acceptLanguage = QLatin1String(kRunAcceptLanguage);
    client.SetHeaders(headers);
    try {
        QByteArray body;
        if (stream) {
            client.Get(url, body);
        } else {
            body = client.Get(url).toUtf8();
        }
        return WriteAll(body) ? 0 : 1;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
}

const RegisterProbeCommand registered({"get", "URL [--stream]", RunGet});

}  // namespace
}  // namespace quillorn::probe
