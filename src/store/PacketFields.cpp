#include "store/PacketFields.h"

#include <charconv>

namespace pelsid {

namespace {
constexpr int kEtherTypeIPv4 = 0x0800;
constexpr int kProtoTCP = 6;
constexpr int kProtoUDP = 17;

// The one bounds-checked reader of packet bytes.
class Bytes {
  public:
    Bytes(const std::uint8_t* p, int len) : p_(p), len_(len) {}
    std::uint8_t at(int i) const { return i >= 0 && i < len_ ? p_[i] : 0; }
    std::uint16_t pair(int i) const { return static_cast<std::uint16_t>(at(i) * 256 + at(i + 1)); }

  private:
    const std::uint8_t* p_;
    int len_;
};
}  // namespace

PacketFields decodeHeaders(const std::uint8_t* packet, int length) {
    const Bytes b(packet, length);
    PacketFields f;
    f.etherType = b.pair(12);
    if (f.etherType != kEtherTypeIPv4) return f;

    f.ipVersion = b.at(14) >> 4;
    f.ipHeaderLength = b.at(14) & 0x0F;
    f.ipTOS = b.at(15);
    f.ipTotalLength = b.pair(16);
    f.ipID = b.pair(18);
    f.flagReserved = (b.at(20) & 0x80) != 0;
    f.flagDF = (b.at(20) & 0x40) != 0;
    f.flagMF = (b.at(20) & 0x20) != 0;
    f.ipFragOffset = static_cast<std::uint16_t>((b.at(20) & 0x1F) * 256 + b.at(21));
    f.ipTTL = b.at(22);
    f.ipProtocol = b.at(23);
    f.ipChecksum = b.pair(24);
    for (int k = 0; k < 4; ++k) {
        f.ipSrc[k] = b.at(26 + k);
        f.ipDst[k] = b.at(30 + k);
    }

    const int opt = f.ipHeaderLength < 5 ? 0 : (f.ipHeaderLength - 5) * 4;
    if (f.ipProtocol == kProtoUDP) {
        f.udpSrcPort = b.pair(34 + opt);
        f.udpDstPort = b.pair(36 + opt);
    } else if (f.ipProtocol == kProtoTCP) {
        f.tcpSrcPort = b.pair(34 + opt);
        f.tcpDstPort = b.pair(36 + opt);
    }
    return f;
}

std::string etherTypeText(const PacketFields& f) {
    // Formatted by hand: labels are made for every packet played.
    char text[8] = {'0', 'x'};
    const auto end = std::to_chars(text + 2, text + sizeof text, unsigned(f.etherType), 16).ptr;
    for (char* c = text + 2; c < end; ++c)
        if (*c >= 'a') *c = char(*c - 'a' + 'A');
    return std::string(text, end);
}

std::string dottedQuad(const std::uint8_t o[4]) {
    std::string text;
    text.reserve(15);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) text += '.';
        const unsigned v = o[i];
        if (v >= 100) text += char('0' + v / 100);
        if (v >= 10) text += char('0' + v / 10 % 10);
        text += char('0' + v % 10);
    }
    return text;
}

}  // namespace pelsid
