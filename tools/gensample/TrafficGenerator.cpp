#include "TrafficGenerator.h"

#include <algorithm>

namespace gensample {

namespace {
constexpr std::uint16_t kIPv4 = 0x0800, kArp = 0x0806, kLldp = 0x88CC;
constexpr std::uint8_t kIcmp = 1, kIgmp = 2, kTcp = 6, kUdp = 17;
constexpr std::size_t kMss = 1460;
constexpr Mac kBroadcast{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const Bytes kRouterAlert{0x94, 0x04, 0x00, 0x00};  // IP option: router alert

Host lanHost(const char* name, std::uint8_t last, std::uint8_t macTail, std::uint8_t ttl) {
    Host h{name, {0x3C, 0x52, 0x82, 0x1A, 0x40, macTail}, {192, 168, 1, last}, ttl, true, 0, 0};
    h.nextId = std::uint16_t(last * 977);
    h.nextPort = std::uint16_t(40000 + last * 131);
    return h;
}

Host remoteHost(const char* name, Ip ip, std::uint8_t ttl) {
    return Host{name, {}, ip, ttl, false, std::uint16_t(ip[3] * 313), 0};
}

bool isMulticast(const Ip& ip) {
    return ip[0] >= 224 && ip[0] <= 239;
}

const char* const kSentences[] = {
    "The quarterly report shows steady growth in every region.",
    "Our support team answers questions seven days a week.",
    "Please read the release notes before you upgrade the firmware.",
    "Fresh bread is baked every morning in the shop on the corner.",
    "The weather service expects light rain over the weekend.",
    "Click the button below to confirm your subscription.",
    "The city council meets on the first Tuesday of each month.",
    "All orders above fifty euros ship free of charge.",
    "The museum opens a new exhibition of early photographs.",
    "Students can borrow up to twelve books from the library.",
    "The trains to the airport run every fifteen minutes.",
    "Security updates are installed automatically at night.",
};

std::string htmlPage(Random& rng, const std::string& title, std::size_t target) {
    std::string body = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                       title +
                       "</title>\n<link rel=\"stylesheet\" href=\"/css/site.css\">\n</head>\n"
                       "<body>\n<h1>" +
                       title + "</h1>\n";
    while (body.size() < target) {
        body += "<p>";
        for (int i = rng.between(2, 5); i > 0; --i) {
            body += kSentences[rng.between(0, int(std::size(kSentences)) - 1)];
            body += ' ';
        }
        body += "</p>\n";
    }
    return body + "</body>\n</html>\n";
}

void push16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v >> 8));
    b.push_back(std::uint8_t(v));
}

Bytes dnsMessage(std::uint16_t id, const std::string& name, std::uint16_t qtype, bool response,
                 bool nxdomain, const Ip& answer) {
    Bytes m;
    push16(m, id);
    push16(m, response ? (nxdomain ? 0x8183 : 0x8180) : 0x0100);
    push16(m, 1);
    push16(m, response && !nxdomain ? 1 : 0);
    push16(m, 0);
    push16(m, 0);
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t dot = std::min(name.find('.', start), name.size());
        m.push_back(std::uint8_t(dot - start));
        m.insert(m.end(), name.begin() + long(start), name.begin() + long(dot));
        start = dot + 1;
    }
    m.push_back(0);
    push16(m, qtype);
    push16(m, 1);
    if (response && !nxdomain) {
        push16(m, 0xC00C);
        push16(m, 1);
        push16(m, 1);
        push16(m, 0);
        push16(m, 300);
        push16(m, 4);
        m.insert(m.end(), answer.begin(), answer.end());
    }
    return m;
}
}  // namespace

struct TrafficGenerator::TcpFlow {
    Host* client;
    Host* server;
    std::uint16_t clientPort;
    std::uint16_t serverPort;
    std::uint32_t clientSeq;
    std::uint32_t serverSeq;
};

