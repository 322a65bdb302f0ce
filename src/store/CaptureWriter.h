#pragma once
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "store/CaptureTime.h"

namespace pelsid {

/// Writes Ethernet frames to a new pcap or pcapng file. The frames go to a
/// temporary file beside the target, which takes the target's name only when
/// `finish` succeeds: a failed or abandoned write leaves no partial file and
/// never harms a file already there.
class CaptureWriter {
  public:
    enum class Format { Pcap, Pcapng };

    /// `nanoseconds`: the file keeps nanosecond times, else microseconds.
    CaptureWriter(std::string path, Format format, bool nanoseconds = true);
    ~CaptureWriter();
    CaptureWriter(const CaptureWriter&) = delete;
    CaptureWriter& operator=(const CaptureWriter&) = delete;

    /// Opens the temporary file and writes the file header.
    bool open();
    /// Appends one frame of `frame.size()` stored bytes, `wireLength` long
    /// on the wire; an unknown time is written as 0.
    bool write(std::span<const std::uint8_t> frame, std::uint32_t wireLength,
               const CaptureTime& time);
    /// Flushes, syncs and renames the file into place.
    bool finish();
    /// Removes the temporary file; nothing is left behind.
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

    std::string path_;
    std::string target_;  // the file renamed into place: path_, or where its link points
    std::string temp_;
    Format format_;
    bool nano_;
    std::FILE* file_ = nullptr;
    std::string error_;
    std::uint64_t frames_ = 0;
};

}  // namespace pelsid
