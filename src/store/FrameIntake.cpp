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
           " skipped; pelsid shows Ethernet, Linux cooked and raw IP frames.";
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
    if (!isShowableLink(linkType)) {
        ++unshowable_[linkType];
        return true;
    }
    EthernetFrame frame;
    if (!converter_.convert(linkType, data, held, caplen, PacketBuffer::kSlotBytes, frame)) {
        ++set_.skippedCount;
        return true;
    }
    // The wire length as Ethernet: a converted link header changes it by as much as the frame.
    const std::uint64_t onWire = std::max(wireLength, caplen);
    const std::uint32_t wire =
        std::uint32_t(std::min<std::uint64_t>(onWire - caplen + frame.fullLength, 0xFFFFFFFF));
    if (filter_ && !filter_->matches(frame.bytes, wire)) return true;
    if (stored_ == PacketBuffer::kSlots && !options_.keepAll) {
        set_.exceeded = true;
        set_.problems.push_back(exceededProblem());
        return false;
    }
    if (frame.fullLength > std::uint64_t(PacketBuffer::kSlotBytes)) ++set_.cutCount;
    sink_(frame.bytes, fileOffset, fileEnd, wire, time);
    if (stored_ < PacketBuffer::kSlots) ++stored_;  // a stream kept whole counts no further
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
