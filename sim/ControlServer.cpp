// The control socket of a preloaded virtual mouse: one request line per
// connection, answered with one reply (see README.md). kelda-vmouse is its
// client.
#include "sim/VirtualMouse.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vmouse {

namespace {

std::thread serverThread;
std::atomic<int> listenFd{-1};
std::string boundPath;

bool fillAddress(const std::string &path, sockaddr_un *addr)
{
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    if (path.size() >= sizeof addr->sun_path)
        return false;
    std::memcpy(addr->sun_path, path.c_str(), path.size() + 1);
    return true;
}

void serve(int fd)
{
    for (;;) {
        const int client = ::accept(fd, nullptr, nullptr);
        if (client < 0) {
            if (errno == EINTR)
                continue;
            return; // the socket was shut down
        }
        std::string line;
        char c;
        while (line.size() < 4096 && ::read(client, &c, 1) == 1 && c != '\n')
            line += c;
        const std::string reply = control(line) + "\n";
        size_t off = 0;
        while (off < reply.size()) {
            // A client that hung up (another virtual mouse probing the
            // path) must not take this process down with SIGPIPE.
            const ssize_t n = ::send(client, reply.data() + off, reply.size() - off, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            off += size_t(n);
        }
        ::close(client);
    }
}

} // namespace

void startControlServer()
{
    if (listenFd >= 0)
        return;
    const std::string path = socketPath();
    if (path == "off")
        return;
    sockaddr_un addr;
    if (!fillAddress(path, &addr)) {
        std::fprintf(stderr, "kelda-virtual-mouse: socket path too long: %s\n", path.c_str());
        return;
    }
    // A socket that still answers belongs to another virtual mouse: leave it.
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe >= 0) {
        const bool live = ::connect(probe, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
        ::close(probe);
        if (live) {
            std::fprintf(stderr, "kelda-virtual-mouse: %s is in use by another virtual mouse; "
                                 "no control socket for this one\n", path.c_str());
            return;
        }
    }
    ::unlink(path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) < 0 || ::listen(fd, 8) < 0) {
        std::fprintf(stderr, "kelda-virtual-mouse: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    boundPath = path;
    listenFd = fd;
    serverThread = std::thread(serve, fd);
}

void stopControlServer()
{
    stopFlood();
    const int fd = listenFd.exchange(-1);
    if (fd < 0)
        return;
    ::shutdown(fd, SHUT_RDWR);
    if (serverThread.joinable())
        serverThread.join();
    ::close(fd);
    ::unlink(boundPath.c_str());
}

} // namespace vmouse
