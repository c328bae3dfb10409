#include "net/SocketLibrary.h"

// winsock2.h brings windows.h with it, in the order Winsock needs.
#include <winsock2.h>

namespace quillorn {
namespace {

class Winsock {
public:
    Winsock() {
        WSADATA data{};
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Winsock() {
        if (started_)
            WSACleanup();
    }
    Winsock(const Winsock&) = delete;
    Winsock& operator=(const Winsock&) = delete;

private:
    bool started_ = false;
};

}  // namespace

void StartSocketLibrary() {
    static const Winsock winsock;
}

}  // namespace quillorn
