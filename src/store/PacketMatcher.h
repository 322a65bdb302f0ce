#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct bpf_program;

namespace pelsid {

/// A filter expression in libpcap's language, compiled once for Ethernet
/// frames and then tested against stored frames: the display filter, colour
/// rules and load filters all ask it. Compile on one thread at a time (libpcap's
/// compiler is not reentrant); `matches` may run on any thread.
class PacketMatcher {
  public:
    ~PacketMatcher();
    PacketMatcher(const PacketMatcher&) = delete;
    PacketMatcher& operator=(const PacketMatcher&) = delete;

    /// The compiled expression, or null with libpcap's message in `error`.
    /// An empty expression compiles to one that matches every frame.
    static std::shared_ptr<const PacketMatcher> compile(const std::string& expression,
                                                        std::string* error);

    const std::string& expression() const { return expression_; }

    /// Whether the frame (Ethernet, as stored) matches. A frame too short for
    /// a field the expression reads does not match: libpcap checks every read.
    /// `wireLength`, the frame's length on the wire, is what `len` and
    /// `greater` compare; 0 means the frame was stored whole.
    bool matches(std::span<const std::uint8_t> frame, std::uint32_t wireLength = 0) const;

  private:
    PacketMatcher() = default;
    std::string expression_;
    std::unique_ptr<bpf_program> program_;
};

}  // namespace pelsid
