#include "control/CaptureSession.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>
#include <numeric>
#include <thread>

#include "store/CaptureFile.h"
#include "store/Messages.h"
#include "support/CaptureSessionRig.h"

namespace pelsid {
using namespace test;
namespace {

class CaptureSessionTest : public ::testing::Test, protected CaptureSessionRig {};

TEST_F(CaptureSessionTest, StartsOnTheChosenAdapterAndEndsOnStopOrFailure) {
    CaptureSession& s = open(kTwoAdapters);
    QSignalSpy changed(&s, &CaptureSession::capturingChanged), ended(&s, &CaptureSession::ended);
    EXPECT_TRUE(s.start(2, "udp port 53"));
    EXPECT_FALSE(s.start(1, ""));  // one capture at a time
    EXPECT_EQ(source->startedOn, std::vector<int>{2});
    EXPECT_EQ(source->filter(), "udp port 53");
    EXPECT_TRUE(dialogs.questions.empty());  // nothing held, nothing to ask
    EXPECT_EQ(views.clears(), 1);
    s.stop();
    s.stop();  // nothing runs: nothing more ends
    EXPECT_EQ(source->stops, 1);
    EXPECT_EQ(ended.size(), 1);

    // A source that fails has stopped by itself; the session says why, and what came stays.
    s.start(1, "");
    source->frame(numberedFrame(1));
    deliver();
    emit source->failed("Capture on adapter \"eth0\" stopped: The interface went down");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.messages[0].title, "Capture");
    EXPECT_EQ(dialogs.messages[0].text,
              "Capture on adapter \"eth0\" stopped: The interface went down");
    EXPECT_EQ(ended.size(), 2);
    EXPECT_EQ(buffer.newestHeld(), 1);
    std::vector<bool> told;
    for (const auto& args : changed) told.push_back(args[0].toBool());
    EXPECT_EQ(told, (std::vector<bool>{true, false, false, true, false}));
}

TEST_F(CaptureSessionTest, HeldPacketsAskBeforeGoingAndFramesDuringTheQuestionGoWithThem) {
    CaptureSession& s = open(kTwoAdapters);
    for (std::uint32_t k = 1; k <= 3; ++k) buffer.insertPacket(numberedFrame(k));
    dialogs.whileAsking = [this] {
        source->frame(numberedFrame(100));
        deliver();
    };
    s.start(1, "");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, msg::kVerifyBufferDeleteTitle);
    EXPECT_EQ(dialogs.questions[0].text, msg::kVerifyBufferDelete);
    EXPECT_EQ(buffer.newestHeld(), 0);  // the frame that came during the question went too
    EXPECT_EQ(views.plotted(), std::vector<int>{4});
    EXPECT_EQ(views.clears(), 1);  // once, whatever the answer

    // Asked again on the next start; a No keeps the packets, and the count starts afresh.
    source->frame(numberedFrame(7));
    deliver();
    s.stop();
    dialogs.whileAsking = nullptr;
    dialogs.answers = {false};
    s.start(1, "");
    EXPECT_EQ(dialogs.questions.size(), 2u);
    source->frame(numberedFrame(8));
    deliver();
    ASSERT_EQ(buffer.newestHeld(), 2);
    EXPECT_EQ(numberOf(buffer, 1), 7u);
    EXPECT_EQ(numberOf(buffer, 2), 8u);
    EXPECT_EQ(s.stored(), 1u);
}

