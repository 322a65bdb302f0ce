#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "store/Decompressor.h"

namespace pelsid {

/// A file, stream or bytes in memory read in bounded pieces. Readers look at a
/// small window of what has been read (`ensure`, `data`, `consume`) and pass
/// over what they do not keep (`skip`), so memory stays the same whatever the
/// input's size. A pipe, a FIFO or a device is read as a stream: its reads
/// wait in short steps so that a cancel request is seen at once. Input that
/// starts with the magic of gzip, zstd or lz4 is decompressed as it is read:
/// readers see the decompressed bytes, and a corrupt or cut compressed
/// stream is an error() like a failed read.
class ByteInput {
  public:
    static constexpr std::size_t kDefaultPieceSize = std::size_t(1) << 20;
    /// The most a reader may ask to look at in one go.
    static constexpr std::size_t kMaxWindow = 4096;

    /// Opens `path` for reading. On failure error() names the system's reason.
    ByteInput(const std::string& path, std::size_t pieceSize = kDefaultPieceSize,
              const std::atomic<bool>* cancel = nullptr);
    /// Reads `bytes` (which must outlive this) as if they were a file.
    explicit ByteInput(std::span<const std::uint8_t> bytes,
                       std::size_t pieceSize = kDefaultPieceSize);
    ~ByteInput();
    ByteInput(const ByteInput&) = delete;
    ByteInput& operator=(const ByteInput&) = delete;

    /// Empty while every read so far succeeded; else the system's reason.
    const std::string& error() const { return error_; }
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }
    /// True for a pipe, FIFO or device: no size is known.
    bool isStream() const { return stream_; }
    /// A regular file's size when opened; 0 for a stream.
    std::uint64_t size() const { return size_; }
    /// "gzip", "zstd" or "lz4" once the first read found the input
    /// compressed; empty otherwise.
    std::string compression() const;

    /// Makes at least `n` (≤ kMaxWindow) bytes available at data() unless the
    /// input ends (or fails) first; true when they are.
    bool ensure(std::size_t n);
    const std::uint8_t* data() const { return buffer_.data() + begin_; }
    std::size_t available() const { return end_ - begin_; }
    void consume(std::size_t n) {
        begin_ += n;
        position_ += n;
    }
    /// Passes over `n` bytes without keeping them; false when the input ends first.
    bool skip(std::uint64_t n);
    /// The next bytes of the input, at most a piece; empty at its end.
    /// Consumes them.
    std::span<const std::uint8_t> nextPiece();

    /// Offset of data() in the (decompressed) input.
    std::uint64_t position() const { return position_; }
    /// Bytes taken from the file, stream or memory so far (compressed ones
    /// for compressed input, so that they compare with size()).
    std::uint64_t bytesRead() const { return bytesRead_; }
    /// Where bytesRead() is also written as it grows, for a display on another thread.
    void reportTo(std::atomic<std::uint64_t>* counter) { counter_ = counter; }

  private:
    // Reads once into `to`, decompressing; bytes read, 0 at the end or on failure.
    std::size_t readSome(std::uint8_t* to, std::size_t room);
    // Reads once from the file, stream or memory as it is.
    std::size_t readRaw(std::uint8_t* to, std::size_t room);
    // Reads the first bytes and picks a decompressor by their magic.
    void sniff();
    void compact();

    int fd_ = -1;
    std::span<const std::uint8_t> memory_;
    std::size_t memoryAt_ = 0;
    bool stream_ = false;
    bool ended_ = false;
    std::uint64_t size_ = 0;
    std::size_t pieceSize_;
    const std::atomic<bool>* cancel_ = nullptr;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::uint64_t position_ = 0, bytesRead_ = 0;
    std::string error_;
    std::atomic<std::uint64_t>* counter_ = nullptr;
    // Raw bytes read ahead: the first ones (to tell compressed input) and,
    // for compressed input, those not yet decompressed.
    bool sniffed_ = false;
    std::unique_ptr<Decompressor> decompressor_;
    std::vector<std::uint8_t> raw_;
    std::size_t rawBegin_ = 0, rawEnd_ = 0;
};

}  // namespace pelsid
