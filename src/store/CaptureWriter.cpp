#include "store/CaptureWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace pelsid {

namespace {
constexpr std::uint32_t kPcapMicro = 0xA1B2C3D4, kPcapNano = 0xA1B23C4D;
constexpr std::uint32_t kLinkEthernet = 1;
constexpr std::uint32_t kSnapLen = 262144;
// pcapng block types.
constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A, kInterface = 1, kStatistics = 5,
                        kEnhancedPacket = 6;

void le32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
void le16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void le64(std::vector<std::uint8_t>& b, std::uint64_t v) {
    le32(b, std::uint32_t(v));
    le32(b, std::uint32_t(v >> 32));
}
}  // namespace

CaptureWriter::CaptureWriter(std::string path, Format format, bool nanoseconds, Placement placement)
    : path_(std::move(path)), format_(format), nano_(nanoseconds), placement_(placement) {}

CaptureWriter::~CaptureWriter() {
    abandon();
}

CaptureWriter::Format CaptureWriter::formatOf(const std::string& path) {
    static const std::string kSuffix = ".pcapng";
    const bool ng = path.size() >= kSuffix.size() &&
                    strcasecmp(path.c_str() + path.size() - kSuffix.size(), kSuffix.c_str()) == 0;
    return ng ? Format::Pcapng : Format::Pcap;
}

bool CaptureWriter::fail(const char* what) {
    if (error_.empty()) {
        const int e = errno;
        error_ = "Could not " + std::string(what) + " " + path_ + ": " +
                 (e != 0 ? std::strerror(e) : "write failed");
    }
    return false;
}

bool CaptureWriter::open() {
    // The rename that puts the file in place would replace a device or a
    // folder's entry: only a regular file (or none yet) is written.
    struct stat st;
    if (::stat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error_ = "Could not write " + path_ + ": it is not a regular file";
        return false;
    }
    if (placement_ == Placement::InPlace) {
        errno = 0;
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return fail("write");
        return openDescriptor(fd);
    }
    // A symbolic link keeps pointing where it did: its target is written,
    // also when that does not exist yet.
    target_ = path_;
    for (int hops = 0; hops < 40 && ::lstat(target_.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
         ++hops) {
        std::error_code error;
        const std::filesystem::path to = std::filesystem::read_symlink(target_, error);
        if (error) break;
        target_ =
            (to.is_absolute() ? to : std::filesystem::path(target_).parent_path() / to).string();
    }
    // A hidden name in the same folder, so the rename stays on one file system.
    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::string pattern =
        (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX";
    errno = 0;
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return fail("write");
    temp_ = pattern;
    fchmod(fd, 0644);
    return openDescriptor(fd);
}

bool CaptureWriter::openDescriptor(int fd) {
    file_ = fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        return fail("write");
    }
    // Few large writes: a recording keeps up with a flood.
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
    return writeHeader();
}

bool CaptureWriter::writeHeader() {
    std::vector<std::uint8_t> h;
    if (format_ == Format::Pcap) {
        le32(h, nano_ ? kPcapNano : kPcapMicro);
        le16(h, 2);
        le16(h, 4);
        le32(h, 0);  // time zone
        le32(h, 0);  // accuracy
        le32(h, kSnapLen);
        le32(h, kLinkEthernet);
    } else {
        le32(h, kSectionHeader);
        le32(h, 28);
        le32(h, 0x1A2B3C4D);
        le16(h, 1);
        le16(h, 0);
        le32(h, 0xFFFFFFFF);  // section length unknown
        le32(h, 0xFFFFFFFF);
        le32(h, 28);
        // One Ethernet interface with nano- or microsecond times (if_tsresol 9 or 6).
        le32(h, kInterface);
        le32(h, 32);
        le16(h, std::uint16_t(kLinkEthernet));
        le16(h, 0);
        le32(h, kSnapLen);
        le16(h, 9);  // if_tsresol
        le16(h, 1);
        h.insert(h.end(), {std::uint8_t(nano_ ? 9 : 6), 0, 0, 0});
        le16(h, 0);  // opt_endofopt
        le16(h, 0);
        le32(h, 32);
    }
    return put(h.data(), h.size());
}

bool CaptureWriter::put(const void* data, std::size_t size) {
    if (!file_) return false;
    errno = 0;
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) return fail("write");
    return true;
}

