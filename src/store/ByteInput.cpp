#include "store/ByteInput.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pelsid {

namespace {
// How long a stream read waits before it looks at the cancel flag again.
constexpr int kWaitStepMs = 50;
}  // namespace

ByteInput::ByteInput(const std::string& path, std::size_t pieceSize,
                     const std::atomic<bool>* cancel)
    : pieceSize_(std::max<std::size_t>(pieceSize, 1)), cancel_(cancel) {
    // Non-blocking, so that opening a FIFO nobody writes to does not hang;
    // reads wait in poll() instead.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error_ = std::strerror(errno);
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        error_ = std::strerror(EISDIR);
        return;
    }
    stream_ = !S_ISREG(st.st_mode);
    size_ = stream_ ? 0 : std::uint64_t(st.st_size);
    // A small file needs no full piece (its size is a hint: it may still grow).
    if (!stream_)
        pieceSize_ = std::size_t(
            std::min<std::uint64_t>(pieceSize_, std::max<std::uint64_t>(size_, kMaxWindow)));
    buffer_.resize(pieceSize_ + kMaxWindow);
}

ByteInput::ByteInput(std::span<const std::uint8_t> bytes, std::size_t pieceSize)
    : memory_(bytes),
      size_(bytes.size()),
      pieceSize_(std::clamp<std::size_t>(bytes.size(), 1, std::max<std::size_t>(pieceSize, 1))) {
    buffer_.resize(pieceSize_ + kMaxWindow);
}

ByteInput::~ByteInput() {
    if (fd_ >= 0) ::close(fd_);
}

std::string ByteInput::compression() const {
    return decompressor_ ? decompressor_->name() : "";
}

void ByteInput::sniff() {
    sniffed_ = true;
    constexpr std::size_t kMagic = 4;
    raw_.resize(std::max(pieceSize_, kMagic));
    while (rawEnd_ < kMagic) {
        const std::size_t got = readRaw(raw_.data() + rawEnd_, raw_.size() - rawEnd_);
        if (got == 0) break;
        rawEnd_ += got;
    }
    decompressor_ = Decompressor::forMagic({raw_.data(), rawEnd_});
}

std::size_t ByteInput::readSome(std::uint8_t* to, std::size_t room) {
    if (!error_.empty() || room == 0) return 0;
    if (!sniffed_) sniff();
    if (!decompressor_) {
        // The bytes read to tell the format first, then straight from the source.
        if (rawBegin_ == rawEnd_) return readRaw(to, room);
        const std::size_t n = std::min(room, rawEnd_ - rawBegin_);
        std::memcpy(to, raw_.data() + rawBegin_, n);
        rawBegin_ += n;
        return n;
    }
    // A decompressor may take a few calls over input it holds, but never many
    // that neither take input nor give output.
    int idle = 0;
    while (error_.empty() && !cancelled()) {
        std::span<const std::uint8_t> in(raw_.data() + rawBegin_, rawEnd_ - rawBegin_);
        const std::size_t before = in.size();
        const std::size_t n = decompressor_->run(in, to, room);
        rawBegin_ = rawEnd_ - in.size();
        // Bytes decoded before the damage are given first; the error comes
        // with the next read, so it is met at the same byte for any piece size.
        if (n > 0) return n;
        if (!decompressor_->error().empty()) {
            error_ = decompressor_->error();
            return 0;
        }
        if (!in.empty()) {
            idle = in.size() == before ? idle + 1 : 0;
            if (idle > 4)
                error_ = std::string("the ") + decompressor_->name() +
                         " data is corrupt (it makes no progress)";
            continue;
        }
        rawBegin_ = rawEnd_ = 0;
        rawEnd_ = readRaw(raw_.data(), raw_.size());
        if (rawEnd_ == 0) {
            if (error_.empty() && !cancelled() && !decompressor_->atEnd())
                error_ = std::string("the ") + decompressor_->name() + " data is cut short";
            return 0;
        }
    }
    return 0;
}

std::size_t ByteInput::readRaw(std::uint8_t* to, std::size_t room) {
    if (ended_ || !error_.empty() || room == 0) return 0;
    if (fd_ < 0) {
        const std::size_t n = std::min(room, memory_.size() - memoryAt_);
        if (n > 0) std::memcpy(to, memory_.data() + memoryAt_, n);
        memoryAt_ += n;
        if (n == 0) ended_ = true;
        bytesRead_ += n;
        if (counter_) counter_->store(bytesRead_, std::memory_order_relaxed);
        return n;
    }
    while (true) {
        if (cancelled()) return 0;
        // A stream is read only once poll() says so: a FIFO whose writer has
        // not come yet reads as ended, but does not poll as ready.
        if (stream_) {
            pollfd p{fd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, kWaitStepMs);
            if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
        }
        const ssize_t n = ::read(fd_, to, room);
        if (n > 0) {
            bytesRead_ += std::size_t(n);
            if (counter_) counter_->store(bytesRead_, std::memory_order_relaxed);
            return std::size_t(n);
        }
        if (n == 0) {
            ended_ = true;
            return 0;
        }
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
        error_ = std::strerror(errno);
        return 0;
    }
}

void ByteInput::compact() {
    if (begin_ == 0) return;
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
}

bool ByteInput::ensure(std::size_t n) {
    n = std::min(n, kMaxWindow);
    while (available() < n) {
        if (buffer_.size() - begin_ < n) compact();
        const std::size_t room = std::min(pieceSize_, buffer_.size() - end_);
        const std::size_t got = readSome(buffer_.data() + end_, room);
        if (got == 0) return false;
        end_ += got;
    }
    return true;
}

bool ByteInput::skip(std::uint64_t n) {
    const std::size_t here = std::size_t(std::min<std::uint64_t>(n, available()));
    consume(here);
    n -= here;
    if (n == 0) return true;
    begin_ = end_ = 0;
    // A long stretch of a regular file is passed over without reading it.
    if (fd_ >= 0 && !stream_ && sniffed_ && !decompressor_ && rawBegin_ == rawEnd_ &&
        n > pieceSize_ && error_.empty() && !ended_) {
        struct stat st {};
        const off_t at = ::lseek(fd_, 0, SEEK_CUR);
        if (at >= 0 && ::fstat(fd_, &st) == 0) {
            const std::uint64_t left =
                std::uint64_t(st.st_size) > std::uint64_t(at) ? st.st_size - at : 0;
            const std::uint64_t step = std::min(n, left);
            if (::lseek(fd_, off_t(step), SEEK_CUR) >= 0) {
                position_ += step;
                bytesRead_ += step;
                n -= step;
                if (n > 0) ended_ = true;
            }
        }
    }
    while (n > 0) {
        const std::size_t got =
            readSome(buffer_.data(), std::size_t(std::min<std::uint64_t>(n, pieceSize_)));
        if (got == 0) return false;
        position_ += got;
        n -= got;
    }
    return true;
}

std::span<const std::uint8_t> ByteInput::nextPiece() {
    if (available() == 0) {
        begin_ = end_ = 0;
        end_ = readSome(buffer_.data(), pieceSize_);
    }
    const std::span<const std::uint8_t> piece(data(), available());
    consume(available());
    return piece;
}

}  // namespace pelsid
