#include "net/HostLookup.h"

#include <QString>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "net/SocketCalls.h"
#include "platform/Errors.h"

namespace quillorn {

void AddressListDeleter::operator()(addrinfo* list) const noexcept {
    FreeAddresses(list);
}

namespace {

[[noreturn]] void ThrowUnresolved(const QByteArray& host, const QString& why) {
    throw Failure(
        QStringLiteral("Cannot resolve host \"%1\": %2").arg(QString::fromLatin1(host), why));
}

// Shared by the waiting request and the lookup's thread; whichever lets go last frees it, and
// with it the addresses nobody took.
class PendingLookup {
public:
    // Readable once the lookup has ended.
    SocketHandle ReadyHandle() const { return ready_.WaitHandle(); }

    void Finish(int code, AddressList found) {
        {
            const std::lock_guard lock(mutex_);
            code_ = code;
            found_ = std::move(found);
        }
        ready_.Raise();
    }

    // The lookup's result code, its addresses moved to the caller.
    int Take(AddressList& addresses) {
        const std::lock_guard lock(mutex_);
        addresses = std::move(found_);
        return code_;
    }

private:
    WakeSignal ready_;
    std::mutex mutex_;
    int code_ = -1;  // read only after Finish
    AddressList found_;
};

}  // namespace

AddressList LookUpHost(const QByteArray& host, int port, SocketWaiter& waiter,
                       SocketWaiter::Clock::time_point deadline) {
    const QByteArray service = QByteArray::number(port);
    addrinfo* found = nullptr;
    if (LookUpNumeric(host, service, &found) == 0)
        return AddressList(found);

    auto lookup = std::make_shared<PendingLookup>();
    try {
        std::thread([lookup, resolver = waiter.Settings().resolver, host, service] {
            addrinfo* addresses = nullptr;
            const int code = LookUpName(resolver, host, service, &addresses);
            lookup->Finish(code, AddressList(code == 0 ? addresses : nullptr));
        }).detach();
    } catch (const std::system_error& error) {
        ThrowUnresolved(host, QString::fromLocal8Bit(error.what()));
    }
    waiter.WaitReady(lookup->ReadyHandle(), WaitFor::Readable, deadline,
                     waiter.Settings().connectPumpIntervalMs, "Connect timed out");
    AddressList addresses;
    if (const int code = lookup->Take(addresses); code != 0)
        ThrowUnresolved(host, LookupErrorText(code));
    return addresses;
}

}  // namespace quillorn
