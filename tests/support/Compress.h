#pragma once
// Bytes compressed as gzip, zstd and lz4 files hold them, for the readers'
// tests and the decompression fuzz seeds.
#include <lz4frame.h>
#include <zlib.h>
#include <zstd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pelsid::test {

enum class Codec { Gzip, Zstd, Lz4 };

inline std::string codecName(Codec c) {
    return c == Codec::Gzip ? "gzip" : c == Codec::Zstd ? "zstd" : "lz4";
}

inline std::vector<std::uint8_t> compressed(Codec codec, const std::vector<std::uint8_t>& in) {
    std::vector<std::uint8_t> out;
    switch (codec) {
        case Codec::Gzip: {
            z_stream z{};
            deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
            out.resize(deflateBound(&z, uLong(in.size())) + 32);
            z.next_in = const_cast<Bytef*>(in.data());
            z.avail_in = uInt(in.size());
            z.next_out = out.data();
            z.avail_out = uInt(out.size());
            deflate(&z, Z_FINISH);
            out.resize(z.total_out);
            deflateEnd(&z);
            break;
        }
        case Codec::Zstd:
            out.resize(ZSTD_compressBound(in.size()));
            out.resize(ZSTD_compress(out.data(), out.size(), in.data(), in.size(), 3));
            break;
        case Codec::Lz4:
            out.resize(LZ4F_compressFrameBound(in.size(), nullptr));
            out.resize(LZ4F_compressFrame(out.data(), out.size(), in.data(), in.size(), nullptr));
            break;
    }
    return out;
}

}  // namespace pelsid::test
