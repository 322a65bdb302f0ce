#include "store/CaptureFile.h"

#include <algorithm>

#include "store/PacketBuffer.h"

namespace pelsid {

std::span<const std::uint8_t> CaptureFile::record(int i) const {
    const RecordRef& r = set_.records.at(std::size_t(i));
    return {bytes_.data() + r.offset, r.length};
}

int CaptureFile::insertInto(PacketBuffer& buffer) const {
    for (const RecordRef& r : set_.records)
        buffer.insertPacket({bytes_.data() + r.offset, r.length}, r.time, r.wireLength, r.linkType,
                            r.frame);
    return recordCount();
}

CaptureFile readFrom(ByteInput& input, const std::string& fileName, const ReadOptions& options) {
    CaptureFile f;
    // Room for what a file of this size can hold, never more than a full buffer.
    constexpr std::uint64_t kFull = std::uint64_t(PacketBuffer::kSlots) * PacketBuffer::kSlotBytes;
    if (!options.countOnly) f.bytes_.reserve(std::size_t(std::min(input.size(), kFull)));
    f.format_ =
        readCapture(input, fileName, options, f.set_,
                    [&f](std::span<const std::uint8_t> frame, std::uint64_t, std::uint64_t fileEnd,
                         std::uint32_t wireLength, const CaptureTime& time, std::uint32_t linkType,
                         std::uint64_t number) {
                        f.set_.records.push_back({f.bytes_.size(), std::uint32_t(frame.size()),
                                                  fileEnd, wireLength, time, linkType, number});
                        f.bytes_.insert(f.bytes_.end(), frame.begin(), frame.end());
                    });
    f.fileSize_ = input.isStream() ? input.bytesRead() : input.size();
    return f;
}

CaptureFile readCaptureBytes(std::vector<std::uint8_t> fileBytes, const std::string& fileName,
                             const ReadOptions& options) {
    ByteInput input(fileBytes, options.pieceSize);
    return readFrom(input, fileName, options);
}

CaptureFile readCaptureFile(const std::string& path, const ReadOptions& options) {
    ByteInput input(path, options.pieceSize, options.cancel);
    return readFrom(input, path, options);
}

}  // namespace pelsid
