#include "pipeline/Pipeline.h"

#include <QElapsedTimer>
#include <cstring>

#include "pipeline/FilterModel.h"
#include "store/PacketBuffer.h"

namespace pelsid {

Pipeline::Pipeline(PacketBuffer& buffer, const FilterModel& filters, ViewSet& views,
                   QObject* parent)
    : QObject(parent), buffer_(buffer), filters_(filters), views_(views) {
    slice_.setSingleShot(true);
    slice_.setInterval(0);
    connect(&slice_, &QTimer::timeout, this, &Pipeline::runSlice);
}

void Pipeline::playPackets(int first, int last) {
    if (first > last) return;
    if (first == last) {
        playOne(first);
        return;
    }
    jobs_.push_back({first, last, buffer_.generation()});
    if (!slice_.isActive()) slice_.start();
}

void Pipeline::playOne(int packetNumber) {
    if (!buffer_.holds(packetNumber)) return;
    // The views may read the whole array: what lies beyond the packet is zero.
    const int len = buffer_.getLastByteIndex(packetNumber) + 1;
    std::memcpy(packetTxt_.data(), buffer_.packetData(packetNumber), std::size_t(len));
    if (packetLen_ > len) std::memset(packetTxt_.data() + len, 0, std::size_t(packetLen_ - len));
    packetLen_ = len;
    dispatchPacket(packetNumber, packetTxt_.data(), len);
}

void Pipeline::dispatchPacket(int packetNumber, const std::uint8_t* packetTxt, int packetLen) {
    if (filters_.isFilteredOut(buffer_.getIPProtocol(packetNumber))) return;
    computeByteFrequency(packetTxt, packetLen, frequency_.data());
    const PlayedPacket packet{packetNumber, packetTxt, packetLen, frequency_.data()};
    lastPlayed_ = packetNumber;
    for (int i = 0; i < ViewSet::kViewCount; ++i) {
        PacketView& view = views_.view(i);
        if (views_.isShown(i)) view.Plot(packet);
        view.plotThumbnail(packet);
    }
}

void Pipeline::computeByteFrequency(const std::uint8_t* packetTxt, int packetLen,
                                    float* frequency) {
    // Whole counts first: a float sum of ones is exact, so this is the same
    // value without a float add chained through memory for every byte.
    std::array<std::uint16_t, 256> count{};
    for (int i = 0; i < packetLen; ++i) ++count[packetTxt[i]];
    const float d = packetLen >= 2 ? float(packetLen - 1) : 1.0f;
    for (int v = 0; v < 256; ++v) frequency[v] = float(count[v]) / d;
}

void Pipeline::clearAllViews() {
    for (int i = 0; i < ViewSet::kViewCount; ++i) views_.view(i).clear();
}

void Pipeline::cancelAll() {
    const bool had = !jobs_.empty();
    jobs_.clear();
    slice_.stop();
    if (had) emit finished();
}

void Pipeline::runSlice() {
    QElapsedTimer clock;
    clock.start();
    while (!jobs_.empty()) {
        Job& job = jobs_.front();
        if (job.generation != buffer_.generation() || job.next > job.last) {
            jobs_.pop_front();
            continue;
        }
        playOne(job.next++);
        if (clock.elapsed() >= sliceMs_) break;
    }
    if (!jobs_.empty())
        slice_.start();
    else
        emit finished();
}

}  // namespace pelsid
