#include "commands/CaptureCommand.h"

#include "capture/LiveCapture.h"
#include "commands/FieldsReport.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
struct Sink {
    PacketBuffer& buffer;
    int cut = 0;
};

void store(void* context, const std::uint8_t* data, int captured, int wireLength) {
    auto& sink = *static_cast<Sink*>(context);
    if (wireLength > PacketBuffer::kSlotBytes) ++sink.cut;
    sink.buffer.insertPacket(data, captured - 1);
}
}  // namespace

int runCaptureCommand(const std::string& adapter, const std::string& filter, int count,
                      std::ostream& out, std::ostream& err) {
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
    err << "capturing " << count << " frames on " << adapter << std::endl;
    PacketBuffer buffer;
    Sink sink{buffer};
    while (buffer.getPacketCount() < count) {
        const int wanted = count - buffer.getPacketCount();
        if (capture.dispatch(store, &sink, wanted, problem) < 0) {
            err << "error: " << problem.message(adapter, filter) << '\n';
            return 1;
        }
    }
    const std::uint64_t dropped = capture.kernelDropped();
    if (dropped > 0) err << "warning: the kernel dropped " << dropped << " frames\n";
    if (sink.cut > 0)
        err << "warning: " << sink.cut << " frames longer than " << PacketBuffer::kSlotBytes
            << " bytes were cut to that length\n";
    if (count > PacketBuffer::kSlots)
        err << "warning: the buffer holds the last " << PacketBuffer::kSlots << " frames only\n";
    writeFieldsReport(buffer, out);
    out.flush();
    return out ? 0 : 1;
}

}  // namespace pelsid
