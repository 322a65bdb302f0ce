// Sends UDP datagrams to 127.0.0.1 only, at a bounded rate for a bounded time,
// and prints how many it sent.
//   udpflood PORT RATE SECONDS [PAYLOAD_BYTES]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {
constexpr long kMaxRate = 2'000'000;
constexpr long kMaxSeconds = 60;
constexpr long kMaxPayload = 1472;
constexpr int kBatch = 64;

long argument(const char* text, long low, long high, const char* what) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*end != '\0' || v < low || v > high) {
        std::fprintf(stderr, "udpflood: %s must be %ld..%ld\n", what, low, high);
        std::exit(2);
    }
    return v;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: udpflood PORT RATE SECONDS [PAYLOAD_BYTES]\n");
        return 2;
    }
    const long port = argument(argv[1], 1, 65535, "PORT");
    const long rate = argument(argv[2], 1, kMaxRate, "RATE");
    const long seconds = argument(argv[3], 1, kMaxSeconds, "SECONDS");
    const long payload = argc == 5 ? argument(argv[4], 4, kMaxPayload, "PAYLOAD_BYTES") : 64;

    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(std::uint16_t(port));
    if (s < 0 || connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        std::perror("udpflood");
        return 1;
    }
    const int sndbuf = 8 << 20;
    setsockopt(s, SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);

    std::vector<unsigned char> data(std::size_t(kBatch) * std::size_t(payload), 0x42);
    iovec iov[kBatch];
    mmsghdr msgs[kBatch];
    std::memset(msgs, 0, sizeof msgs);
    for (int i = 0; i < kBatch; ++i) {
        iov[i] = {data.data() + std::size_t(i) * std::size_t(payload), std::size_t(payload)};
        msgs[i].msg_hdr.msg_iov = &iov[i];
        msgs[i].msg_hdr.msg_iovlen = 1;
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const long total = rate * seconds;
    long sent = 0;
    while (sent < total) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const long due = std::min(total, long(elapsed * double(rate))) - sent;
        if (due <= 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        const int n = int(std::min<long>(due, kBatch));
        for (int i = 0; i < n; ++i) {
            const std::uint32_t seq = std::uint32_t(sent + i);
            std::memcpy(iov[i].iov_base, &seq, sizeof seq);
        }
        const int done = sendmmsg(s, msgs, unsigned(n), 0);
        if (done > 0) sent += done;
    }
    close(s);
    std::printf("%ld\n", sent);
    return 0;
}