TrafficGenerator::TrafficGenerator(std::uint64_t seed, int count)
    : rng_(seed), count_(count), clockUs_(1710235800ull * 1000000ull) {
    gateway_ = lanHost("gateway", 1, 0x01, 64);
    gateway_.mac = {0x00, 0x1E, 0x58, 0xA4, 0x7B, 0x01};
    lan_ = {lanHost("laptop", 10, 0x10, 64), lanHost("desktop", 23, 0x23, 128),
            lanHost("phone", 42, 0x42, 64), lanHost("nas", 57, 0x57, 64),
            lanHost("printer", 80, 0x80, 255)};
    web_ = {remoteHost("www.example.com", {93, 184, 216, 34}, 52),
            remoteHost("news.example.org", {198, 51, 100, 20}, 49),
            remoteHost("shop.example.net", {203, 0, 113, 45}, 55),
            remoteHost("docs.example.com", {192, 0, 2, 80}, 116)};
    dnsServer_ = remoteHost("resolver", {9, 9, 9, 9}, 57);
    scanner_ = remoteHost("scanner", {203, 0, 113, 66}, 47);
    switch_ = lanHost("switch", 2, 0x02, 64);
    switch_.mac = {0x00, 0x1B, 0x21, 0x0C, 0x99, 0x02};
}

void TrafficGenerator::emit(Bytes frame, int gapMicros) {
    if (full()) return;
    clockUs_ += std::uint64_t(std::max(gapMicros, 1));
    frames_.push_back({clockUs_ * 1000ull, std::move(frame)});
}

void TrafficGenerator::sendIp(Host& from, const Host& to, IpHeader h, const Bytes& payload,
                              int gapMicros) {
    h.src = from.ip;
    h.dst = to.ip;
    if (h.ttl == 64) h.ttl = isMulticast(to.ip) ? (h.protocol == kIgmp ? 1 : from.ttl) : from.ttl;
    if (h.id == 0) h.id = from.nextId++;
    Mac dst = to.local ? to.mac : gateway_.mac;
    if (isMulticast(to.ip))
        dst = {0x01, 0x00, 0x5E, std::uint8_t(to.ip[1] & 0x7F), to.ip[2], to.ip[3]};
    if (to.ip == Ip{255, 255, 255, 255}) dst = kBroadcast;
    const Mac src = from.local ? from.mac : gateway_.mac;
    emit(FrameBuilder::ethernet(dst, src, kIPv4, FrameBuilder::ipv4(h, payload)), gapMicros);
}

void TrafficGenerator::sendTcp(TcpFlow& f, bool fromClient, std::uint8_t flags,
                               const Bytes& payload, int gapMicros, bool mss) {
    Host& from = fromClient ? *f.client : *f.server;
    Host& to = fromClient ? *f.server : *f.client;
    std::uint32_t& seq = fromClient ? f.clientSeq : f.serverSeq;
    const std::uint32_t ack = fromClient ? f.serverSeq : f.clientSeq;
    const std::uint16_t sport = fromClient ? f.clientPort : f.serverPort;
    const std::uint16_t dport = fromClient ? f.serverPort : f.clientPort;
    IpHeader h;
    h.protocol = kTcp;
    h.df = from.ttl != 128 || !from.local ? true : rng_.chance(80);
    const std::uint16_t window = std::uint16_t(fromClient ? 64240 : 65160);
    sendIp(from, to, h,
           FrameBuilder::tcp(from.ip, to.ip, sport, dport, seq, ack, flags, window, payload, mss),
           gapMicros);
    seq += std::uint32_t(payload.size()) + ((flags & (kSyn | kFin)) ? 1 : 0);
}

