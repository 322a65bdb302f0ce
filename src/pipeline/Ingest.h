#pragma once
#include <cstdint>
#include <string>

#include "store/FrameBatch.h"

namespace pelsid {

class CaptureFile;
class Dialogs;
class PacketBuffer;
class Pipeline;

/// How packets from a file or a live capture come into the buffer that the
/// windows play: ask before overwriting, end the jobs, clear the buffer and
/// the views once, store, play. The question goes through Dialogs from here;
/// the buffer asks nothing. (Commands without windows, such as the capture
/// command and the fields report, fill a buffer of their own directly.)
class Ingest {
  public:
    Ingest(PacketBuffer& buffer, Pipeline& pipeline, Dialogs& dialogs)
        : buffer_(buffer), pipeline_(pipeline), dialogs_(dialogs) {}

    /// Tells the file's problems. A file that is not ours is named by
    /// `path`: one dropped or chosen long ago is easier to recognise by name.
    void problems(const CaptureFile& file, const std::string& path);
    /// Before new packets: when packets are held, asks whether they may be
    /// overwritten; a Yes ends every job and empties the buffer. The views
    /// are emptied either way.
    void begin();
    /// Stores a file's records (the buffer's listener hears once, at the
    /// end); returns the packet number of the first (the last is that plus
    /// `stored` - 1).
    int store(const CaptureFile& file, int* stored);
    /// Plays packets first..last.
    void play(int first, int last);
    /// Captured frames: every one stored, then all played at once as one run
    /// (the counters are told once). At most a buffer's worth.
    void frames(const FrameBatch& batch);

  private:
    PacketBuffer& buffer_;
    Pipeline& pipeline_;
    Dialogs& dialogs_;
};

}  // namespace pelsid
