#include "support/GpsPeers.h"
#include "support/ChildProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

HeldPort::HeldPort() : fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{
        .sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    number = std::to_string(ntohs(address.sin_port));
}

HeldPort::~HeldPort() {
    ::close(fd);
}

std::unique_ptr<ChildProcess> GpsFake(const HeldPort& port, const std::filesystem::path& log) {
    return std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/gpsfake", "-1", "-q", "-p", "-P",
                                                                   port.number, "-c", "0.1", log.string()});
}