void TrafficGenerator::sendStream(TcpFlow& f, bool fromClient, const Bytes& data) {
    int unacked = 0;
    for (std::size_t at = 0; at < data.size(); at += kMss) {
        const std::size_t n = std::min(kMss, data.size() - at);
        const Bytes segment(data.begin() + long(at), data.begin() + long(at + n));
        const bool last = at + n == data.size();
        sendTcp(f, fromClient, std::uint8_t(kAck | (last ? kPsh : 0)), segment,
                rng_.between(40, 900));
        if (++unacked == 2 || last) {
            sendTcp(f, !fromClient, kAck, {}, rng_.between(20, 400));
            unacked = 0;
        }
    }
}

void TrafficGenerator::dnsLookup(Host& client, const std::string& name, bool nxdomain) {
    const std::uint16_t id = std::uint16_t(rng_.next());
    const std::uint16_t port = client.nextPort++;
    const Ip answer{93, 184, std::uint8_t(rng_.between(1, 254)),
                    std::uint8_t(rng_.between(1, 254))};
    IpHeader h;
    h.protocol = kUdp;
    h.df = client.ttl == 64;
    sendIp(client, gateway_, h,
           FrameBuilder::udp(client.ip, gateway_.ip, port, 53,
                             dnsMessage(id, name, 1, false, false, answer)),
           rng_.between(2000, 90000));
    IpHeader r;
    r.protocol = kUdp;
    sendIp(gateway_, client, r,
           FrameBuilder::udp(gateway_.ip, client.ip, 53, port,
                             dnsMessage(id, name, 1, true, nxdomain, answer)),
           rng_.between(4000, 40000));
}

void TrafficGenerator::webVisit() {
    Host& client = pickClient();
    Host& server = pick(web_);
    dnsLookup(client, server.name, false);
    TcpFlow f{&client,
              &server,
              client.nextPort++,
              80,
              std::uint32_t(rng_.next()),
              std::uint32_t(rng_.next())};
    sendTcp(f, true, kSyn, {}, rng_.between(200, 2000), true);
    sendTcp(f, false, kSyn | kAck, {}, rng_.between(9000, 60000), true);
    sendTcp(f, true, kAck, {}, rng_.between(50, 300));
    static const char* const kPaths[] = {"/",
                                         "/index.html",
                                         "/news/today",
                                         "/products?page=2",
                                         "/about",
                                         "/contact",
                                         "/blog/2024/03/spring-sale"};
    const std::string path = kPaths[rng_.between(0, int(std::size(kPaths)) - 1)];
    const std::string request =
        "GET " + path + " HTTP/1.1\r\nHost: " + server.name +
        "\r\nUser-Agent: Mozilla/5.0 (X11; Linux x86_64; rv:123.0) Gecko/20100101 Firefox/123.0"
        "\r\nAccept: text/html,application/xhtml+xml\r\nAccept-Language: en-GB,en;q=0.5"
        "\r\nAccept-Encoding: identity\r\nConnection: keep-alive\r\n\r\n";
    sendTcp(f, true, kPsh | kAck, FrameBuilder::text(request), rng_.between(100, 800));
    const bool missing = rng_.chance(10);
    const std::string body =
        missing ? "<html><body><h1>404 Not Found</h1><p>The page " + path +
                      " does not exist.</p></body></html>\n"
                : htmlPage(rng_, server.name, std::size_t(rng_.between(300, 9000)));
    const std::string response =
        std::string(missing ? "HTTP/1.1 404 Not Found" : "HTTP/1.1 200 OK") +
        "\r\nServer: nginx/1.24.0\r\nDate: Tue, 12 Mar 2024 09:3" +
        std::to_string(rng_.between(0, 9)) + ":" + std::to_string(rng_.between(10, 59)) +
        " GMT\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\nConnection: keep-alive\r\n\r\n" + body;
    sendTcp(f, false, kAck, {}, rng_.between(8000, 40000));
    sendStream(f, false, FrameBuilder::text(response));
    sendTcp(f, true, kFin | kAck, {}, rng_.between(100000, 900000));
    sendTcp(f, false, kFin | kAck, {}, rng_.between(9000, 50000));
    sendTcp(f, true, kAck, {}, rng_.between(50, 300));
}

