#include "store/CaptureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "store/DatasetScan.h"
#include "store/LoadMessages.h"
#include "store/PacketBuffer.h"
#include "store/PcapReader.h"

namespace pelsid {

namespace {
bool isPcapng(const std::vector<std::uint8_t>& b) {
    return b.size() >= 4 && b[0] == 0x0A && b[1] == 0x0D && b[2] == 0x0D && b[3] == 0x0A;
}

// Reads the whole file in one go; false with errno's reason on failure.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::string& reason) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        reason = std::strerror(EISDIR);
        ::close(fd);
        return false;
    }
    // The size is a hint only: a file may grow or shrink while it is read.
    out.resize(S_ISREG(st.st_mode) ? std::size_t(st.st_size) : 0);
    std::size_t done = 0;
    std::uint8_t probe[4096];
    while (true) {
        const bool full = done == out.size();
        std::uint8_t* to = full ? probe : out.data() + done;
        const std::size_t room = full ? sizeof probe : out.size() - done;
        const ssize_t n = ::read(fd, to, room);
        if (n < 0) {
            if (errno == EINTR) continue;
            reason = std::strerror(errno);
            ::close(fd);
            out.clear();
            return false;
        }
        if (n == 0) break;
        if (full) out.insert(out.end(), probe, probe + n);
        done += std::size_t(n);
    }
    ::close(fd);
    out.resize(done);
    return true;
}
}  // namespace

std::span<const std::uint8_t> CaptureFile::record(int i) const {
    const RecordRef& r = set_.records.at(std::size_t(i));
    return {bytes_.data() + r.offset, r.length};
}

int CaptureFile::insertInto(PacketBuffer& buffer) const {
    for (const RecordRef& r : set_.records)
        buffer.insertPacket(bytes_.data() + r.offset, int(r.length) - 1);
    return recordCount();
}

CaptureFile readCaptureBytes(std::vector<std::uint8_t> fileBytes, const std::string& fileName) {
    CaptureFile f;
    f.fileSize_ = fileBytes.size();
    if (hasDatasetMagic(fileBytes)) {
        f.format_ = CaptureFile::Format::Dataset;
        f.bytes_ = std::move(fileBytes);
        f.set_ = scanDataset(f.bytes_);
    } else if (hasPcapMagic(fileBytes)) {
        f.format_ = isPcapng(fileBytes) ? CaptureFile::Format::Pcapng : CaptureFile::Format::Pcap;
        f.set_ = readPcap(fileBytes, fileName, f.bytes_);
        if (f.set_.refused) f.format_ = CaptureFile::Format::Unreadable;
    } else {
        f.format_ = CaptureFile::Format::NotPelsid;
        f.set_.problems.push_back(notPelsidProblem());
    }
    return f;
}

CaptureFile readCaptureFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!readWholeFile(path, bytes, reason)) {
        CaptureFile f;
        f.set_.problems.push_back(fileError(path, reason));
        return f;
    }
    return readCaptureBytes(std::move(bytes), path);
}

}  // namespace pelsid
