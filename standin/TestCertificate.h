// A self-signed certificate and its private key, made at run time with OpenSSL, for the loopback
// TLS servers. Made once per process; the client never verifies it, curl is run with -k.
#pragma once

#include <QByteArray>
#include <QString>

namespace quillorn::standin {

struct TestCertificate {
    QByteArray certificatePem;
    QByteArray privateKeyPem;

    // An EC P-256 key and a certificate for "localhost" and 127.0.0.1, valid for a day.
    static const TestCertificate& Shared();

    // Writes both PEM files into dir (certificate.pem, key.pem) and returns the certificate's path.
    QString WriteTo(const QString& dir) const;
};

}  // namespace quillorn::standin
