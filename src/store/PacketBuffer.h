#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "store/CaptureTime.h"
#include "store/FrameBatch.h"
#include "store/PacketFields.h"

namespace pelsid {

/// The ring of 30000 packet slots with each packet's decoded header fields.
/// Everything outside reads packets by packet number (1, 2, 3, ... since the
/// last initialisation); slots are this class's business alone.
///
/// A slot holds a packet of up to kSlotBytes bytes, but the bytes themselves
/// lie one after another in a byte ring sized for 30000 full slots (and a
/// spare): memory is touched only as far as the packets reach, so typical
/// traffic of a few hundred bytes a frame takes a fifth of the full size.
class PacketBuffer {
  public:
    static constexpr int kSlots = 30000;
    static constexpr int kSlotBytes = 1601;  // a slot holds packets of up to 1601 bytes

    /// Called after every change with the buffer, so a listener can show its counters.
    using Listener = std::function<void(const PacketBuffer&)>;

    PacketBuffer();
    ~PacketBuffer();
    PacketBuffer(const PacketBuffer&) = delete;
    PacketBuffer& operator=(const PacketBuffer&) = delete;

    void setListener(Listener listener);

    /// While one lives, changes tell the listener nothing; at its end the
    /// listener hears once, if anything changed.
    class QuietChanges {
      public:
        explicit QuietChanges(PacketBuffer& buffer) : buffer_(buffer) { ++buffer_.quiet_; }
        ~QuietChanges() {
            if (--buffer_.quiet_ == 0 && std::exchange(buffer_.changedQuietly_, false))
                buffer_.notify();
        }
        QuietChanges(const QuietChanges&) = delete;
        QuietChanges& operator=(const QuietChanges&) = delete;

      private:
        PacketBuffer& buffer_;
    };

    /// Empties the ring and zeroes every slot; counters back to 0.
    void initBuffer();

    /// Stores a frame's bytes in the next slot (overwriting the oldest packet
    /// once the ring is full) and decodes its headers. A frame longer than a
    /// slot keeps its first kSlotBytes bytes. Returns the slot written.
    /// `time` and `wireLength` (0: the stored length) are kept as given, and
    /// `linkType`, the link type the frame was captured on before it was
    /// stored as Ethernet, and `frameNumber`, its number in the file it came
    /// from (0: captured).
    int insertPacket(std::span<const std::uint8_t> frame, const CaptureTime& time = {},
                     std::uint32_t wireLength = 0, std::uint32_t linkType = 1,
                     std::uint64_t frameNumber = 0);

    /// Stores every frame of `frames` in order, as insertPacket does; returns how many.
    int insertFrames(const FrameBatch& frames);

    static int slotOfPacket(int packetNumber);

    /// The newest packet's number: how many were stored since the buffer was
    /// emptied, 0 when none.
    int newestHeld() const { return packetCount_; }
    int currentSlot() const { return currentSlot_; }
    /// Oldest packet number still held (1 while nothing has been overwritten).
    int oldestHeld() const { return packetCount_ > kSlots ? packetCount_ - (kSlots - 1) : 1; }
    /// True when `packetNumber` is held now.
    bool holds(int packetNumber) const {
        return packetNumber >= oldestHeld() && packetNumber <= packetCount_;
    }
    /// Grows at every initialisation: packet numbers taken before name other packets after.
    std::uint64_t generation() const { return generation_; }

    /// How many bytes of the packet are stored (at most kSlotBytes).
    int frameLength(int packetNumber) const;
    /// A byte of the packet; 0 for an index outside 0..kSlotBytes-1 or beyond the packet.
    int getPacketByte(int packetNumber, int index) const;
    /// The packet's bytes: frameLength of them; what follows is not
    /// the packet's (copy it out to read zeros beyond its end).
    const std::uint8_t* packetData(int packetNumber) const;
    /// The packet's bytes as stored, for a filter to test.
    std::span<const std::uint8_t> frame(int packetNumber) const {
        return {packetData(packetNumber), std::size_t(frameLength(packetNumber))};
    }
    const PacketFields& fields(int packetNumber) const;
    /// When the packet was captured (unknown for dataset files).
    const CaptureTime& captureTime(int packetNumber) const;
    /// The packet's length on the wire: at least its stored length.
    std::uint32_t wireLength(int packetNumber) const;
    /// The link type the packet was captured on (1: Ethernet).
    std::uint32_t linkType(int packetNumber) const;
    /// The packet's number in the file it was loaded from, counted from 1 as
    /// --from counts; 0 for a captured packet.
    std::uint64_t frameNumber(int packetNumber) const;

    int getEtherType(int n) const { return fields(n).etherType; }
    std::string getEtherTypeText(int n) const;
    int getIPVersion(int n) const { return fields(n).ipVersion; }
    int getIPHeaderLength(int n) const { return fields(n).ipHeaderLength; }
    int getTOS(int n) const { return fields(n).ipTOS; }
    int getIPTotalLength(int n) const { return fields(n).ipTotalLength; }
    /// IPv6: the Fragment header's 32-bit identification.
    std::int64_t getIPID(int n) const { return fields(n).ipID; }
    int getIPChecksum(int n) const { return fields(n).ipChecksum; }
    bool getFlagReserved(int n) const { return fields(n).flagReserved; }
    bool getFlagDF(int n) const { return fields(n).flagDF; }
    bool getFlagMF(int n) const { return fields(n).flagMF; }
    int getFragOffset(int n) const { return fields(n).ipFragOffset; }
    int getTTL(int n) const { return fields(n).ipTTL; }
    int getIPProtocol(int n) const { return fields(n).ipProtocol; }
    /// k = 1..4, octet 1 first; 0 for any other k.
    int getSrcIPOctet(int n, int k) const { return k >= 1 && k <= 4 ? fields(n).ipSrc[k - 1] : 0; }
    std::string getSrcIPText(int n) const;
    std::string getDstIPText(int n) const;
    int getUDPSrcPort(int n) const { return fields(n).udpSrcPort; }
    int getUDPDstPort(int n) const { return fields(n).udpDstPort; }
    int getTCPSrcPort(int n) const { return fields(n).tcpSrcPort; }
    int getTCPDstPort(int n) const { return fields(n).tcpDstPort; }

  private:
    int slotIndex(int packetNumber) const { return slotOfPacket(packetNumber) - 1; }
    void notify();

    // A slot's worth of zeros that unwritten slots point at, then the ring:
    // full slots and room for the unused tail left where it wraps.
    static constexpr std::size_t kRingStart = kSlotBytes;
    static constexpr std::size_t kBytes = kRingStart + std::size_t(kSlots + 2) * kSlotBytes;
    static std::uint8_t* allocateZeroed(std::size_t bytes);
    struct FreeBytes {
        void operator()(std::uint8_t* p) const;
    };
    std::unique_ptr<std::uint8_t[], FreeBytes> bytes_;  // the byte ring, kBytes
    std::unique_ptr<std::uint32_t[]> offset_;           // where each slot's bytes start
    std::unique_ptr<int[]> length_;
    std::unique_ptr<PacketFields[]> fields_;
    std::unique_ptr<CaptureTime[]> time_;
    std::unique_ptr<std::uint32_t[]> wireLength_;
    std::unique_ptr<std::uint32_t[]> linkType_;
    std::unique_ptr<std::uint64_t[]> frame_;
    std::size_t head_ = kRingStart;  // where the next packet's bytes go
    int currentSlot_ = 0;
    int packetCount_ = 0;
    std::uint64_t generation_ = 0;
    Listener listener_;
    int quiet_ = 0;
    bool changedQuietly_ = false;
};

}  // namespace pelsid
