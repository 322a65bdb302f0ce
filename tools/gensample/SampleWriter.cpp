#include "SampleWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace gensample {

namespace {
void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
void put16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

bool writeFile(const std::string& path, const Bytes& bytes, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int writeErrno = errno;
    if (std::fclose(f) != 0 || !ok) {
        error = path + ": " + std::strerror(ok ? errno : writeErrno);
        return false;
    }
    return true;
}
}  // namespace

bool writeDataset(const std::string& path, const std::vector<Frame>& frames, std::string& error) {
    static constexpr char kMagic[] = "<PELSID>";
    static constexpr char kDelimiter[] = "<PELSID[CR][LF]>";
    Bytes out(kMagic, kMagic + 8);
    for (const Frame& f : frames) {
        out.insert(out.end(), f.bytes.begin(), f.bytes.end());
        out.insert(out.end(), kDelimiter, kDelimiter + 16);
    }
    return writeFile(path, out, error);
}

bool writePcap(const std::string& path, const std::vector<Frame>& frames, std::string& error) {
    Bytes out;
    put32(out, 0xA1B2C3D4);
    put16(out, 2);
    put16(out, 4);
    put32(out, 0);
    put32(out, 0);
    put32(out, 65535);
    put32(out, 1);  // Ethernet
    for (const Frame& f : frames) {
        put32(out, std::uint32_t(f.timeNs / 1000000000ull));
        put32(out, std::uint32_t(f.timeNs / 1000ull % 1000000ull));
        put32(out, std::uint32_t(f.bytes.size()));
        put32(out, std::uint32_t(f.bytes.size()));
        out.insert(out.end(), f.bytes.begin(), f.bytes.end());
    }
    return writeFile(path, out, error);
}

}  // namespace gensample