void TrafficGenerator::ping() {
    Host& client = pickClient();
    Host& target = rng_.chance(50) ? dnsServer_ : pick(web_);
    const std::uint16_t id = std::uint16_t(rng_.next());
    for (std::uint16_t seq = 1; seq <= 4; ++seq) {
        Bytes data(8);
        for (auto& b : data) b = rng_.byte();
        for (std::uint8_t v = 0x10; v < 0x38; ++v) data.push_back(v);
        IpHeader h;
        h.protocol = kIcmp;
        h.df = true;
        sendIp(client, target, h, FrameBuilder::icmpEcho(true, id, seq, data),
               seq == 1 ? rng_.between(5000, 200000) : 1000000 - rng_.between(0, 3000));
        IpHeader r;
        r.protocol = kIcmp;
        sendIp(target, client, r, FrameBuilder::icmpEcho(false, id, seq, data),
               rng_.between(8000, 30000));
    }
}

void TrafficGenerator::arpExchange() {
    Host& asker = pick(lan_);
    Host& target = rng_.chance(60) ? gateway_ : pick(lan_);
    if (asker.ip == target.ip) return;
    emit(FrameBuilder::ethernet(kBroadcast, asker.mac, kArp,
                                FrameBuilder::arp(true, asker.mac, asker.ip, Mac{}, target.ip)),
         rng_.between(1000, 300000));
    emit(FrameBuilder::ethernet(
             asker.mac, target.mac, kArp,
             FrameBuilder::arp(false, target.mac, target.ip, asker.mac, asker.ip)),
         rng_.between(100, 2000));
}

void TrafficGenerator::igmp() {
    // A general query from the router, then each member's report; both carry
    // the router-alert option, so their IP headers are six words long.
    Host all{"all-hosts", {}, {224, 0, 0, 1}, 1, true, 0, 0};
    IpHeader q;
    q.protocol = kIgmp;
    q.ttl = 1;
    q.tos = 0xC0;
    q.options = kRouterAlert;
    sendIp(gateway_, all, q, FrameBuilder::igmpV2(0x11, 100, Ip{0, 0, 0, 0}),
           rng_.between(10000, 500000));
    for (Host& member : lan_) {
        if (!rng_.chance(70)) continue;
        const Ip group = rng_.chance(50) ? Ip{239, 255, 255, 250} : Ip{224, 0, 0, 251};
        Host g{"group", {}, group, 1, true, 0, 0};
        IpHeader r;
        r.protocol = kIgmp;
        r.ttl = 1;
        r.df = true;
        r.options = kRouterAlert;
        sendIp(member, g, r, FrameBuilder::igmpV2(0x16, 0, group), rng_.between(100000, 900000));
    }
}

void TrafficGenerator::ntp() {
    Host& client = pickClient();
    Host server = remoteHost("ntp", {162, 159, 200, 1}, 56);
    Bytes request(48, 0);
    request[0] = 0x23;  // version 4, client
    for (int i = 40; i < 48; ++i) request[std::size_t(i)] = rng_.byte();
    IpHeader h;
    h.protocol = kUdp;
    h.df = true;
    sendIp(client, server, h, FrameBuilder::udp(client.ip, server.ip, 123, 123, request),
           rng_.between(20000, 800000));
    Bytes reply(48, 0);
    reply[0] = 0x24;
    reply[1] = 3;
    for (int i = 16; i < 48; ++i) reply[std::size_t(i)] = rng_.byte();
    IpHeader r;
    r.protocol = kUdp;
    sendIp(server, client, r, FrameBuilder::udp(server.ip, client.ip, 123, 123, reply),
           rng_.between(9000, 30000));
}

