#include "store/FrameIntake.h"

#include <algorithm>

#include "store/LoadMessages.h"
#include "store/PacketBuffer.h"
#include "store/PacketMatcher.h"

namespace pelsid {

namespace {
std::string skippedText(int n) {
    return std::to_string(n) + (n == 1 ? " frame was" : " frames were") +
           " skipped: no bytes captured beyond the link-layer header.";
}

std::string unshowableText(std::uint32_t linkType, std::uint64_t n) {
    return std::to_string(n) + (n == 1 ? " frame" : " frames") + " of link type " +
           linkTypeName(linkType) + (n == 1 ? " was" : " were") +
           " skipped; pelsid shows frames that carry IPv4, IPv6, ARP or Ethernet.";
}
}  // namespace

FrameIntake::FrameIntake(const ReadOptions& options, RecordSet& set, Sink sink,
                         const PacketMatcher* filter)
    : options_(options), set_(set), sink_(std::move(sink)), filter_(filter) {}

bool FrameIntake::offer(std::uint32_t linkType, const std::uint8_t* data, std::size_t held,
                        std::uint64_t caplen, std::uint64_t wireLength, std::uint64_t fileOffset,
                        std::uint64_t fileEnd, const CaptureTime& time) {
    ++frames_;
    if (options_.progress) options_.progress->frames.store(frames_, std::memory_order_relaxed);
    if (options_.countOnly || frames_ < options_.choice.from) return true;
    if (options_.choice.to != 0 && frames_ > options_.choice.to) {
        set_.ended = true;  // the chosen frames are over: the rest of the file is not read
        return false;
    }
    if (!isShowableLink(linkType)) {
        ++unshowable_[linkType];
        return true;
    }
    EthernetFrame frame;
    switch (converter_.convert(linkType, data, held, caplen, PacketBuffer::kSlotBytes, frame)) {
        case Conversion::Converted:
            break;
        case Conversion::Empty:
            ++set_.skippedCount;
            return true;
        case Conversion::NotCarried:
            ++unshowable_[linkType];
            return true;
    }
    // The wire length as Ethernet: a converted link header changes it by as much as the frame.
    const std::uint64_t onWire = std::max(wireLength, caplen);
    const std::uint32_t wire =
        std::uint32_t(std::min<std::uint64_t>(onWire - caplen + frame.fullLength, 0xFFFFFFFF));
    if (filter_ && !filter_->matches(frame.bytes, wire)) return true;
    if (stored_ == PacketBuffer::kSlots && !options_.keepAll) {
        set_.exceeded = true;
        set_.problems.push_back(exceededProblem(firstStored_, lastStored_));
        return false;
    }
    if (frame.fullLength > std::uint64_t(PacketBuffer::kSlotBytes)) ++set_.cutCount;
    if (options_.keepAll) {
        sink_(frame.bytes, fileOffset, fileEnd, wire, time, linkType, frames_);
        if (stored_ < PacketBuffer::kSlots) ++stored_;  // a stream kept whole counts no further
        return true;
    }
    if (stored_ == 0) firstStored_ = frames_;
    lastStored_ = frames_;
    sink_(frame.bytes, fileOffset, fileEnd, wire, time, linkType, frames_);
    ++stored_;
    if (options_.progress) options_.progress->stored.store(stored_, std::memory_order_relaxed);
    return true;
}

void FrameIntake::finish(const std::string& fileName) {
    if (set_.cutCount > 0) set_.problems.push_back(cutProblem(set_.cutCount));
    if (set_.skippedCount > 0)
        set_.problems.push_back(fileWarning(fileName, skippedText(set_.skippedCount)));
    for (const auto& [linkType, n] : unshowable_)
        set_.problems.push_back(fileWarning(fileName, unshowableText(linkType, n)));
}

}  // namespace pelsid
