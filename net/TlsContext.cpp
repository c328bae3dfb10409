#include "net/TlsContext.h"

#include <openssl/ssl.h>

#include "net/TlsError.h"
#include "platform/Errors.h"

namespace quillorn {

bool TlsAvailable() {
    if (OPENSSL_init_ssl(0, nullptr) != 1)
        return false;
    return TlsContext(SSL_CTX_new(TLS_client_method())) != nullptr;
}

void TlsContextFree::operator()(ssl_ctx_st* context) const {
    SSL_CTX_free(context);
}

TlsContext MakeClientTlsContext() {
    TlsContext context(SSL_CTX_new(TLS_client_method()));
    if (!context)
        throw Failure(QStringLiteral("TLS library cannot be initialised: ") +
                      TakeTlsError("no TLS context"));
    // 0 as the minimum is "the lowest version this library offers".
    SSL_CTX_set_min_proto_version(context.get(), 0);
    SSL_CTX_set_max_proto_version(context.get(), TLS1_2_VERSION);
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_verify_depth(context.get(), 0);
    if (SSL_CTX_set_cipher_list(context.get(), "ALL") != 1)
        throw Failure(QStringLiteral("TLS library cannot be initialised: ") +
                      TakeTlsError("cipher list rejected"));
    // Large bodies: take many records per system call instead of one.
    SSL_CTX_set_read_ahead(context.get(), 1);
    SSL_CTX_set_default_read_buffer_len(context.get(), 256 * 1024);
    return context;
}

}  // namespace quillorn
