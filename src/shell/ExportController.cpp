#include "shell/ExportController.h"

#include <QFile>
#include <algorithm>

#include "control/PlaybackController.h"
#include "shell/ExportJob.h"
#include "shell/ProgramFolders.h"
#include "store/Dialogs.h"
#include "store/PacketBuffer.h"
#include "store/PacketExport.h"

namespace pelsid {

namespace {
const std::string kTitle = "Export Packets";
}  // namespace

ExportController::ExportController(PacketBuffer& buffer, Dialogs& dialogs, ProgramFolders& folders,
                                   std::function<PlaybackController&()> playback, QObject* parent)
    : QObject(parent),
      buffer_(buffer),
      dialogs_(dialogs),
      folders_(folders),
      playback_(std::move(playback)) {}

// Waits for the file to be finished.
ExportController::~ExportController() = default;

void ExportController::exportPackets() {
    if (job_) {
        dialogs_.message(Dialogs::Icon::Information, kTitle,
                         "The packets are still being written to " + job_->path() + ".");
        return;
    }
    const int oldest = buffer_.oldestHeld();
    const int count = buffer_.newestHeld();
    if (count == 0) {
        dialogs_.message(Dialogs::Icon::Information, kTitle, "There are no packets to export.");
        return;
    }
    int first = oldest, last = count;
    if (const std::optional<PacketRange> range = playback_().range()) {
        const int rangeFirst = std::max(range->first, oldest);
        const int rangeLast = std::min(range->last, count);
        if (rangeFirst <= rangeLast && (rangeFirst != oldest || rangeLast != count)) {
            auto span = [](int a, int b) {
                return " (" + std::to_string(a) + " - " + std::to_string(b) + ")";
            };
            const int choice =
                dialogs_.choose(kTitle, "Export all packets held, or only the PVR's buffer range?",
                                {"All Packets" + span(oldest, count),
                                 "Buffer Range" + span(rangeFirst, rangeLast)});
            if (choice < 0) return;
            if (choice == 1) first = rangeFirst, last = rangeLast;
        }
    }
    const std::string path =
        dialogs_.saveCaptureFileName(kTitle, folders_.openStart().toStdString());
    if (path.empty()) return;
    job_ =
        std::make_unique<ExportJob>(QFile::encodeName(QString::fromStdString(path)).toStdString(),
                                    copyPackets(buffer_, first, last));
    connect(job_.get(), &ExportJob::finished, this, &ExportController::finish);
}

void ExportController::finish() {
    const std::string error = job_->error();
    const std::string done = "Wrote " + std::to_string(job_->packetCount()) +
                             (job_->packetCount() == 1 ? " packet to " : " packets to ") +
                             job_->path() + ".";
    // The job goes once its signal has returned.
    job_.release()->deleteLater();
    if (error.empty())
        dialogs_.message(Dialogs::Icon::Information, kTitle, done);
    else
        dialogs_.message(Dialogs::Icon::Critical, kTitle, error);
    emit finished(error.empty());
}

}  // namespace pelsid
