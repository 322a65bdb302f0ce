#include "store/PacketBuffer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "store/Dialogs.h"
#include "store/Messages.h"

namespace pelsid {

PacketBuffer::PacketBuffer()
    // calloc: the system hands out zeroed pages as they are first touched, so
    // a buffer holding few packets costs little memory and start-up time.
    : bytes_(static_cast<std::uint8_t*>(std::calloc(std::size_t(kSlots) * kSlotBytes, 1))),
      lastIndex_(new int[kSlots]()),
      fields_(new PacketFields[kSlots]()) {
    if (!bytes_) throw std::bad_alloc();
}

PacketBuffer::~PacketBuffer() = default;

void PacketBuffer::FreeBytes::operator()(std::uint8_t* p) const {
    std::free(p);
}

void PacketBuffer::setListener(Listener listener) {
    listener_ = std::move(listener);
}

void PacketBuffer::notify() const {
    if (listener_) listener_(*this);
}

void PacketBuffer::initBuffer() {
    // Slots are zero beyond their packet, and slots never written are zero
    // throughout: clearing what the stored packets cover zeroes everything.
    const int used = std::min(packetCount_, kSlots);
    for (int s = 0; s < used; ++s) {
        std::memset(bytes_.get() + std::size_t(s) * kSlotBytes, 0, std::size_t(lastIndex_[s] + 1));
        lastIndex_[s] = 0;
        fields_[s] = PacketFields{};
    }
    currentSlot_ = 0;
    packetCount_ = 0;
    ++generation_;
    notify();
}

bool PacketBuffer::clearBuffer(std::string_view mode, Dialogs& dialogs) {
    if (mode == "startup") {
        initBuffer();
        return false;
    }
    if ((mode == "file" || mode == "capture") && packetCount_ > 0) {
        if (dialogs.question(msg::kVerifyBufferDeleteTitle, msg::kVerifyBufferDelete)) {
            initBuffer();
            return true;
        }
    }
    return false;
}

int PacketBuffer::insertPacket(const std::uint8_t* packet, int lastIndex) {
    lastIndex = std::clamp(lastIndex, -1, kSlotBytes - 1);
    ++packetCount_;
    currentSlot_ = currentSlot_ >= kSlots ? 1 : currentSlot_ + 1;
    const int s = currentSlot_ - 1;
    std::uint8_t* dst = bytes_.get() + std::size_t(s) * kSlotBytes;
    const int len = lastIndex + 1;
    // Slots are far apart in memory: ask for the next one's first lines now.
    const std::uint8_t* next = bytes_.get() + std::size_t(currentSlot_ % kSlots) * kSlotBytes;
    for (int line = 0; line < 512; line += 64) __builtin_prefetch(next + line, 1);
    if (len > 0) std::memcpy(dst, packet, std::size_t(len));
    // Nothing of the overwritten packet may show through. A slot is zero
    // beyond its packet's end, so only the old packet's longer tail needs clearing.
    const int oldLen = lastIndex_[s] + 1;
    if (oldLen > len) std::memset(dst + len, 0, std::size_t(oldLen - len));
    lastIndex_[s] = lastIndex;
    fields_[s] = decodeHeaders(dst, len);
    notify();
    return currentSlot_;
}

int PacketBuffer::slotOfPacket(int packetNumber) {
    if (packetNumber < 1) return 1;
    return (packetNumber - 1) % kSlots + 1;
}

int PacketBuffer::getLastByteIndex(int packetNumber) const {
    return lastIndex_[slotIndex(packetNumber)];
}

int PacketBuffer::getPacketByte(int packetNumber, int index) const {
    if (index < 0 || index >= kSlotBytes) return 0;
    return packetData(packetNumber)[index];
}

const std::uint8_t* PacketBuffer::packetData(int packetNumber) const {
    return bytes_.get() + std::size_t(slotIndex(packetNumber)) * kSlotBytes;
}

const PacketFields& PacketBuffer::fields(int packetNumber) const {
    return fields_[slotIndex(packetNumber)];
}

std::string PacketBuffer::getEtherTypeText(int n) const {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", unsigned(getEtherType(n)));
    return text;
}

std::string dottedQuad(const std::uint8_t o[4]) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", o[0], o[1], o[2], o[3]);
    return text;
}

std::string PacketBuffer::getSrcIPText(int n) const {
    return dottedQuad(fields(n).ipSrc);
}
std::string PacketBuffer::getDstIPText(int n) const {
    return dottedQuad(fields(n).ipDst);
}

}  // namespace pelsid
