#include "store/PcapReader.h"

#include <pcap/pcap.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "store/LoadMessages.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
constexpr int kEthernetHeader = 14;
constexpr int kSllHeader = 16;
constexpr int kSll2Header = 20;
constexpr int kPcapRecordHeader = 16;
constexpr std::uint16_t kEtherTypeIPv4 = 0x0800;
constexpr std::uint16_t kEtherTypeIPv6 = 0x86DD;

// The link types stored, and how each becomes an Ethernet frame.
enum class Link { Ethernet, Sll, Sll2, RawIp, IPv4 };

bool linkOf(int dlt, Link& link) {
    switch (dlt) {
        case DLT_EN10MB:
            link = Link::Ethernet;
            return true;
        case DLT_LINUX_SLL:
            link = Link::Sll;
            return true;
        case DLT_LINUX_SLL2:
            link = Link::Sll2;
            return true;
        case DLT_RAW:
            link = Link::RawIp;
            return true;
        case DLT_IPV4:
            link = Link::IPv4;
            return true;
        default:
            return false;
    }
}

std::uint16_t be16(const std::uint8_t* p) {
    return std::uint16_t(p[0] << 8 | p[1]);
}

// Where the link's payload starts, its EtherType and its sender's address (if
// the link header names one); false when the frame is too short to carry one.
struct Payload {
    int offset = 0;
    std::uint16_t etherType = 0;
    const std::uint8_t* source = nullptr;
};

bool payloadOf(Link link, const std::uint8_t* data, int caplen, Payload& out) {
    switch (link) {
        case Link::Ethernet:
            return caplen > 0;
        case Link::Sll:
            if (caplen <= kSllHeader) return false;
            out = {kSllHeader, be16(data + 14), be16(data + 4) == 6 ? data + 6 : nullptr};
            return true;
        case Link::Sll2:
            if (caplen <= kSll2Header) return false;
            out = {kSll2Header, be16(data), data[11] == 6 ? data + 12 : nullptr};
            return true;
        case Link::RawIp:
            if (caplen <= 0) return false;
            out = {0, (data[0] >> 4) == 6 ? kEtherTypeIPv6 : kEtherTypeIPv4, nullptr};
            return true;
        case Link::IPv4:
            if (caplen <= 0) return false;
            out = {0, kEtherTypeIPv4, nullptr};
            return true;
    }
    return false;
}

struct PcapCloser {
    void operator()(pcap_t* p) const { pcap_close(p); }
};

// A classic pcap's 32-bit link type as the file holds it (libpcap keeps only
// its low bits); 0 for pcapng, whose link types are 16 bits.
std::uint32_t fileLinkType(std::span<const std::uint8_t> b) {
    if (b.size() < 24 || (b[0] == 0x0A && b[1] == 0x0D)) return 0;
    const bool bigEndian = b[0] == 0xA1;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(b[std::size_t(20 + i)]) << (bigEndian ? 24 - 8 * i : 8 * i);
    return v;
}

std::string linkTypeName(int dlt, std::uint32_t held) {
    const char* name = pcap_datalink_val_to_name(dlt);
    const char* description = pcap_datalink_val_to_description(dlt);
    std::string text = name ? name : "number " + std::to_string(held ? held : std::uint32_t(dlt));
    if (description) text += std::string(" (") + description + ")";
    return text;
}

std::string snapCutText(int n, int snaplen) {
    return std::to_string(n) + (n == 1 ? " frame was" : " frames were") +
           " longer than the file's snapshot length of " + std::to_string(snaplen) + " bytes and " +
           (n == 1 ? "was" : "were") + " read cut to it.";
}

std::string skippedText(int n) {
    return std::to_string(n) + (n == 1 ? " frame was" : " frames were") +
           " skipped: no bytes captured beyond the link-layer header.";
}
}  // namespace

bool hasPcapMagic(std::span<const std::uint8_t> b) {
    if (b.size() < 4) return false;
    const std::uint32_t le = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                             std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    const std::uint32_t be = std::uint32_t(b[3]) | std::uint32_t(b[2]) << 8 |
                             std::uint32_t(b[1]) << 16 | std::uint32_t(b[0]) << 24;
    for (std::uint32_t magic : {0xA1B2C3D4u, 0xA1B23C4Du, 0xA1B2CD34u})
        if (le == magic || be == magic) return true;
    return le == 0x0A0D0D0Au;  // pcapng section header, same in both orders
}

