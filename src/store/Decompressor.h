#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace pelsid {

/// Undoes gzip, zstd or lz4 (frame format) compression as a stream, a piece
/// at a time, in the library's own bounded memory. Concatenated members or
/// frames are read one after another.
class Decompressor {
  public:
    /// The decompressor for data whose first bytes carry a known magic, or
    /// null (not compressed, or too few bytes to tell).
    static std::unique_ptr<Decompressor> forMagic(std::span<const std::uint8_t> first);
    virtual ~Decompressor() = default;

    /// Decompresses from the front of `in` (which it shortens by what it
    /// took) into `out`; returns the bytes written. 0 with `in` left whole
    /// means more input is needed.
    virtual std::size_t run(std::span<const std::uint8_t>& in, std::uint8_t* out,
                            std::size_t room) = 0;
    /// True when the data seen so far ends at the end of a member or frame.
    virtual bool atEnd() const = 0;
    /// Empty while the data is sound; else what is wrong with it.
    const std::string& error() const { return error_; }
    /// "gzip", "zstd" or "lz4".
    virtual const char* name() const = 0;

  protected:
    std::string error_;
};

}  // namespace pelsid