TEST_F(CaptureSessionTest, AStartThatFailsIsReportedAndChangesNothing) {
    CaptureSession& s = open(kTwoAdapters);
    buffer.insertPacket(numberedFrame(1));
    QSignalSpy changed(&s, &CaptureSession::capturingChanged);
    const auto refused = [&](CaptureProblem::Kind kind, const char* reason, int adapter,
                             const char* filter) {
        dialogs.messages.clear();
        source->startResult = {kind, reason};
        EXPECT_FALSE(s.start(adapter, filter));
        EXPECT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages.at(0).icon, Dialogs::Icon::Critical);
        EXPECT_EQ(dialogs.messages.at(0).title, "Capture");
        return dialogs.messages.at(0).text;
    };
    const std::string denied =
        refused(CaptureProblem::Kind::Permission,
                "eth0: You don't have permission to perform this capture", 1, "");
    EXPECT_NE(denied.find("\"eth0\""), std::string::npos) << denied;
    EXPECT_NE(denied.find("setcap cap_net_raw,cap_net_admin=eip"), std::string::npos) << denied;
    EXPECT_EQ(refused(CaptureProblem::Kind::Filter, "syntax error", 2, "udp portx 9"),
              "The capture filter \"udp portx 9\" is not valid: syntax error");
    EXPECT_FALSE(s.capturing());
    EXPECT_TRUE(dialogs.questions.empty());  // nothing started, so nothing is cleared
    EXPECT_EQ(buffer.newestHeld(), 1);
    EXPECT_EQ(changed.size(), 0);
}

// Two deliveries, `before` frames and then `batch`, each captured at `size`
// bytes out of a longer frame (the bytes past it are not zero); then an empty batch.
struct Batches {
    const char* name;
    int before, batch, size;
};

class CaptureBatches : public ::testing::TestWithParam<Batches>, protected CaptureSessionRig {};

