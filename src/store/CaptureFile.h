#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/CaptureReader.h"
#include "store/FrameBatch.h"
#include "store/ReadOptions.h"
#include "store/RecordSet.h"

namespace pelsid {

class PacketBuffer;

/// The packets chosen from a file, read in bounded pieces and held (at most
/// a buffer's worth) ready to be stored. The loader's flow on top of it:
///   1. `CaptureFile f = readCaptureFile(path, options);`
///   2. `f.format()` is Unreadable (nothing to store) or NotPelsid (wrong
///      magic: the buffer and views stay untouched) -> show `f.problems()`, stop.
///   3. Otherwise clear the buffer ("file") and the views, then
///      `f.insertInto(buffer)` (or insert `f.record(i)` one by one, i <
///      `f.recordCount()`, with `f.records()[i].fileEnd` for progress).
///   4. Show `f.problems()` in order (each a message box), then play 1..count.
class CaptureFile {
  public:
    using Format = CaptureFormat;

    Format format() const { return format_; }
    /// True when there are records to store (dataset, pcap or pcapng).
    bool isLoadable() const {
        return format_ == Format::Dataset || format_ == Format::Pcap || format_ == Format::Pcapng;
    }
    /// A regular file's size; for a stream, how much of it was read.
    std::uint64_t fileSize() const { return fileSize_; }
    /// True when the read was ended on request before the file's end.
    bool cancelled() const { return set_.cancelled; }

    /// The kept frames, in file order.
    const FrameBatch& frames() const { return frames_; }
    const std::vector<RecordRef>& records() const { return frames_.records; }
    int recordCount() const { return frames_.size(); }
    /// The bytes of record `i` (0-based).
    std::span<const std::uint8_t> record(int i) const;
    /// Messages for the user, in the order they are to be shown.
    const std::vector<LoadProblem>& problems() const { return set_.problems; }
    const RecordSet& recordSet() const { return set_; }

    /// Stores every record in `buffer` in file order; returns how many.
    int insertInto(PacketBuffer& buffer) const;

    friend CaptureFile readFrom(ByteInput& input, const std::string& fileName,
                                const ReadOptions& options);

  private:
    Format format_ = Format::Unreadable;
    std::uint64_t fileSize_ = 0;
    FrameBatch frames_;
    RecordSet set_;  // what the read found besides the frames
};

/// Reads the file by the format its first bytes name (never its name), in
/// pieces of `options.pieceSize`, keeping the frames the options choose up
/// to the buffer's limit; memory does not depend on the file's size. A pipe,
/// FIFO or device is read as a stream. A file that cannot be opened or read
/// gives an error naming the file and the system's reason, and no records.
CaptureFile readCaptureFile(const std::string& path, const ReadOptions& options = {});

/// As readCaptureFile, for bytes already in memory; `fileName` names them in messages.
CaptureFile readCaptureBytes(std::vector<std::uint8_t> fileBytes, const std::string& fileName,
                             const ReadOptions& options = {});

}  // namespace pelsid