bool CaptureWriter::write(std::span<const std::uint8_t> frame, std::uint32_t wireLength,
                          const CaptureTime& time) {
    if (!file_ || !error_.empty()) return false;
    const std::uint32_t caplen = std::uint32_t(frame.size());
    const std::uint32_t len = wireLength < caplen ? caplen : wireLength;
    const std::int64_t seconds = time.known ? time.seconds : 0;
    const std::uint32_t nanos = time.known ? time.nanoseconds : 0;
    std::vector<std::uint8_t> h;
    if (format_ == Format::Pcap) {
        le32(h, std::uint32_t(seconds));
        le32(h, nano_ ? nanos : nanos / 1000);
        le32(h, caplen);
        le32(h, len);
        if (!put(h.data(), h.size()) || !put(frame.data(), frame.size())) return false;
    } else {
        const std::uint64_t stamp = nano_ ? std::uint64_t(seconds) * 1000000000u + nanos
                                          : std::uint64_t(seconds) * 1000000u + nanos / 1000;
        const std::uint32_t padded = (caplen + 3) & ~3u;
        const std::uint32_t total = 32 + padded;
        le32(h, kEnhancedPacket);
        le32(h, total);
        le32(h, 0);  // interface
        le32(h, std::uint32_t(stamp >> 32));
        le32(h, std::uint32_t(stamp));
        le32(h, caplen);
        le32(h, len);
        static const std::uint8_t kPad[4] = {};
        std::vector<std::uint8_t> tail;
        le32(tail, total);
        if (!put(h.data(), h.size()) || !put(frame.data(), frame.size()) ||
            !put(kPad, padded - caplen) || !put(tail.data(), tail.size()))
            return false;
    }
    ++frames_;
    return true;
}

bool CaptureWriter::writeStatistics(const CaptureTime& time, std::uint64_t received,
                                    std::uint64_t interfaceDropped, std::uint64_t systemDropped) {
    if (!file_ || !error_.empty() || format_ != Format::Pcapng) return false;
    const std::uint64_t stamp =
        nano_ ? std::uint64_t(time.seconds) * 1000000000u + time.nanoseconds
              : std::uint64_t(time.seconds) * 1000000u + time.nanoseconds / 1000;
    constexpr std::uint32_t kTotal = 64;
    std::vector<std::uint8_t> b;
    le32(b, kStatistics);
    le32(b, kTotal);
    le32(b, 0);  // interface
    le32(b, std::uint32_t(stamp >> 32));
    le32(b, std::uint32_t(stamp));
    // isb_ifrecv, isb_ifdrop, isb_osdrop, opt_endofopt.
    for (const auto& [code, value] :
         {std::pair{4, received}, {5, interfaceDropped}, {7, systemDropped}}) {
        le16(b, std::uint16_t(code));
        le16(b, 8);
        le64(b, value);
    }
    le32(b, 0);
    le32(b, kTotal);
    return put(b.data(), b.size());
}

bool CaptureWriter::flush() {
    if (!file_ || !error_.empty()) return false;
    errno = 0;
    if (std::fflush(file_) != 0) return fail("write");
    // A pipe has no disk to reach.
    struct stat st;
    if (::fstat(fileno(file_), &st) == 0 && S_ISREG(st.st_mode) && fdatasync(fileno(file_)) != 0)
        return fail("write");
    return true;
}

bool CaptureWriter::finish() {
    if (!file_) return error_.empty() ? fail("write") : false;
    errno = 0;
    bool ok = error_.empty() && flush();
    if (!ok) fail("write");
    errno = 0;
    if (std::fclose(file_) != 0 && ok) ok = fail("write");
    file_ = nullptr;
    errno = 0;
    if (ok && !temp_.empty() && std::rename(temp_.c_str(), target_.c_str()) != 0)
        ok = fail("write");
    if (ok) {
        temp_.clear();
    } else {
        abandon();
    }
    return ok;
}

void CaptureWriter::abandon() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

}  // namespace pelsid