void TrafficGenerator::ssdp() {
    Host& client = pickClient();
    Host group{"ssdp", {}, {239, 255, 255, 250}, 4, true, 0, 0};
    const std::string search =
        "M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nMAN: \"ssdp:discover\"\r\nMX: 1"
        "\r\nST: urn:dial-multiscreen-org:service:dial:1\r\nUSER-AGENT: Chromium/122.0 Linux"
        "\r\n\r\n";
    IpHeader h;
    h.protocol = kUdp;
    h.ttl = 4;
    for (int i = 0; i < 2; ++i)
        sendIp(client, group, h,
               FrameBuilder::udp(client.ip, group.ip, 50000 + client.ip[3], 1900,
                                 FrameBuilder::text(search)),
               rng_.between(1000, 400000));
}

void TrafficGenerator::sshSession() {
    Host& client = lan_[0];
    Host& server = lan_[3];
    TcpFlow f{&client,
              &server,
              client.nextPort++,
              22,
              std::uint32_t(rng_.next()),
              std::uint32_t(rng_.next())};
    sendTcp(f, true, kSyn, {}, rng_.between(10000, 400000), true);
    sendTcp(f, false, kSyn | kAck, {}, rng_.between(100, 600), true);
    sendTcp(f, true, kAck, {}, rng_.between(50, 200));
    sendTcp(f, false, kPsh | kAck, FrameBuilder::text("SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n"),
            rng_.between(2000, 6000));
    sendTcp(f, true, kPsh | kAck, FrameBuilder::text("SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n"),
            rng_.between(500, 2000));
    for (int i = rng_.between(6, 24); i > 0 && !full(); --i) {
        const bool up = rng_.chance(40);
        Bytes cipher(std::size_t(up ? 36 + 16 * rng_.between(0, 2) : rng_.between(36, 1400)));
        for (auto& b : cipher) b = rng_.byte();
        sendTcp(f, up, kPsh | kAck, cipher, rng_.between(3000, 250000));
        sendTcp(f, !up, kAck, {}, rng_.between(100, 800));
    }
}

void TrafficGenerator::fragmentedPing() {
    // A large echo request split by the sender: fragments of 1480 payload
    // bytes with MF set on all but the last.
    Host& client = lan_[1];
    Host& target = gateway_;
    Bytes data(std::size_t(rng_.between(3000, 4400)));
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t('a' + i % 23);
    const Bytes message = FrameBuilder::icmpEcho(true, 1, std::uint16_t(rng_.between(1, 90)), data);
    for (bool reply : {false, true}) {
        Bytes m = message;
        if (reply) {
            m[0] = 0;
            m[2] = m[3] = 0;
            const std::uint16_t sum = FrameBuilder::checksum(m.data(), m.size());
            m[2] = std::uint8_t(sum >> 8);
            m[3] = std::uint8_t(sum);
        }
        Host& from = reply ? target : client;
        Host& to = reply ? client : target;
        const std::uint16_t id = from.nextId++;
        for (std::size_t at = 0; at < m.size(); at += 1480) {
            const std::size_t n = std::min<std::size_t>(1480, m.size() - at);
            IpHeader h;
            h.protocol = kIcmp;
            h.id = id;
            h.mf = at + n < m.size();
            h.fragOffset = std::uint16_t(at / 8);
            sendIp(from, to, h, Bytes(m.begin() + long(at), m.begin() + long(at + n)),
                   at == 0 ? rng_.between(5000, 300000) : rng_.between(10, 60));
        }
    }
}

