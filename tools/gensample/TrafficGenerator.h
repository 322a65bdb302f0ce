#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "FrameBuilder.h"
#include "Random.h"

namespace gensample {

/// One generated frame and when it was seen (nanoseconds since the epoch).
struct Frame {
    std::uint64_t timeNs = 0;
    Bytes bytes;
};

/// A host of the simulated network: a LAN host has its own MAC address; an
/// external one is reached through the gateway and seen with a lower TTL.
struct Host {
    std::string name;
    Mac mac{};
    Ip ip{};
    std::uint8_t ttl = 64;  // as seen on the LAN
    bool local = true;
    std::uint16_t nextId = 0;
    std::uint16_t nextPort = 0;
};

/// Makes a fixed sequence of `count` frames of varied LAN traffic: web
/// browsing with readable HTTP, DNS, ping, ARP, IGMP with router-alert
/// options, fragmented datagrams, unusual IP protocols, a port scan and an
/// exploit attempt carrying a run of NOPs. The same seed gives the same frames.
class TrafficGenerator {
  public:
    TrafficGenerator(std::uint64_t seed, int count);
    std::vector<Frame> run();

  private:
    struct TcpFlow;

    bool full() const { return int(frames_.size()) >= count_; }
    void emit(Bytes frame, int gapMicros);
    void sendIp(Host& from, const Host& to, IpHeader h, const Bytes& payload, int gapMicros);
    void sendTcp(TcpFlow& flow, bool fromClient, std::uint8_t flags, const Bytes& payload,
                 int gapMicros, bool mss = false);
    void sendStream(TcpFlow& flow, bool fromClient, const Bytes& data);
    /// The three machines people use; the NAS and the printer browse nowhere.
    Host& pickClient() { return lan_[std::size_t(rng_.between(0, 2))]; }
    Host& pick(std::vector<Host>& hosts) {
        return hosts[std::size_t(rng_.between(0, int(hosts.size()) - 1))];
    }

    void webVisit();
    void dnsLookup(Host& client, const std::string& name, bool nxdomain);
    void ping();
    void arpExchange();
    void igmp();
    void ntp();
    void ssdp();
    void sshSession();
    void fragmentedPing();
    void unusualProtocols();
    void portScan();
    void nopSled();
    void lldp();

    Random rng_;
    int count_;
    std::uint64_t clockUs_;
    std::vector<Frame> frames_;
    std::vector<Host> lan_;
    std::vector<Host> web_;
    Host gateway_;
    Host dnsServer_;
    Host scanner_;
    Host switch_;
};

}  // namespace gensample
