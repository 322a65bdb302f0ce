#pragma once
#include <QObject>
#include <string>
#include <thread>

#include "store/PacketExport.h"

namespace pelsid {

/// Writes a copy of packets to a capture file on a thread of its own, so a
/// slow disk never holds up the windows; the buffer may change meanwhile.
/// Deleting the job waits for the write to end, so a file the user asked
/// for is finished (or, on failure, left out entirely) even at Exit.
class ExportJob : public QObject {
    Q_OBJECT
  public:
    ExportJob(std::string path, FrameBatch packets, QObject* parent = nullptr);
    ~ExportJob() override;

    const std::string& path() const { return path_; }
    std::size_t packetCount() const { return packets_.records.size(); }
    /// Empty when the file was written; else what went wrong, naming the
    /// file. Valid once `finished` has been raised.
    const std::string& error() const { return error_; }

  signals:
    /// Raised on the UI thread when the write is over.
    void finished();

  private:
    std::string path_;
    FrameBatch packets_;
    std::string error_;
    std::thread thread_;
};

}  // namespace pelsid
