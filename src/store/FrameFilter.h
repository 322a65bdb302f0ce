#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace pelsid {

/// A libpcap filter expression compiled for Ethernet frames, applied to frames
/// as they are stored (after any link-layer conversion).
class FrameFilter {
  public:
    /// Compiles `expression`; null with libpcap's message in `error` when it
    /// cannot be compiled.
    static std::unique_ptr<FrameFilter> compile(const std::string& expression, std::string& error);
    ~FrameFilter();

    /// True when the frame matches; `wireLength` is its length on the wire.
    bool matches(std::span<const std::uint8_t> frame, std::uint32_t wireLength) const;

  private:
    FrameFilter();
    struct Program;
    std::unique_ptr<Program> program_;
};

}  // namespace pelsid
