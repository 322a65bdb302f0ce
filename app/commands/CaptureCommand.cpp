#include "commands/CaptureCommand.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "capture/CaptureHelper.h"
#include "commands/FieldsReport.h"
#include "store/CaptureWriter.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
// What the signal handler may reach.
std::atomic<CaptureHelper*> runningHelper{nullptr};
std::atomic<int> signalsSeen{0};

// The first SIGINT or SIGTERM ends the capture cleanly; a second one ends the
// program at once, leaving the recording as far as it was flushed.
void onSignal(int signal) {
    if (signalsSeen.fetch_add(1) > 0) _exit(128 + signal);
    if (CaptureHelper* helper = runningHelper.load()) helper->stop();
}

class SignalsStopCapture {
  public:
    explicit SignalsStopCapture(CaptureHelper& helper) {
        signalsSeen = 0;
        runningHelper = &helper;
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, &oldInt_);
        sigaction(SIGTERM, &sa, &oldTerm_);
    }
    ~SignalsStopCapture() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        runningHelper = nullptr;
    }
    bool stopped() const { return signalsSeen > 0; }

  private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

struct Sink {
    CaptureHelper& helper;
    PacketBuffer& buffer;
    CaptureWriter* writer = nullptr;  // records instead of storing
    int count = 0;                    // 0: until stopped
    std::uint64_t taken = 0;
    std::uint64_t cut = 0;
    std::chrono::steady_clock::time_point nextFlush = std::chrono::steady_clock::now();
};

void store(void* context, std::span<const std::uint8_t> frame, std::uint32_t wireLength,
           const CaptureTime& time) {
    auto& sink = *static_cast<Sink*>(context);
    if (sink.count > 0 && sink.taken >= std::uint64_t(sink.count)) return;
    ++sink.taken;
    if (wireLength > std::uint32_t(PacketBuffer::kSlotBytes)) ++sink.cut;
    if (sink.writer) {
        if (!sink.writer->write(frame, wireLength, time)) sink.helper.stop();
    } else {
        sink.buffer.insertPacket(frame, time, wireLength);
    }
    if (sink.count > 0 && sink.taken == std::uint64_t(sink.count)) sink.helper.stop();
}

// The helper's counts come about four times a second: the recording is
// flushed every half second, so a crash or a kill loses at most that much.
void flushIfDue(void* context, const CaptureCounts&) {
    auto& sink = *static_cast<Sink*>(context);
    const auto now = std::chrono::steady_clock::now();
    if (!sink.writer || now < sink.nextFlush) return;
    sink.nextFlush = now + std::chrono::milliseconds(500);
    if (!sink.writer->flush()) sink.helper.stop();
}
}  // namespace

int runCaptureCommand(const std::string& adapter, const std::string& filter, int count,
                      const std::string& writeTo, std::ostream& out, std::ostream& err) {
    if (count < 0) {
        err << "error: --count needs a number of frames of at least 1\n";
        return 1;
    }
    CaptureHelper helper;
    const SignalsStopCapture signals(helper);
    const CaptureProblem problem = helper.start(adapter, filter);
    if (!problem.ok()) {
        err << "error: " << problem.message(adapter, filter) << '\n';
        return 1;
    }
    std::unique_ptr<CaptureWriter> writer;
    if (!writeTo.empty()) {
        // Written in place, replacing OUT, from the first frame on.
        writer = std::make_unique<CaptureWriter>(writeTo, CaptureWriter::formatOf(writeTo), true,
                                                 CaptureWriter::Placement::InPlace);
        if (!writer->open()) {
            err << "error: " << writer->error() << '\n';
            return 1;
        }
    }
    if (count > 0)
        err << "capturing " << count << " frames on " << adapter << std::endl;
    else
        err << "capturing on " << adapter << " until interrupted" << std::endl;
    // A signal before the helper could hear it.
    if (signals.stopped()) helper.stop();
    PacketBuffer buffer;
    Sink sink{helper, buffer, writer.get(), count};
    const CaptureProblem failure = helper.read(store, flushIfDue, &sink);
    const CaptureCounts counts = helper.counts();
    err << sink.taken << " frames captured, " << counts.systemDropped + counts.interfaceDropped
        << " dropped by the kernel\n";
    if (sink.cut > 0)
        err << "warning: " << sink.cut << " frames longer than " << PacketBuffer::kSlotBytes
            << " bytes were cut to that length\n";
    int status = 0;
    if (!failure.ok()) {
        err << "error: " << failure.message(adapter, filter) << '\n';
        status = 1;
    }
    if (writer) {
        if (!writer->finish()) {
            err << "error: " << writer->error() << '\n';
            return 1;
        }
        err << "wrote " << writer->framesWritten() << " frames to " << writeTo << '\n';
        return status;
    }
    if (status != 0) return status;
    if (sink.taken > std::uint64_t(PacketBuffer::kSlots))
        err << "warning: the buffer holds the last " << PacketBuffer::kSlots << " frames only\n";
    writeFieldsReport(buffer, out);
    out.flush();
    return out ? 0 : 1;
}

}  // namespace pelsid
