#pragma once
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "store/CaptureTime.h"

namespace pelsid {

/// Writes Ethernet frames to a new pcap or pcapng file.
///
/// Aside (an export): the frames go to a temporary file beside the target,
/// which takes the target's name only when `finish` succeeds, so a failed or
/// abandoned write leaves no partial file and never harms a file already there.
/// InPlace (a recording): the target itself is written from the first frame,
/// and what was flushed stays readable whatever becomes of the writer.
class CaptureWriter {
  public:
    enum class Format { Pcap, Pcapng };
    enum class Placement { Aside, InPlace };

    /// `nanoseconds`: the file keeps nanosecond times, else microseconds.
    CaptureWriter(std::string path, Format format, bool nanoseconds = true,
                  Placement placement = Placement::Aside);
    ~CaptureWriter();
    CaptureWriter(const CaptureWriter&) = delete;
    CaptureWriter& operator=(const CaptureWriter&) = delete;

    /// Opens the temporary file (or, in place, the target, emptied) and
    /// writes the file header.
    bool open();
    /// Writes in place to `fd` (a pipe, say), which the writer then owns.
    bool openDescriptor(int fd);
    /// Appends one frame of `frame.size()` stored bytes, `wireLength` long
    /// on the wire; an unknown time is written as 0.
    bool write(std::span<const std::uint8_t> frame, std::uint32_t wireLength,
               const CaptureTime& time);
    /// pcapng only: an interface statistics block with the frames the
    /// interface received and those dropped by it and by the system.
    bool writeStatistics(const CaptureTime& time, std::uint64_t received,
                         std::uint64_t interfaceDropped, std::uint64_t systemDropped);
    /// Hands what is buffered to the system (and a file to its disk).
    bool flush();
    /// Flushes, syncs and renames the file into place (in place: closes it).
    bool finish();
    /// Removes the temporary file; nothing is left behind. In place, the
    /// file is closed and keeps what was written.
    void abandon();

    /// Names the file and the system's reason for the first failure.
    const std::string& error() const { return error_; }
    std::uint64_t framesWritten() const { return frames_; }
    const std::string& path() const { return path_; }

    /// The format a file name's suffix asks for (".pcapng" or not).
    static Format formatOf(const std::string& path);

  private:
    bool put(const void* data, std::size_t size);
    bool fail(const char* what);
    bool writeHeader();

    std::string path_;
    std::string target_;  // the file renamed into place: path_, or where its link points
    std::string temp_;
    Format format_;
    bool nano_;
    Placement placement_;
    std::FILE* file_ = nullptr;
    std::string error_;
    std::uint64_t frames_ = 0;
};

}  // namespace pelsid
