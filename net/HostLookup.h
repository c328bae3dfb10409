// Finds the addresses of a host by name on a thread of its own, so that a slow name server is
// waited for as a socket is: pumping events, asking the abort check, and ending at the connect
// time-out or the request's deadline. A lookup given up on finishes on its thread and frees what it
// found; a numeric address needs no name server and is read at once.
#pragma once

#include <QByteArray>
#include <memory>

#include "net/SocketWait.h"

struct addrinfo;

namespace quillorn {

struct AddressListDeleter {
    void operator()(addrinfo* list) const noexcept;
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

// The stream-socket addresses of host:port. Raises Failure "Cannot resolve host \"<host>\": <why>",
// Failure "Connect timed out" at deadline, "Request took too long" or RequestAborted as every
// wait of the waiter does.
AddressList LookUpHost(const QByteArray& host, int port, SocketWaiter& waiter,
                       SocketWaiter::Clock::time_point deadline);

}  // namespace quillorn
