#include "commands/CaptureCommand.h"

#include <memory>

#include "capture/LiveCapture.h"
#include "commands/FieldsReport.h"
#include "store/CaptureWriter.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
struct Sink {
    PacketBuffer& buffer;
    CaptureWriter* writer = nullptr;  // records instead of storing
    int taken = 0;
    int cut = 0;
};

void store(void* context, const std::uint8_t* data, int captured, int wireLength,
           const CaptureTime& time) {
    auto& sink = *static_cast<Sink*>(context);
    ++sink.taken;
    if (wireLength > PacketBuffer::kSlotBytes) ++sink.cut;
    if (sink.writer)
        sink.writer->write({data, std::size_t(captured)}, std::uint32_t(wireLength), time);
    else
        sink.buffer.insertPacket(data, captured - 1, time, std::uint32_t(wireLength));
}
}  // namespace

int runCaptureCommand(const std::string& adapter, const std::string& filter, int count,
                      const std::string& writeTo, std::ostream& out, std::ostream& err) {
    if (count < 1) {
        err << "error: --count needs a number of frames of at least 1\n";
        return 1;
    }
    LiveCapture capture;
    CaptureProblem problem = capture.open(adapter, filter);
    if (!problem.ok()) {
        err << "error: " << problem.message(adapter, filter) << '\n';
        return 1;
    }
    std::unique_ptr<CaptureWriter> writer;
    if (!writeTo.empty()) {
        writer = std::make_unique<CaptureWriter>(writeTo, CaptureWriter::formatOf(writeTo), true,
                                                 CaptureWriter::Placement::InPlace);
        if (!writer->open()) {
            err << "error: " << writer->error() << '\n';
            return 1;
        }
    }
    err << "capturing " << count << " frames on " << adapter << std::endl;
    PacketBuffer buffer;
    Sink sink{buffer, writer.get()};
    while (sink.taken < count) {
        if (capture.dispatch(store, &sink, count - sink.taken, problem) < 0) {
            err << "error: " << problem.message(adapter, filter) << '\n';
            return 1;  // the writer leaves no partial file
        }
        if (writer && !writer->error().empty()) {
            err << "error: " << writer->error() << '\n';
            return 1;
        }
    }
    const std::uint64_t dropped = capture.kernelDropped();
    if (dropped > 0) err << "warning: the kernel dropped " << dropped << " frames\n";
    if (sink.cut > 0)
        err << "warning: " << sink.cut << " frames longer than " << PacketBuffer::kSlotBytes
            << " bytes were cut to that length\n";
    if (writer) {
        if (!writer->finish()) {
            err << "error: " << writer->error() << '\n';
            return 1;
        }
        err << "wrote " << writer->framesWritten() << " frames to " << writeTo << '\n';
        return 0;
    }
    if (count > PacketBuffer::kSlots)
        err << "warning: the buffer holds the last " << PacketBuffer::kSlots << " frames only\n";
    writeFieldsReport(buffer, out);
    out.flush();
    return out ? 0 : 1;
}

}  // namespace pelsid
