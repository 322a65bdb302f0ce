#include "pipeline/Ingest.h"

#include <algorithm>

#include "pipeline/GuiThread.h"
#include "pipeline/Pipeline.h"
#include "store/CaptureFile.h"
#include "store/Dialogs.h"
#include "store/Messages.h"
#include "store/PacketBuffer.h"

namespace pelsid {

void Ingest::problems(const CaptureFile& file, const std::string& path) {
    for (const LoadProblem& p : file.problems())
        dialogs_.message(
            p.icon, p.title,
            file.format() == CaptureFormat::NotPelsid ? p.text + "\n\n" + path : p.text);
}

void Ingest::begin() {
    PELSID_ASSERT_GUI_THREAD();
    if (buffer_.newestHeld() > 0 &&
        dialogs_.question(msg::kVerifyBufferDeleteTitle, msg::kVerifyBufferDelete)) {
        pipeline_.cancelAll();
        buffer_.initBuffer();
    }
    pipeline_.clearAllViews();
}

int Ingest::store(const CaptureFile& file, int* stored) {
    const int first = buffer_.newestHeld() + 1;
    const PacketBuffer::QuietChanges quiet(buffer_);
    *stored = buffer_.insertFrames(file.frames());
    return first;
}

void Ingest::play(int first, int last) {
    pipeline_.playPackets(first, last);
}

void Ingest::frames(const FrameBatch& batch) {
    PELSID_ASSERT_GUI_THREAD();
    if (batch.size() == 0) return;
    const int first = buffer_.newestHeld() + 1;
    {
        const PacketBuffer::QuietChanges quiet(buffer_);
        buffer_.insertFrames(batch);
    }
    emit pipeline_.captured(batch);
    pipeline_.playNow(std::max(first, buffer_.oldestHeld()), buffer_.newestHeld());
}

}  // namespace pelsid
