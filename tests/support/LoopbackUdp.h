#pragma once
// Loopback traffic for live-capture tests, which need root (or the capture capability).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "capture/LiveCapture.h"

namespace pelsid::test {

// A receiver on an unused loopback port and a sender to it; the port keeps the
// capture filter to this test's own traffic.
class LoopbackUdp {
  public:
    LoopbackUdp() {
        receiver_ = socket(AF_INET, SOCK_DGRAM, 0);
        sender_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(receiver_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        bind(sender_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(receiver_, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        len = sizeof a;
        getsockname(sender_, reinterpret_cast<sockaddr*>(&a), &len);
        sourcePort = ntohs(a.sin_port);
    }
    ~LoopbackUdp() {
        close(receiver_);
        close(sender_);
    }
    void send(const std::vector<std::uint8_t>& payload) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(port);
        sendto(sender_, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof to);
    }
    std::string filter() const { return "udp port " + std::to_string(port); }

    int port = 0;
    int sourcePort = 0;

  private:
    int receiver_ = -1;
    int sender_ = -1;
};

inline bool canCaptureOnLoopback(std::string& why) {
    if (geteuid() != 0) {
        why = "live capture needs root (or cap_net_raw,cap_net_admin)";
        return false;
    }
    if (!LiveCapture::canCapture("lo")) {
        why = "libpcap cannot open the loopback adapter \"lo\" with Ethernet framing here";
        return false;
    }
    return true;
}

#define SKIP_UNLESS_LOOPBACK_CAPTURE()                       \
    do {                                                     \
        std::string why;                                     \
        if (!canCaptureOnLoopback(why)) GTEST_SKIP() << why; \
    } while (0)

}  // namespace pelsid::test
