#include "standin/TestCertificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <QFile>
#include <memory>
#include <stdexcept>

namespace quillorn::standin {
namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct X509Free {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct ExtensionFree {
    void operator()(X509_EXTENSION* ext) const { X509_EXTENSION_free(ext); }
};

void Check(bool ok, const char* what) {
    if (!ok)
        throw std::runtime_error(std::string("test certificate: ") + what);
}

QByteArray BioText(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return QByteArray(data, static_cast<qsizetype>(length));
}

void AddExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    std::unique_ptr<X509_EXTENSION, ExtensionFree> ext(
        X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
    Check(ext && X509_add_ext(cert, ext.get(), -1) == 1, "extension");
}

TestCertificate Make() {
    std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_EC_gen("P-256"));
    Check(key != nullptr, "key generation");

    std::unique_ptr<X509, X509Free> cert(X509_new());
    Check(cert != nullptr, "certificate");
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 86400);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    AddExtension(cert.get(), NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1,IP:::1");
    Check(X509_sign(cert.get(), key.get(), EVP_sha256()) > 0, "signing");

    TestCertificate result;
    std::unique_ptr<BIO, BioFree> certBio(BIO_new(BIO_s_mem()));
    Check(PEM_write_bio_X509(certBio.get(), cert.get()) == 1, "certificate PEM");
    result.certificatePem = BioText(certBio.get());
    std::unique_ptr<BIO, BioFree> keyBio(BIO_new(BIO_s_mem()));
    Check(PEM_write_bio_PrivateKey(keyBio.get(), key.get(), nullptr, nullptr, 0, nullptr,
                                   nullptr) == 1,
          "key PEM");
    result.privateKeyPem = BioText(keyBio.get());
    return result;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    Check(
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
        "writing a PEM file");
}

}  // namespace

const TestCertificate& TestCertificate::Shared() {
    static const TestCertificate shared = Make();
    return shared;
}

QString TestCertificate::WriteTo(const QString& dir) const {
    const QString certPath = dir + QStringLiteral("/certificate.pem");
    WriteFile(certPath, certificatePem);
    WriteFile(dir + QStringLiteral("/key.pem"), privateKeyPem);
    return certPath;
}

}  // namespace quillorn::standin