void TrafficGenerator::unusualProtocols() {
    // A lab machine trying out experimental and unassigned protocol numbers,
    // the router's OSPF hellos and a GRE tunnel to a branch office.
    Host& lab = lan_[0];
    Host peer = remoteHost("lab-peer", {198, 51, 100, 77}, 58);
    for (std::uint8_t protocol :
         {std::uint8_t(253), std::uint8_t(254), std::uint8_t(143), std::uint8_t(200),
          std::uint8_t(252), std::uint8_t(255), std::uint8_t(138)}) {
        Bytes payload(std::size_t(rng_.between(20, 300)));
        for (auto& b : payload) b = rng_.byte();
        IpHeader h;
        h.protocol = protocol;
        h.df = true;
        sendIp(lab, peer, h, payload, rng_.between(20000, 500000));
    }
    Host ospf{"ospf", {}, {224, 0, 0, 5}, 1, true, 0, 0};
    Bytes hello{2, 1, 0,   44,  192, 168, 1, 1,  0, 0, 0, 0, 0, 0,  0,   0,   0, 0, 0, 0, 0, 0,
                0, 0, 255, 255, 255, 0,   0, 10, 2, 1, 0, 0, 0, 40, 192, 168, 1, 1, 0, 0, 0, 0};
    IpHeader o;
    o.protocol = 89;
    o.ttl = 1;
    o.tos = 0xC0;
    sendIp(gateway_, ospf, o, hello, rng_.between(1000, 100000));
    Host branch = remoteHost("branch", {192, 0, 2, 200}, 60);
    for (int i = 0; i < 3; ++i) {
        Bytes inner{0x00, 0x00, 0x08, 0x00};  // GRE carrying IPv4
        IpHeader ih;
        ih.protocol = kIcmp;
        ih.src = {10, 20, 0, 1};
        ih.dst = {10, 30, 0, 1};
        const Bytes packet = FrameBuilder::ipv4(
            ih, FrameBuilder::icmpEcho(true, 7, std::uint16_t(i + 1), Bytes(32, 0x55)));
        inner.insert(inner.end(), packet.begin(), packet.end());
        IpHeader g;
        g.protocol = 47;
        sendIp(gateway_, branch, g, inner, rng_.between(1000, 300000));
    }
}

void TrafficGenerator::portScan() {
    // An outside host probes the NAS: SYNs to many ports, RSTs from closed
    // ones, SYN-ACKs from the open ones, which the scanner resets.
    Host& target = lan_[3];
    std::vector<std::uint16_t> ports;
    for (std::uint16_t p : {21,  22,  23,  25,  53,  80,   110,  111,  135,  139,
                            143, 443, 445, 993, 995, 1723, 3306, 3389, 5900, 8080})
        ports.push_back(p);
    while (ports.size() < 140) ports.push_back(std::uint16_t(rng_.between(1, 10000)));
    for (std::size_t i = ports.size() - 1; i > 0; --i)
        std::swap(ports[i], ports[std::size_t(rng_.between(0, int(i)))]);
    const std::uint16_t scanPort = std::uint16_t(rng_.between(40000, 60000));
    for (std::uint16_t port : ports) {
        if (full()) return;
        TcpFlow f{&scanner_,
                  &target,
                  scanPort,
                  port,
                  std::uint32_t(rng_.next()),
                  std::uint32_t(rng_.next())};
        sendTcp(f, true, kSyn, {}, rng_.between(200, 3000), true);
        const bool open = port == 22 || port == 80 || port == 443 || port == 445;
        if (open) {
            sendTcp(f, false, kSyn | kAck, {}, rng_.between(100, 500), true);
            sendTcp(f, true, kRst, {}, rng_.between(9000, 30000));
        } else {
            sendTcp(f, false, kRst | kAck, {}, rng_.between(100, 500));
        }
    }
}

