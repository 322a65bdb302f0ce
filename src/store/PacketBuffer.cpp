#include "store/PacketBuffer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "store/Dialogs.h"
#include "store/Messages.h"

namespace pelsid {

PacketBuffer::PacketBuffer()
    : bytes_(allocateZeroed(kBytes)),
      offset_(new std::uint32_t[kSlots]()),
      length_(new int[kSlots]()),
      fields_(new PacketFields[kSlots]()),
      time_(new CaptureTime[kSlots]()),
      wireLength_(new std::uint32_t[kSlots]()),
      linkType_(new std::uint32_t[kSlots]),
      frame_(new std::uint64_t[kSlots]()) {
    std::fill_n(linkType_.get(), kSlots, 1u);
}

PacketBuffer::~PacketBuffer() = default;

// calloc: the system hands out pages as they are first touched, so a buffer
// holding few packets costs little memory and start-up time.
std::uint8_t* PacketBuffer::allocateZeroed(std::size_t bytes) {
    void* p = std::calloc(bytes, 1);
    if (!p) throw std::bad_alloc();
    return static_cast<std::uint8_t*>(p);
}

void PacketBuffer::FreeBytes::operator()(std::uint8_t* p) const {
    std::free(p);
}

void PacketBuffer::setListener(Listener listener) {
    listener_ = std::move(listener);
}

void PacketBuffer::notify() {
    if (quiet_ > 0)
        changedQuietly_ = true;
    else if (listener_)
        listener_(*this);
}

void PacketBuffer::initBuffer() {
    // No byte is read beyond its packet's end, so old bytes need no clearing.
    const int used = std::min(packetCount_, kSlots);
    std::fill_n(offset_.get(), used, 0u);
    std::fill_n(length_.get(), used, 0);
    std::fill_n(fields_.get(), used, PacketFields{});
    std::fill_n(time_.get(), used, CaptureTime{});
    std::fill_n(wireLength_.get(), used, 0u);
    std::fill_n(linkType_.get(), used, 1u);
    std::fill_n(frame_.get(), used, std::uint64_t(0));
    head_ = kRingStart;
    currentSlot_ = 0;
    packetCount_ = 0;
    ++generation_;
    notify();
}

int PacketBuffer::insertPacket(std::span<const std::uint8_t> frame, const CaptureTime& time,
                               std::uint32_t wireLength, std::uint32_t linkType,
                               std::uint64_t frameNumber) {
    const std::size_t len = std::min(frame.size(), std::size_t(kSlotBytes));
    ++packetCount_;
    currentSlot_ = currentSlot_ >= kSlots ? 1 : currentSlot_ + 1;
    const int s = currentSlot_ - 1;
    // Packets follow one another; one that would run past the end starts the
    // ring again. The 30000 packets held never fill more than kSlots full
    // slots, and one unused tail at most lies among them, so the ring's spare
    // slot keeps the newest packet off every packet still held.
    if (head_ + len > kBytes) head_ = kRingStart;
    std::uint8_t* dst = bytes_.get() + head_;
    if (len > 0) std::memcpy(dst, frame.data(), len);
    offset_[s] = std::uint32_t(head_);
    head_ += len;
    length_[s] = int(len);
    fields_[s] = decodeHeaders(dst, int(len));
    time_[s] = time;
    wireLength_[s] = std::max(wireLength, std::uint32_t(len));
    linkType_[s] = linkType;
    frame_[s] = frameNumber;
    notify();
    return currentSlot_;
}

int PacketBuffer::insertFrames(const FrameBatch& frames) {
    for (int k = 0; k < frames.size(); ++k) {
        const RecordRef& r = frames.records[std::size_t(k)];
        insertPacket(frames.frame(k), r.time, r.wireLength, r.linkType, r.frame);
    }
    return frames.size();
}

int PacketBuffer::slotOfPacket(int packetNumber) {
    if (packetNumber < 1) return 1;
    return (packetNumber - 1) % kSlots + 1;
}

int PacketBuffer::frameLength(int packetNumber) const {
    return length_[slotIndex(packetNumber)];
}

int PacketBuffer::getPacketByte(int packetNumber, int index) const {
    if (index < 0 || index >= frameLength(packetNumber)) return 0;
    return packetData(packetNumber)[index];
}

const std::uint8_t* PacketBuffer::packetData(int packetNumber) const {
    return bytes_.get() + offset_[slotIndex(packetNumber)];
}

const PacketFields& PacketBuffer::fields(int packetNumber) const {
    return fields_[slotIndex(packetNumber)];
}

const CaptureTime& PacketBuffer::captureTime(int packetNumber) const {
    return time_[slotIndex(packetNumber)];
}

std::uint32_t PacketBuffer::wireLength(int packetNumber) const {
    return wireLength_[slotIndex(packetNumber)];
}

std::uint32_t PacketBuffer::linkType(int packetNumber) const {
    return linkType_[slotIndex(packetNumber)];
}

std::uint64_t PacketBuffer::frameNumber(int packetNumber) const {
    return frame_[slotIndex(packetNumber)];
}

std::string PacketBuffer::getEtherTypeText(int n) const {
    return etherTypeText(fields(n));
}

std::string PacketBuffer::getSrcIPText(int n) const {
    return addressText(fields(n), fields(n).ipSrc);
}
std::string PacketBuffer::getDstIPText(int n) const {
    return addressText(fields(n), fields(n).ipDst);
}

}  // namespace pelsid