RecordSet readPcap(std::span<const std::uint8_t> fileBytes, const std::string& fileName,
                   std::vector<std::uint8_t>& frames) {
    RecordSet set;
    if (fileBytes.empty()) {
        set.refused = true;
        set.problems.push_back(fileError(fileName, "the file is empty"));
        return set;
    }
    // libpcap reads from a stream; this one reads the bytes already in memory.
    std::FILE* stream =
        fmemopen(const_cast<std::uint8_t*>(fileBytes.data()), fileBytes.size(), "rb");
    if (!stream) {
        set.refused = true;
        set.problems.push_back(fileError(fileName, std::strerror(errno)));
        return set;
    }
    char errbuf[PCAP_ERRBUF_SIZE] = {};
    std::unique_ptr<pcap_t, PcapCloser> pcap(
        pcap_fopen_offline_with_tstamp_precision(stream, PCAP_TSTAMP_PRECISION_NANO, errbuf));
    if (!pcap) {
        std::fclose(stream);
        set.refused = true;
        set.problems.push_back(fileError(fileName, errbuf));
        return set;
    }
    const int dlt = pcap_datalink(pcap.get());
    Link link;
    if (!linkOf(dlt, link)) {
        set.refused = true;
        set.problems.push_back(fileError(
            fileName, "its link type " + linkTypeName(dlt, fileLinkType(fileBytes)) +
                          " is not supported; pelsid reads Ethernet, Linux cooked and raw IP "
                          "captures."));
        return set;
    }

    frames.reserve(frames.size() +
                   std::min<std::size_t>(fileBytes.size(), std::size_t(PacketBuffer::kSlots) *
                                                               PacketBuffer::kSlotBytes));
    int frameIndex = 0;
    int snapCut = 0;
    const bool classic = !(fileBytes.size() >= 2 && fileBytes[0] == 0x0A && fileBytes[1] == 0x0D);
    long before = std::ftell(pcap_file(pcap.get()));
    while (true) {
        pcap_pkthdr* header = nullptr;
        const u_char* data = nullptr;
        const int rc = pcap_next_ex(pcap.get(), &header, &data);
        if (rc == PCAP_ERROR_BREAK) break;
        if (rc != 1) {
            set.problems.push_back(fileWarning(
                fileName, "the file is damaged at frame " + std::to_string(frameIndex + 1) +
                              " (byte offset " + std::to_string(before) +
                              "): " + pcap_geterr(pcap.get()) + ". The " +
                              std::to_string(set.records.size()) +
                              (set.records.size() == 1 ? " packet before it was kept."
                                                       : " packets before it were kept.")));
            break;
        }
        ++frameIndex;
        const long after = std::ftell(pcap_file(pcap.get()));
        // libpcap cuts a frame longer than the header's snapshot length and
        // skips the rest; in a classic pcap the record then spans more than
        // its 16-byte header and the bytes handed over.
        if (classic && before >= 0 &&
            after - before > long(kPcapRecordHeader) + long(header->caplen))
            ++snapCut;
        before = after;
        const int caplen = int(header->caplen);
        Payload payload;
        if (!payloadOf(link, data, caplen, payload)) {
            ++set.skippedCount;
            continue;
        }
        if (set.records.size() == std::size_t(PacketBuffer::kSlots)) {
            set.exceeded = true;
            set.problems.push_back(exceededProblem());
            break;
        }
        const int added = link == Link::Ethernet ? 0 : kEthernetHeader;
        int length = caplen - payload.offset + added;
        if (length > PacketBuffer::kSlotBytes) {
            length = PacketBuffer::kSlotBytes;
            ++set.cutCount;
        }
        const std::size_t offset = frames.size();
        if (added) {
            std::uint8_t ethernet[kEthernetHeader] = {};
            if (payload.source) std::memcpy(ethernet + 6, payload.source, 6);
            ethernet[12] = std::uint8_t(payload.etherType >> 8);
            ethernet[13] = std::uint8_t(payload.etherType);
            frames.insert(frames.end(), ethernet, ethernet + kEthernetHeader);
        }
        const u_char* from = data + payload.offset;
        frames.insert(frames.end(), from, from + (length - added));
        set.records.push_back(
            {offset, std::uint32_t(length), std::uint64_t(before < 0 ? 0 : before)});
    }
    if (snapCut > 0)
        set.problems.push_back(
            fileWarning(fileName, snapCutText(snapCut, pcap_snapshot(pcap.get()))));
    if (set.cutCount > 0) set.problems.push_back(cutProblem(set.cutCount));
    if (set.skippedCount > 0)
        set.problems.push_back(fileWarning(fileName, skippedText(set.skippedCount)));
    return set;
}

}  // namespace pelsid