TEST_P(CaptureBatches, ReachTheBufferInOrderAndArePlayedAsOneRunEach) {
    const Batches& p = GetParam();
    CaptureSession& s = open(kTwoAdapters);
    s.start(1, "");
    int told = 0;
    buffer.setListener([&](const PacketBuffer&) { ++told; });
    std::uint32_t k = 0;
    for (int n : {p.before, p.batch}) {
        views.forget();
        for (int i = 0; i < n; ++i) source->frame(numberedFrame(++k, p.size + 8), -1, {}, p.size);
        deliver();
    }
    emit source->framesArrived(FrameBatch{});
    const int total = p.before + p.batch, kept = std::min(p.size, PacketBuffer::kSlotBytes);
    ASSERT_EQ(buffer.newestHeld(), total);
    ASSERT_EQ(buffer.oldestHeld(), std::max(1, total - PacketBuffer::kSlots + 1));
    int wrong = 0;
    for (int n = buffer.oldestHeld(); n <= total; ++n)
        wrong += numberOf(buffer, n) != std::uint32_t(n) || buffer.frameLength(n) != kept ||
                 buffer.wireLength(n) != std::uint32_t(p.size);
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(std::ranges::equal(buffer.frame(total), numberedFrame(std::uint32_t(total), kept)));
    EXPECT_EQ(told, p.before > 0 ? 2 : 1);  // once a batch
    std::vector<int> run(std::size_t(p.batch));
    std::iota(run.begin(), run.end(), p.before + 1);
    EXPECT_EQ(views.plotted(), run);
    EXPECT_EQ(views.views[3].thumbnails, run);
    EXPECT_EQ(s.stored(), std::uint64_t(total));
    const CaptureStats st = s.source().stats();
    EXPECT_EQ(st.captured, std::uint64_t(total));
    EXPECT_EQ(st.cut, p.size > PacketBuffer::kSlotBytes ? std::uint64_t(total) : 0u);
    EXPECT_EQ(st.queueDropped, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, CaptureBatches,
    ::testing::Values(Batches{"OneFrame", 0, 1, 60}, Batches{"CrossingTheWrap", 29990, 20, 60},
                      Batches{"AQueueFullFillingTheBuffer", 5, FrameQueue::kDefaultCapacity, 60},
                      Batches{"ByteShortOfASlot", 2, 3, 1600}, Batches{"ASlot", 2, 3, 1601},
                      Batches{"ByteOverASlot", 2, 3, 1602}),
    [](const auto& info) { return std::string(info.param.name); });

// Every frame with its time and its length on the wire, even those the queue drops.
TEST_F(CaptureSessionTest, ARecordingHoldsEveryFrameOfTheCaptureReadBack) {
    CaptureSession& s = open(kTwoAdapters);
    QTemporaryDir dir;
    const std::vector<int> sizes = {60, 1600, 1601, 1602, 65535};
    const int n = FrameQueue::kDefaultCapacity + 6;  // the last once there is room again
    for (const char* name : {"rec.pcap", "rec.pcapng"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.filePath(name).toStdString();
        ASSERT_EQ(source->recordTo(path), "");
        s.start(1, "");
        std::thread capturing([&] {  // outruns this thread
            for (int k = 1; k < n; ++k)
                source->frame(numberedFrame(std::uint32_t(k), k <= 5 ? sizes[k - 1] : 60), -1,
                              {1765200000 + k, std::uint32_t(k) * 1000u, 9, true});
        });
        capturing.join();
        deliver();
        source->frame(numberedFrame(std::uint32_t(n)));
        deliver();
        EXPECT_EQ(numberOf(buffer, buffer.newestHeld()), std::uint32_t(n));
        EXPECT_EQ(source->stats().queueDropped, 5u);  // counted afresh for each capture
        EXPECT_EQ(source->stats().captured, std::uint64_t(n));
        EXPECT_EQ(source->recorded(), std::uint64_t(n));
        s.stop();
        EXPECT_TRUE(source->lastRecording().ok()) << source->lastRecording().error;
        EXPECT_EQ(source->lastRecording().frames, std::uint64_t(n));
        EXPECT_TRUE(source->recordingPath().empty());  // the next capture records nothing

        const CaptureFile f = readCaptureFile(path);
        EXPECT_EQ(f.format() == CaptureFile::Format::Pcapng, path.ends_with("ng"));
        for (int i = 0; i < 5; ++i) {
            const auto kept = numberedFrame(std::uint32_t(i + 1), std::min(sizes[i], 1601));
            EXPECT_TRUE(std::ranges::equal(f.record(i), kept)) << sizes[i];
            EXPECT_EQ(f.records()[std::size_t(i)].wireLength, std::uint32_t(sizes[i]));
            EXPECT_EQ(f.records()[std::size_t(i)].time,
                      (CaptureTime{1765200001 + i, std::uint32_t(i + 1) * 1000u, 9, true}));
        }
        EXPECT_EQ(buffer.captureTime(2), (CaptureTime{1765200002, 2000, 9, true}));
        ReadOptions last;  // more than a buffer's worth: read from the file's end
        last.choice.from = std::uint64_t(n);
        const CaptureFile tail = readCaptureFile(path, last);
        EXPECT_EQ(tail.recordSet().frames, std::uint64_t(n));
        ASSERT_EQ(tail.recordCount(), 1);
        EXPECT_TRUE(std::ranges::equal(tail.record(0), numberedFrame(std::uint32_t(n))));
    }
}

TEST_F(CaptureSessionTest, StopWithFramesInFlightKeepsTheBatchAndCountsTheRest) {
    CaptureSession& s = open(kTwoAdapters);
    s.start(1, "");
    source->frame(numberedFrame(1));
    deliver();
    source->frame(numberedFrame(2));  // waiting when the capture stops
    s.stop();
    deliver();
    EXPECT_EQ(buffer.newestHeld(), 1);
    EXPECT_EQ(source->stats().queueDropped, 1u);  // counted, not lost silently

    // Stopped while a batch is being stored, with another frame on its way.
    s.start(1, "");
    QObject::connect(source, &CaptureSource::framesArrived, [&] {
        source->frame(numberedFrame(99));
        s.stop();
    });
    for (std::uint32_t k = 3; k <= 5; ++k) source->frame(numberedFrame(k));
    deliver();
    deliver();
    EXPECT_EQ(buffer.newestHeld(), 3);
    EXPECT_EQ(numberOf(buffer, 3), 5u);
    EXPECT_EQ(s.stored(), 3u);
    EXPECT_EQ(source->stats().queueDropped, 1u);
}

TEST_F(CaptureSessionTest, ASessionThatGoesStopsItsCapture) {
    open(kTwoAdapters).start(1, "");
    int stops = 0;
    source->stopsSeen = &stops;
    session.reset();
    EXPECT_EQ(stops, 1);
}

}  // namespace
}  // namespace pelsid
