#include "pipeline/Pipeline.h"

#include <QElapsedTimer>
#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>
#include <utility>

#include "pipeline/FilterModel.h"
#include "pipeline/GuiThread.h"
#include "store/PacketBuffer.h"
#include "store/PacketSummary.h"

namespace pelsid {

Pipeline::Pipeline(PacketBuffer& buffer, const FilterModel& filters, ViewSet& views,
                   QObject* parent)
    : QObject(parent), buffer_(buffer), filters_(filters), views_(views) {
    slice_.setSingleShot(true);
    slice_.setInterval(0);
    connect(&slice_, &QTimer::timeout, this, &Pipeline::runSlice);
}

void Pipeline::playPackets(int first, int last) {
    PELSID_ASSERT_GUI_THREAD();
    if (first > last) return;
    if (first == last) {
        playOne(first);
        return;
    }
    jobs_.push_back({first, last, buffer_.generation()});
    if (!slice_.isActive()) slice_.start();
}

void Pipeline::playNow(int first, int last) {
    PELSID_ASSERT_GUI_THREAD();
    if (first >= last) {
        if (first == last) playOne(first);
        return;
    }
    // Between slices no batch is held ready, so both batches are free here.
    Job job{first, last, buffer_.generation()};
    Batch* now = &batches_[0];
    Batch* after = &batches_[1];
    prepareBatch(*now, job, kBatch);
    while (!now->packets.empty()) {
        drawBatch(*now, [&] {
            if (job.next <= job.last)
                prepareBatch(*after, job, kBatch);
            else
                after->packets.clear();
        });
        std::swap(now, after);
    }
}

void Pipeline::playOne(int packetNumber) {
    if (!buffer_.holds(packetNumber)) return;
    packetLen_ = copyPacket(packetNumber, packetTxt_.data(), packetLen_);
    dispatchPacket(packetNumber, packetTxt_.data(), packetLen_);
}

int Pipeline::copyPacket(int packetNumber, std::uint8_t* packetTxt, int previousLen) const {
    // The views may read the whole array: what lies beyond the packet is zero.
    const int len = buffer_.frameLength(packetNumber);
    std::memcpy(packetTxt, buffer_.packetData(packetNumber), std::size_t(len));
    if (previousLen > len) std::memset(packetTxt + len, 0, std::size_t(previousLen - len));
    return len;
}

PlayedPacket Pipeline::played(int packetNumber, const std::uint8_t* packetTxt, int packetLen,
                              PacketFields& fields) const {
    fields = buffer_.fields(packetNumber);
    return {packetNumber,
            packetTxt,
            packetLen,
            &fields,
            filters_.colorOf(fields.ipProtocol, {packetTxt, std::size_t(packetLen)},
                             buffer_.wireLength(packetNumber)),
            buffer_.captureTime(packetNumber),
            buffer_.frameNumber(packetNumber)};
}

std::unique_ptr<HeldPacket> Pipeline::lookUp(int packetNumber) const {
    if (!buffer_.holds(packetNumber)) return nullptr;
    auto held = std::make_unique<HeldPacket>();
    const int len = copyPacket(packetNumber, held->bytes.data(), 0);
    held->packet = played(packetNumber, held->bytes.data(), len, held->fields);
    held->summary =
        packetSummary({held->bytes.data(), std::size_t(len)}, buffer_.linkType(packetNumber));
    // Its place in the file, to find the same frame in another tool.
    if (const std::uint64_t frame = buffer_.frameNumber(packetNumber))
        held->summary += " [frame " + std::to_string(frame) + " of the file]";
    return held;
}

void Pipeline::dispatchPacket(int packetNumber, const std::uint8_t* packetTxt, int packetLen) {
    PELSID_ASSERT_GUI_THREAD();
    if (filters_.hides(buffer_.getIPProtocol(packetNumber), {packetTxt, std::size_t(packetLen)},
                       buffer_.wireLength(packetNumber)))
        return;
    const PlayedPacket packet = played(packetNumber, packetTxt, packetLen, packetFields_);
    lastPlayed_ = packetNumber;
    for (int i = 0; i < ViewSet::kViewCount; ++i) {
        PacketView& view = views_.view(i);
        if (views_.isShown(i)) view.plot(packet);
        view.plotThumbnail(packet);
    }
}

void Pipeline::clearAllViews() {
    PELSID_ASSERT_GUI_THREAD();
    for (int i = 0; i < ViewSet::kViewCount; ++i) views_.view(i).clear();
}

void Pipeline::cancelAll() {
    const bool had = !jobs_.empty();
    jobs_.clear();
    slice_.stop();
    if (had) emit finished();
}

void Pipeline::playToEnd() {
    slice_.stop();
    const int budget = std::exchange(sliceMs_, INT_MAX);
    while (busy()) runSlice();
    slice_.stop();
    sliceMs_ = budget;
}

void Pipeline::runSlice() {
    QElapsedTimer clock;
    clock.start();
    // With no time to spare a slice plays a single packet.
    const int size = sliceMs_ > 0 ? kBatch : 1;
    while (!jobs_.empty()) {
        Job& job = jobs_.front();
        if (job.generation != buffer_.generation()) {
            ready_ = false;
            jobs_.pop_front();
            continue;
        }
        Batch& now = batches_[current_];
        if (!ready_) prepareBatch(now, job, size);
        ready_ = false;
        if (now.packets.empty()) {
            if (job.next > job.last) jobs_.pop_front();
            continue;
        }
        // The next batch is made ready here while the second thread draws.
        Batch& after = batches_[1 - current_];
        drawBatch(now, [&] {
            if (job.next > job.last) return;
            prepareBatch(after, job, size);
            ready_ = true;
        });
        current_ = 1 - current_;
        if (clock.elapsed() >= sliceMs_) break;
    }
    if (ready_) {
        // The slice is over: the batch made ready is read afresh next time,
        // after whatever the user does in between.
        jobs_.front().next = batches_[current_].first;
        ready_ = false;
    }
    if (!jobs_.empty())
        slice_.start();
    else
        emit finished();
}

void Pipeline::prepareBatch(Batch& b, Job& job, int size) {
    if (b.lengths.empty()) {
        b.bytes.assign(std::size_t(kBatch) * PacketBuffer::kSlotBytes, 0);
        b.lengths.assign(kBatch, 0);
        b.fields.assign(kBatch, {});
        b.packets.reserve(kBatch);
    }
    b.packets.clear();
    b.first = job.next;
    while (int(b.packets.size()) < size && job.next <= job.last) {
        const int n = job.next++;
        if (!buffer_.holds(n) ||
            filters_.hides(buffer_.getIPProtocol(n), buffer_.frame(n), buffer_.wireLength(n)))
            continue;
        const std::size_t i = b.packets.size();
        std::uint8_t* txt = b.bytes.data() + i * PacketBuffer::kSlotBytes;
        b.lengths[i] = copyPacket(n, txt, b.lengths[i]);
        b.packets.push_back(played(n, txt, b.lengths[i], b.fields[i]));
    }
}

void Pipeline::drawBatch(const Batch& batch, const std::function<void()>& meanwhile) {
    PELSID_ASSERT_GUI_THREAD();
    const std::vector<PlayedPacket>& packets = batch.packets;
    std::array<PacketView*, ViewSet::kViewCount> view{};
    std::array<bool, ViewSet::kViewCount> shown{}, offThread{};
    const bool threads = packets.size() > 1 && DrawingThread::worthwhile();
    bool split = false;
    for (int i = 0; i < ViewSet::kViewCount; ++i) {
        view[i] = &views_.view(i);
        shown[i] = views_.isShown(i);
        view[i]->beginRun();
        offThread[i] = threads && view[i]->drawsOffGuiThread();
        split = split || offThread[i];
    }
    // Each view gets the whole run, in order; the views never share a picture.
    auto draw = [&](bool off) {
        for (int i = 0; i < ViewSet::kViewCount; ++i) {
            if (offThread[i] != off) continue;
            if (shown[i]) view[i]->plotRun(packets);
            view[i]->plotThumbnailRun(packets);
        }
    };
    if (split) {
        if (!drawing_) drawing_ = std::make_unique<DrawingThread>();
        ++splitRuns_;
        drawing_->start([&] { draw(true); });
        std::exception_ptr error;
        try {
            draw(false);
            meanwhile();
        } catch (...) {
            error = std::current_exception();
        }
        drawing_->wait();
        if (error) std::rethrow_exception(error);
    } else {
        draw(false);
        meanwhile();
    }
    lastPlayed_ = packets.back().number;
}

}  // namespace pelsid
