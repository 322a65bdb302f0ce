#include "store/LoadMessages.h"

#include "store/Messages.h"
#include "store/PacketBuffer.h"

namespace pelsid {

LoadProblem notPelsidProblem() {
    return {LoadProblem::Severity::Warning, Dialogs::Icon::Warning, msg::kWarningTitle,
            msg::kNotPelsidFile};
}

LoadProblem exceededProblem(std::uint64_t firstFrame, std::uint64_t lastFrame) {
    // From the file's start, "the first 30000" is exact; from a later frame,
    // say which of the file's frames the buffer took.
    if (firstFrame > 1)
        return {LoadProblem::Severity::Warning, Dialogs::Icon::None, msg::kProgramTitle,
                "Packets in file exceeded buffer.  Frames " + std::to_string(firstFrame) +
                    " to " + std::to_string(lastFrame) + " of the file were loaded (" +
                    std::to_string(PacketBuffer::kSlots) + " packets)."};
    return {LoadProblem::Severity::Warning, Dialogs::Icon::None, msg::kProgramTitle,
            std::string(msg::kExceededPrefix) + std::to_string(PacketBuffer::kSlots) +
                msg::kExceededSuffix};
}

LoadProblem cutProblem(int cutCount) {
    const std::string n = std::to_string(cutCount);
    return {LoadProblem::Severity::Warning, Dialogs::Icon::Warning, msg::kWarningTitle,
            n + (cutCount == 1 ? " packet was" : " packets were") + " longer than " +
                std::to_string(PacketBuffer::kSlotBytes) + " bytes and " +
                (cutCount == 1 ? "was" : "were") + " stored cut to the first " +
                std::to_string(PacketBuffer::kSlotBytes) + " bytes."};
}

LoadProblem fileError(const std::string& fileName, const std::string& reason) {
    return {LoadProblem::Severity::Error, Dialogs::Icon::Critical, msg::kErrorTitle,
            "Cannot read \"" + fileName + "\": " + reason};
}

LoadProblem fileWarning(const std::string& fileName, const std::string& text) {
    return {LoadProblem::Severity::Warning, Dialogs::Icon::Warning, msg::kWarningTitle,
            "\"" + fileName + "\": " + text};
}

LoadProblem damageProblem(const std::string& fileName, std::uint64_t frame, std::uint64_t offset,
                          const std::string& reason, int kept) {
    return fileWarning(
        fileName,
        "the file is damaged at frame " + std::to_string(frame) + " (byte offset " +
            std::to_string(offset) + "): " + reason + ". The " + std::to_string(kept) +
            (kept == 1 ? " packet before it was kept." : " packets before it were kept."));
}

}  // namespace pelsid
