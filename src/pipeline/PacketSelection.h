#pragma once
#include <QObject>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "pipeline/PacketView.h"
#include "store/PacketBuffer.h"
#include "store/PacketFields.h"

namespace pelsid {

/// A held packet looked up by its number, as it would be played now, with
/// its one-line summary. `packet` points into the copy here.
struct HeldPacket {
    std::array<std::uint8_t, PacketBuffer::kSlotBytes> bytes{};  // zero beyond the packet
    PacketFields fields;
    PlayedPacket packet;
    std::string summary;

    HeldPacket() = default;
    HeldPacket(const HeldPacket&) = delete;
    HeldPacket& operator=(const HeldPacket&) = delete;
};

/// The packet the user picked in a picture, shared by every view window:
/// whoever selects tells all of them, and each marks it in its own way.
/// Also looks packets up for the windows, which never read the buffer.
class PacketSelection : public QObject {
    Q_OBJECT
  public:
    using LookUp = std::function<std::unique_ptr<HeldPacket>(int packetNumber)>;
    explicit PacketSelection(LookUp lookUp, QObject* parent = nullptr)
        : QObject(parent), lookUp_(std::move(lookUp)) {}

    /// The packet, null when 0 or no longer held.
    std::unique_ptr<HeldPacket> lookUp(int packetNumber) const {
        return packetNumber > 0 && lookUp_ ? lookUp_(packetNumber) : nullptr;
    }
    /// The selected packet's number, 0 for none.
    int selected() const { return selected_; }
    /// Selects a packet (0: none); tells everyone when it changes.
    void select(int packetNumber) {
        if (packetNumber == selected_) return;
        selected_ = packetNumber;
        emit changed(packetNumber);
    }
    void clear() { select(0); }

  signals:
    void changed(int packetNumber);

  private:
    LookUp lookUp_;
    int selected_ = 0;
};

}  // namespace pelsid
