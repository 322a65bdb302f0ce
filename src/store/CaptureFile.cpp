#include "store/CaptureFile.h"

#include <algorithm>
#include <stdexcept>

#include "store/PacketBuffer.h"

namespace pelsid {

std::span<const std::uint8_t> CaptureFile::record(int i) const {
    if (i < 0 || i >= recordCount()) throw std::out_of_range("CaptureFile::record");
    return frames_.frame(i);
}

int CaptureFile::insertInto(PacketBuffer& buffer) const {
    return buffer.insertFrames(frames_);
}

CaptureFile readFrom(ByteInput& input, const std::string& fileName, const ReadOptions& options) {
    CaptureFile f;
    // Room for what a file of this size can hold, never more than a full buffer.
    constexpr std::uint64_t kFull = std::uint64_t(PacketBuffer::kSlots) * PacketBuffer::kSlotBytes;
    if (!options.countOnly) f.frames_.bytes.reserve(std::size_t(std::min(input.size(), kFull)));
    f.format_ =
        readCapture(input, fileName, options, f.set_,
                    [&f](std::span<const std::uint8_t> frame, std::uint64_t, std::uint64_t fileEnd,
                         std::uint32_t wireLength, const CaptureTime& time, std::uint32_t linkType,
                         std::uint64_t number) {
                        f.frames_.append(frame, {.fileEnd = fileEnd,
                                                 .wireLength = wireLength,
                                                 .time = time,
                                                 .linkType = linkType,
                                                 .frame = number});
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
