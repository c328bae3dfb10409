#include "net/HostLookup.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QString>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/Errors.h"
#include "platform/SystemError.h"

namespace quillorn {

namespace {

addrinfo StreamHints(int extraFlags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | extraFlags;
    return hints;
}

[[noreturn]] void ThrowUnresolved(const QByteArray& host, const QString& why) {
    throw Failure(
        QStringLiteral("Cannot resolve host \"%1\": %2").arg(QString::fromLatin1(host), why));
}

// Shared by the waiting request and the lookup's thread; whichever lets go last frees it, and
// with it the addresses nobody took.
class PendingLookup {
public:
    PendingLookup() : ready_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        if (ready_ < 0)
            throw Failure(QStringLiteral("Cannot start a name lookup: ") + SystemErrorText(errno));
    }
    ~PendingLookup() { ::close(ready_); }
    PendingLookup(const PendingLookup&) = delete;
    PendingLookup& operator=(const PendingLookup&) = delete;

    // Readable once the lookup has ended.
    int ReadyFd() const { return ready_; }

    void Finish(int code, AddressList found) {
        {
            const std::lock_guard lock(mutex_);
            code_ = code;
            found_ = std::move(found);
        }
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(ready_, &one, sizeof one);
    }

    // The lookup's result code, its addresses moved to the caller.
    int Take(AddressList& addresses) {
        const std::lock_guard lock(mutex_);
        addresses = std::move(found_);
        return code_;
    }

private:
    const int ready_;
    std::mutex mutex_;
    int code_ = EAI_AGAIN;
    AddressList found_;
};

}  // namespace

AddressList LookUpHost(const QByteArray& host, int port, SocketWaiter& waiter,
                       SocketWaiter::Clock::time_point deadline) {
    const QByteArray service = QByteArray::number(port);
    addrinfo* found = nullptr;
    const addrinfo numeric = StreamHints(AI_NUMERICHOST);
    if (getaddrinfo(host.constData(), service.constData(), &numeric, &found) == 0)
        return AddressList(found);

    auto lookup = std::make_shared<PendingLookup>();
    auto resolver = waiter.Settings().resolver;
    if (!resolver)
        resolver = &getaddrinfo;
    try {
        std::thread([lookup, resolver = std::move(resolver), host, service] {
            const addrinfo hints = StreamHints(0);
            addrinfo* addresses = nullptr;
            const int code = resolver(host.constData(), service.constData(), &hints, &addresses);
            lookup->Finish(code, AddressList(code == 0 ? addresses : nullptr));
        }).detach();
    } catch (const std::system_error& error) {
        ThrowUnresolved(host, QString::fromLocal8Bit(error.what()));
    }
    waiter.WaitReady(lookup->ReadyFd(), WaitFor::Readable, deadline,
                     waiter.Settings().connectPumpIntervalMs, "Connect timed out");
    AddressList addresses;
    if (const int code = lookup->Take(addresses); code != 0)
        ThrowUnresolved(host, QString::fromLocal8Bit(gai_strerror(code)));
    return addresses;
}

}  // namespace quillorn
