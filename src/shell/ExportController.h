#pragma once
#include <QObject>
#include <functional>
#include <memory>

namespace pelsid {

class Dialogs;
class ExportJob;
class PacketBuffer;
class PlaybackController;
class ProgramFolders;

/// File > Export Packets: writes the packets held, or only the PVR's buffer
/// range (the user is asked which when they differ), to a pcap or pcapng
/// file chosen in a save dialog. The file is written on a thread; the
/// outcome is told in a message and by `finished`.
class ExportController : public QObject {
    Q_OBJECT
  public:
    /// `playback` returns the PVR's playback when asked, for its range.
    ExportController(PacketBuffer& buffer, Dialogs& dialogs, ProgramFolders& folders,
                     std::function<PlaybackController&()> playback, QObject* parent = nullptr);
    ~ExportController() override;

    void exportPackets();
    /// True while an export is being written.
    bool exporting() const { return bool(job_); }

  signals:
    /// An export is over; `written` when the file is in place.
    void finished(bool written);

  private:
    void finish();

    PacketBuffer& buffer_;
    Dialogs& dialogs_;
    ProgramFolders& folders_;
    std::function<PlaybackController&()> playback_;
    std::unique_ptr<ExportJob> job_;  // the file being written, if any
};

}  // namespace pelsid
