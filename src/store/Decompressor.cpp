#include "store/Decompressor.h"

#include <lz4frame.h>
#include <zlib.h>
#include <zstd.h>

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

class Zstd final : public Decompressor {
  public:
    Zstd() : stream_(ZSTD_createDStream()) {
        if (!stream_) error_ = "out of memory for zstd";
        // Windows above 128 MiB are refused: a hostile frame must not make us allocate more.
        else
            ZSTD_DCtx_setParameter(stream_, ZSTD_d_windowLogMax, 27);
    }
    ~Zstd() override { ZSTD_freeDStream(stream_); }
    const char* name() const override { return "zstd"; }
    bool atEnd() const override { return frameEnded_; }

    std::size_t run(std::span<const std::uint8_t>& in, std::uint8_t* out,
                    std::size_t room) override {
        if (!error_.empty()) return 0;
        ZSTD_inBuffer source{in.data(), in.size(), 0};
        ZSTD_outBuffer target{out, room, 0};
        const std::size_t hint = ZSTD_decompressStream(stream_, &target, &source);
        in = in.subspan(source.pos);
        if (ZSTD_isError(hint))
            error_ = std::string("the zstd data is corrupt (") + ZSTD_getErrorName(hint) + ")";
        else if (source.pos > 0 || target.pos > 0)  // an idle call hints at the next frame
            frameEnded_ = hint == 0;
        return target.pos;
    }

  private:
    ZSTD_DStream* stream_;
    bool frameEnded_ = true;
};

class Lz4 final : public Decompressor {
  public:
    Lz4() {
        if (LZ4F_isError(LZ4F_createDecompressionContext(&context_, LZ4F_VERSION)))
            error_ = "out of memory for lz4";
    }
    ~Lz4() override { LZ4F_freeDecompressionContext(context_); }
    const char* name() const override { return "lz4"; }
    bool atEnd() const override { return frameEnded_; }

    std::size_t run(std::span<const std::uint8_t>& in, std::uint8_t* out,
                    std::size_t room) override {
        if (!error_.empty()) return 0;
        std::size_t written = room, taken = in.size();
        const std::size_t hint =
            LZ4F_decompress(context_, out, &written, in.data(), &taken, nullptr);
        in = in.subspan(taken);
        if (LZ4F_isError(hint))
            error_ = std::string("the lz4 data is corrupt (") + LZ4F_getErrorName(hint) + ")";
        else if (taken > 0 || written > 0)  // an idle call hints at the next frame
            frameEnded_ = hint == 0;
        return written;
    }

  private:
    LZ4F_dctx* context_ = nullptr;
    bool frameEnded_ = true;
};

}  // namespace

std::unique_ptr<Decompressor> Decompressor::forMagic(std::span<const std::uint8_t> first) {
    if (starts(first, {0x1F, 0x8B})) return std::make_unique<Gzip>();
    if (starts(first, {0x28, 0xB5, 0x2F, 0xFD})) return std::make_unique<Zstd>();
    if (starts(first, {0x04, 0x22, 0x4D, 0x18})) return std::make_unique<Lz4>();
    return nullptr;
}

}  // namespace pelsid
