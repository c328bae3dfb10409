// The TLS library as the client uses it: whether it can be set up at all (a check at start-up),
// and the one client context every TLS connection of a client is made from.
#pragma once

#include <memory>

struct ssl_ctx_st;  // OpenSSL's SSL_CTX

namespace quillorn {

// Whether the TLS library can be initialised and give a client context.
bool TlsAvailable();

struct TlsContextFree {
    void operator()(ssl_ctx_st* context) const;
};
using TlsContext = std::unique_ptr<ssl_ctx_st, TlsContextFree>;

// The client's TLS settings: no certificate verification, cipher list "ALL", every protocol
// version the library offers up to TLS 1.2. Raises Failure when the library cannot be set up.
TlsContext MakeClientTlsContext();

}  // namespace quillorn
