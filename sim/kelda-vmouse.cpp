// kelda-vmouse: drives a virtual mouse preloaded into a running program.
//   kelda-vmouse press-dpi 3 | layer on|off | unplug | plug | mute on|off | stall on|off |
//                deny on|off | drop N | corrupt | event HEX | response HEX |
//                block-length N | unplug-after-write N | unplug-after-read N |
//                flood N_PER_S SECONDS | flood-state | state | violations |
//                transcript [N] | clear
// The socket is KELDA_VMOUSE_SOCKET or the per-user default.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fprintf(stderr,
                     "usage: kelda-vmouse COMMAND [ARG]\n"
                     "  press-dpi N     press the DPI button: event for stage N\n"
                     "  layer on|off    switch the alternate key layer\n"
                     "  unplug, plug    pull the mouse out, put it back\n"
                     "  mute on|off     stop (or resume) answering queries\n"
                     "  stall on|off    leave feature report reads unanswered (5 s time-out)\n"
                     "  deny on|off     refuse opens with a permission error\n"
                     "  drop N          lose the next N input reports of the command interface\n"
                     "  corrupt         change one byte of the next report the mouse sends\n"
                     "  event HEX       send any report on the read interface\n"
                     "  response HEX    answer the next query with exactly these bytes (- for none)\n"
                     "  block-length N  data reports of the next block read are N bytes long\n"
                     "  unplug-after-write N  pull the mouse out after the Nth block data report\n"
                     "  unplug-after-read N   pull the mouse out after the Nth block input report\n"
                     "  flood N_PER_S SECONDS DPI and layer events at that rate, in the background\n"
                     "  flood-state     progress of the flood as JSON (sent, last stage and layer)\n"
                     "  record on|off   keep the transcript in memory (the file is written either way)\n"
                     "  state           firmware state as JSON\n"
                     "  violations      protocol violations as a JSON array\n"
                     "  transcript [N]  the last N transcript records\n"
                     "  clear           forget transcript and violations\n");
        return argc < 2 ? 2 : 0;
    }
    std::string line;
    for (int i = 1; i < argc; ++i)
        line += (i > 1 ? " " : "") + std::string(argv[i]);
    line += "\n";

    const char *env = std::getenv("KELDA_VMOUSE_SOCKET");
    const std::string path = env && *env ? env : "/tmp/kelda-vmouse-" + std::to_string(getuid()) + ".sock";
    sockaddr_un addr;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        std::fprintf(stderr, "kelda-vmouse: socket path too long\n");
        return 2;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) < 0) {
        std::fprintf(stderr, "kelda-vmouse: no virtual mouse at %s (%s); is the program running "
                             "with libkelda-virtual-mouse.so preloaded?\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    if (::write(fd, line.data(), line.size()) != ssize_t(line.size())) {
        std::fprintf(stderr, "kelda-vmouse: cannot send the request\n");
        return 1;
    }
    std::string reply;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        reply.append(buf, size_t(n));
    ::close(fd);
    std::fputs(reply.c_str(), stdout);
    return reply.rfind("error:", 0) == 0 ? 1 : 0;
}
