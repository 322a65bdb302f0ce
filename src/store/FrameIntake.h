#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>

#include "store/LinkLayer.h"
#include "store/ReadOptions.h"
#include "store/RecordSet.h"

namespace pelsid {

class PacketMatcher;

/// Where every reader hands the frames of a file, in file order. Decides
/// which are kept: from the chosen first frame on, of a showable link type,
/// carrying IPv4, IPv6, ARP or Ethernet with bytes beyond the link header,
/// matching the filter, up to the buffer's
/// limit; converts them to Ethernet, cuts them to a slot and counts what it
/// skipped or cut for the messages.
class FrameIntake {
  public:
    /// A kept frame, its file offset, how far the file had been read when it
    /// was complete, its length on the wire (as Ethernet), its capture time
    /// the link type it was captured on and its number in the file (from 1).
    using Sink = std::function<void(std::span<const std::uint8_t> frame, std::uint64_t fileOffset,
                                    std::uint64_t fileEnd, std::uint32_t wireLength,
                                    const CaptureTime& time, std::uint32_t linkType,
                                    std::uint64_t frameNumber)>;
    /// The most bytes of a frame the intake looks at: a slot behind the longest link header.
    static constexpr std::size_t kLooksAt = 1601 + LinkConverter::kMaxLinkHeader;

    FrameIntake(const ReadOptions& options, RecordSet& set, Sink sink, const PacketMatcher* filter);

    /// One frame: `data` holds its first `held` bytes (at least
    /// min(caplen, kLooksAt)) of `caplen` captured. False when the read is to
    /// stop: the buffer's limit was passed (the exceeded message is given).
    bool offer(std::uint32_t linkType, const std::uint8_t* data, std::size_t held,
               std::uint64_t caplen, std::uint64_t wireLength, std::uint64_t fileOffset,
               std::uint64_t fileEnd, const CaptureTime& time = {});

    /// False when the next frame's bytes will not be looked at (counting, or
    /// before the chosen first frame), so a reader can pass over them.
    bool wantsBytes() const { return !options_.countOnly && frames_ + 1 >= options_.choice.from; }
    /// Frames of the file so far, kept or not.
    std::uint64_t frames() const { return frames_; }
    int stored() const { return stored_; }
    /// Adds the messages for what was cut or skipped, naming `fileName`.
    void finish(const std::string& fileName);

  private:
    const ReadOptions& options_;
    RecordSet& set_;
    Sink sink_;
    const PacketMatcher* filter_;
    LinkConverter converter_;
    std::uint64_t frames_ = 0;
    int stored_ = 0;
    std::uint64_t firstStored_ = 0, lastStored_ = 0;  // frame numbers
    std::map<std::uint32_t, std::uint64_t> unshowable_;  // frames by link type
};

}  // namespace pelsid
