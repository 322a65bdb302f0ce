#include "store/Decompressor.h"

#include <lz4frame.h>
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace pelsid {

namespace {

bool starts(std::span<const std::uint8_t> b, std::initializer_list<std::uint8_t> magic) {
    if (b.size() < magic.size()) return false;
    std::size_t k = 0;
    for (std::uint8_t m : magic)
        if (b[k++] != m) return false;
    return true;
}

class Gzip final : public Decompressor {
  public:
    Gzip() {
        // 16 + window bits: a gzip header and trailer, checked.
        if (inflateInit2(&z_, 16 + MAX_WBITS) != Z_OK) error_ = "out of memory for gzip";
    }
    ~Gzip() override { inflateEnd(&z_); }
    const char* name() const override { return "gzip"; }
    bool atEnd() const override { return memberEnded_; }

    std::size_t run(std::span<const std::uint8_t>& in, std::uint8_t* out,
                    std::size_t room) override {
        if (!error_.empty()) return 0;
        if (trailing_) {
            in = {};  // what follows the last member is not gzip data: ignored, as gzip does
            return 0;
        }
        if (memberEnded_ && !in.empty()) {
            if (in[0] != 0x1F) {
                trailing_ = true;
                in = {};
                return 0;
            }
            inflateReset(&z_);
            memberEnded_ = false;
        }
        z_.next_in = const_cast<Bytef*>(in.data());
        z_.avail_in = uInt(std::min<std::size_t>(in.size(), 1u << 30));
        z_.next_out = out;
        z_.avail_out = uInt(std::min<std::size_t>(room, 1u << 30));
        const int status = inflate(&z_, Z_NO_FLUSH);
        const std::size_t written = std::size_t(z_.next_out - out);
        in = in.subspan(std::size_t(z_.next_in - in.data()));
        if (status == Z_STREAM_END)
            memberEnded_ = true;
        else if (status != Z_OK && status != Z_BUF_ERROR)
            error_ =
                std::string("the gzip data is corrupt (") + (z_.msg ? z_.msg : "bad data") + ")";
        return written;
    }

  private:
    z_stream z_{};
    bool memberEnded_ = false;
    bool trailing_ = false;
};

// zstd and lz4 tell damage apart at different bytes when their input comes
// in different pieces, and lose the output of a call that ends in an error.
// So their input is gathered to exactly what the library asks for next (a
// header, a block, a checksum) and their output goes to a stage of one size;
// output decoded earlier is handed out first, in calls of its own. An error
// then costs only the broken block, the same for any piece size.
class Staged : public Decompressor {
  public:
    std::size_t run(std::span<const std::uint8_t>& in, std::uint8_t* out,
                    std::size_t room) override {
        if (begin_ == end_) {
            begin_ = end_ = 0;
            const std::size_t want = wanted();
            if (pendingAt_ == 0 && pending_.size() < want) {
                const std::size_t take = std::min(in.size(), want - pending_.size());
                pending_.insert(pending_.end(), in.begin(), in.begin() + std::ptrdiff_t(take));
                in = in.subspan(take);
            }
            std::span<const std::uint8_t> feed(pending_.data() + pendingAt_,
                                               pending_.size() - pendingAt_);
            if (pendingAt_ == 0 && pending_.size() < want) feed = {};  // only what is decoded
            const std::size_t before = feed.size();
            end_ = decode(feed, stage_.data(), stage_.size());
            pendingAt_ += before - feed.size();
            if (pendingAt_ == pending_.size()) {
                pending_.clear();
                pendingAt_ = 0;
            }
        }
        const std::size_t n = std::min(room, end_ - begin_);
        std::memcpy(out, stage_.data() + begin_, n);
        begin_ += n;
        return n;
    }

  protected:
    bool nothingPending() const { return pending_.empty(); }
    // The input the library asks for next.
    virtual std::size_t wanted() const = 0;
    virtual std::size_t decode(std::span<const std::uint8_t>& in, std::uint8_t* out,
                               std::size_t room) = 0;

  private:
    std::vector<std::uint8_t> stage_ = std::vector<std::uint8_t>(std::size_t(1) << 17);
    std::size_t begin_ = 0, end_ = 0;
    std::vector<std::uint8_t> pending_;
    std::size_t pendingAt_ = 0;
};

class Zstd final : public Staged {
    static constexpr std::size_t kFrameStart = 5;  // bytes that tell a frame header's size

  public:
    Zstd() : stream_(ZSTD_createDStream()) {
        if (!stream_) error_ = "out of memory for zstd";
        // Windows above 128 MiB are refused: a hostile frame must not make us allocate more.
        else
            ZSTD_DCtx_setParameter(stream_, ZSTD_d_windowLogMax, 27);
    }
    ~Zstd() override { ZSTD_freeDStream(stream_); }
    const char* name() const override { return "zstd"; }
    bool atEnd() const override { return frameEnded_ && nothingPending(); }

  protected:
    std::size_t wanted() const override { return hint_; }
    std::size_t decode(std::span<const std::uint8_t>& in, std::uint8_t* out,
                       std::size_t room) override {
        if (!error_.empty()) return 0;
        ZSTD_outBuffer target{out, room, 0};
        static const std::uint8_t kNothing = 0;
        ZSTD_inBuffer none{&kNothing, 0, 0};
        // Only a call that filled the stage may have left output behind (and
        // zstd refuses many calls that do nothing).
        if (full_ && (step(target, none) || target.pos > 0)) return target.pos;
        if (in.empty()) return 0;
        ZSTD_inBuffer source{in.data(), in.size(), 0};
        step(target, source);
        in = in.subspan(source.pos);
        return target.pos;
    }

  private:
    // One call; true on an error.
    bool step(ZSTD_outBuffer& target, ZSTD_inBuffer& source) {
        const std::size_t hint = ZSTD_decompressStream(stream_, &target, &source);
        if (ZSTD_isError(hint)) {
            error_ = std::string("the zstd data is corrupt (") + ZSTD_getErrorName(hint) + ")";
            return true;
        }
        if (source.pos > 0 || target.pos > 0) frameEnded_ = hint == 0;  // an idle call only hints
        hint_ = hint == 0 ? kFrameStart : hint;
        full_ = target.pos == target.size;
        return false;
    }

    ZSTD_DStream* stream_;
    bool frameEnded_ = true;
    bool full_ = false;
    std::size_t hint_ = kFrameStart;
};

class Lz4 final : public Staged {
  public:
    Lz4() {
        if (LZ4F_isError(LZ4F_createDecompressionContext(&context_, LZ4F_VERSION)))
            error_ = "out of memory for lz4";
    }
    ~Lz4() override { LZ4F_freeDecompressionContext(context_); }
    const char* name() const override { return "lz4"; }
    bool atEnd() const override { return frameEnded_ && nothingPending(); }

  protected:
    std::size_t wanted() const override { return hint_; }
    std::size_t decode(std::span<const std::uint8_t>& in, std::uint8_t* out,
                       std::size_t room) override {
        if (!error_.empty()) return 0;
        static const std::uint8_t kNothing = 0;
        std::size_t written = full_ ? step(out, room, &kNothing, 0) : 0;
        if (written > 0 || !error_.empty()) return written;
        if (in.empty()) return 0;
        written = step(out, room, in.data(), in.size());
        in = in.subspan(taken_);
        return written;
    }

  private:
    // One call; the bytes written (none on an error, whose call reports no sizes).
    std::size_t step(std::uint8_t* out, std::size_t room, const std::uint8_t* from,
                     std::size_t size) {
        std::size_t written = room;
        taken_ = size;
        const std::size_t hint = LZ4F_decompress(context_, out, &written, from, &taken_, nullptr);
        if (LZ4F_isError(hint)) {
            error_ = std::string("the lz4 data is corrupt (") + LZ4F_getErrorName(hint) + ")";
            taken_ = 0;
            return 0;
        }
        if (taken_ > 0 || written > 0) frameEnded_ = hint == 0;  // an idle call only hints
        hint_ = hint == 0 ? 4 : hint;
        full_ = written == room;
        return written;
    }

    LZ4F_dctx* context_ = nullptr;
    bool frameEnded_ = true;
    bool full_ = false;
    std::size_t hint_ = 4;
    std::size_t taken_ = 0;
};

}  // namespace

std::unique_ptr<Decompressor> Decompressor::forMagic(std::span<const std::uint8_t> first) {
    if (starts(first, {0x1F, 0x8B})) return std::make_unique<Gzip>();
    if (starts(first, {0x28, 0xB5, 0x2F, 0xFD})) return std::make_unique<Zstd>();
    if (starts(first, {0x04, 0x22, 0x4D, 0x18})) return std::make_unique<Lz4>();
    return nullptr;
}

}  // namespace pelsid
