#include "store/CaptureReader.h"

#include <memory>

#include "store/DatasetScan.h"
#include "store/LoadMessages.h"
#include "store/PacketMatcher.h"
#include "store/PcapReader.h"
#include "store/PcapngReader.h"

namespace pelsid {

namespace {
constexpr std::size_t kMagicLength = sizeof kDatasetMagic - 1;

CaptureFormat read(ByteInput& input, const std::string& fileName, const ReadOptions& options,
                   RecordSet& set, FrameIntake::Sink sink) {
    if (!input.error().empty()) {
        set.problems.push_back(fileError(fileName, input.error()));
        return CaptureFormat::Unreadable;
    }
    std::shared_ptr<const PacketMatcher> filter;
    if (!options.countOnly && !options.choice.filter.empty()) {
        std::string error;
        filter = PacketMatcher::compile(options.choice.filter, &error);
        if (!filter) {
            set.problems.push_back(
                fileError(fileName, "the filter \"" + options.choice.filter + "\" " + error));
            return CaptureFormat::Unreadable;
        }
    }
    // The first bytes name the format; a stream gives them as soon as they come.
    input.ensure(kMagicLength);
    if (!input.error().empty()) {
        set.problems.push_back(fileError(fileName, input.error()));
        return CaptureFormat::Unreadable;
    }
    if (input.cancelled()) return CaptureFormat::Unreadable;
    const std::span<const std::uint8_t> first(input.data(), input.available());
    FrameIntake intake(options, set, std::move(sink), filter.get());
    CaptureFormat format;
    if (hasDatasetMagic(first)) {
        format = CaptureFormat::Dataset;
        input.consume(kMagicLength);
        readDataset(input, intake);
        if (!input.error().empty())
            set.problems.push_back(damageProblem(fileName, intake.frames() + 1, input.position(),
                                                 input.error(), intake.stored()));
    } else if (hasPcapngMagic(first)) {
        format = CaptureFormat::Pcapng;
        readPcapngFile(input, fileName, intake, set);
    } else if (hasPcapMagic(first)) {
        format = CaptureFormat::Pcap;
        readPcapFile(input, fileName, intake, set);
    } else {
        set.problems.push_back(notPelsidProblem());
        return CaptureFormat::NotPelsid;
    }
    intake.finish(fileName);
    set.frames = intake.frames();
    return set.refused ? CaptureFormat::Unreadable : format;
}
}  // namespace

CaptureFormat readCapture(ByteInput& input, const std::string& fileName, const ReadOptions& options,
                          RecordSet& set, FrameIntake::Sink sink) {
    if (options.progress) input.reportTo(&options.progress->bytesRead);
    const CaptureFormat format = read(input, fileName, options, set, std::move(sink));
    set.cancelled = input.cancelled();
    set.bytesRead = input.bytesRead();
    return format;
}

}  // namespace pelsid