void TrafficGenerator::nopSled() {
    // An exploit attempt against the NAS's web interface: a request whose
    // body is a long run of NOP bytes followed by machine code.
    Host& target = lan_[3];
    TcpFlow f{&scanner_,
              &target,
              std::uint16_t(rng_.between(40000, 60000)),
              80,
              std::uint32_t(rng_.next()),
              std::uint32_t(rng_.next())};
    sendTcp(f, true, kSyn, {}, rng_.between(100000, 900000), true);
    sendTcp(f, false, kSyn | kAck, {}, rng_.between(100, 500), true);
    sendTcp(f, true, kAck, {}, rng_.between(9000, 30000));
    Bytes body(700, 0x90);
    for (std::uint8_t b : {0x31, 0xC0, 0x50, 0x68, 0x2F, 0x2F, 0x73, 0x68, 0x68, 0x2F, 0x62, 0x69,
                           0x6E, 0x89, 0xE3, 0x50, 0x53, 0x89, 0xE1, 0xB0, 0x0B, 0xCD, 0x80})
        body.push_back(b);
    Bytes request = FrameBuilder::text(
        "POST /cgi-bin/admin.cgi HTTP/1.1\r\nHost: 192.168.1.57\r\nContent-Type: "
        "application/octet-stream\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n");
    request.insert(request.end(), body.begin(), body.end());
    sendStream(f, true, request);
    sendTcp(f, false, kPsh | kAck,
            FrameBuilder::text("HTTP/1.1 400 Bad Request\r\nServer: lighttpd/1.4.69\r\n"
                               "Content-Length: 0\r\nConnection: close\r\n\r\n"),
            rng_.between(500, 3000));
    sendTcp(f, false, kFin | kAck, {}, rng_.between(50, 300));
    sendTcp(f, true, kRst, {}, rng_.between(9000, 30000));
}

void TrafficGenerator::lldp() {
    const Mac nearest{0x01, 0x80, 0xC2, 0x00, 0x00, 0x0E};
    Bytes tlv{0x02, 0x07, 0x04};  // chassis id: MAC address
    for (std::uint8_t b : switch_.mac) tlv.push_back(b);
    for (int b : {0x04, 0x04, 0x05, int('g'), int('e'), int('2'), 0x06, 0x02, 0x00, 0x78})
        tlv.push_back(std::uint8_t(b));
    const std::string name = "office-switch";
    tlv.push_back(0x0A);
    tlv.push_back(std::uint8_t(name.size()));
    tlv.insert(tlv.end(), name.begin(), name.end());
    tlv.push_back(0);
    tlv.push_back(0);
    emit(FrameBuilder::ethernet(nearest, switch_.mac, kLldp, tlv), rng_.between(10000, 900000));
}

std::vector<Frame> TrafficGenerator::run() {
    // The rarer events come at fixed points, so every sample of a few
    // thousand frames holds each of them; the rest is a random mix.
    struct Planned {
        int atFrame;
        void (TrafficGenerator::*activity)();
    };
    const Planned plan[] = {{100, &TrafficGenerator::igmp},
                            {400, &TrafficGenerator::fragmentedPing},
                            {700, &TrafficGenerator::unusualProtocols},
                            {1100, &TrafficGenerator::portScan},
                            {1700, &TrafficGenerator::nopSled},
                            {2200, &TrafficGenerator::fragmentedPing},
                            {2500, &TrafficGenerator::unusualProtocols}};
    static const char* const kNames[] = {"mail.example.com", "cdn.example.net", "api.example.org",
                                         "updates.example.com", "typo.example.invalid"};
    std::size_t next = 0;
    while (!full()) {
        if (next < std::size(plan) && int(frames_.size()) >= plan[next].atFrame) {
            (this->*plan[next].activity)();
            ++next;
            continue;
        }
        const int roll = rng_.between(1, 100);
        if (roll <= 40)
            webVisit();
        else if (roll <= 52) {
            const int i = rng_.between(0, int(std::size(kNames)) - 1);
            dnsLookup(pickClient(), kNames[i], i == int(std::size(kNames)) - 1);
        } else if (roll <= 62)
            ping();
        else if (roll <= 70)
            arpExchange();
        else if (roll <= 75)
            ntp();
        else if (roll <= 80)
            ssdp();
        else if (roll <= 90)
            sshSession();
        else if (roll <= 94)
            igmp();
        else if (roll <= 97)
            lldp();
        else if (roll <= 98)
            fragmentedPing();
        else
            unusualProtocols();
    }
    return std::move(frames_);
}

}  // namespace gensample
