// The decompression stage of every reader: bytes after one of the gzip, zstd
// and lz4 magics (the first input byte picks which) are read as a capture in
// two piece sizes, which must agree; and any bytes, compressed by the
// library and read back, must read as the plain bytes do.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "store/CaptureFile.h"
#include "support/Compress.h"

using namespace pelsid;

namespace {
bool same(const CaptureFile& a, const CaptureFile& b) {
    if (a.format() != b.format() || a.recordCount() != b.recordCount() ||
        a.problems().size() != b.problems().size())
        return false;
    for (int i = 0; i < a.recordCount(); ++i)
        if (!std::ranges::equal(a.record(i), b.record(i))) return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const std::vector<std::uint8_t> kMagics[] = {
        {0x1F, 0x8B}, {0x28, 0xB5, 0x2F, 0xFD}, {0x04, 0x22, 0x4D, 0x18}};
    const auto codec = pelsid::test::Codec(data[0] % 3);
    const std::vector<std::uint8_t> rest(data + 1, data + size);

    std::vector<std::uint8_t> stream = kMagics[data[0] % 3];
    stream.insert(stream.end(), rest.begin(), rest.end());
    ReadOptions tiny;
    tiny.pieceSize = 1 + size % 13;
    const CaptureFile whole = readCaptureBytes(stream, "fuzz");
    if (!whole.isLoadable() && whole.problems().empty()) std::abort();
    if (!same(whole, readCaptureBytes(stream, "fuzz", tiny))) std::abort();

    const CaptureFile plain = readCaptureBytes(rest, "fuzz");
    const CaptureFile packed =
        readCaptureBytes(pelsid::test::compressed(codec, rest), "fuzz", tiny);
    // Bytes that themselves start with a magic are decompressed twice over.
    if (!std::ranges::any_of(kMagics,
                             [&](const auto& m) {
                                 return rest.size() >= m.size() &&
                                        std::equal(m.begin(), m.end(), rest.begin());
                             }) &&
        !same(plain, packed))
        std::abort();
    return 0;
}
