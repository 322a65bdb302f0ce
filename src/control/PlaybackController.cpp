#include "control/PlaybackController.h"

#include <algorithm>
#include <cmath>

#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
constexpr std::int64_t kWorkBudgetNs = 50'000'000;  // per timer event, so the windows stay live
constexpr std::int64_t kMeasuredRefreshNs = 250'000'000;  // how often the measured rate is told
}  // namespace

PlaybackController::PlaybackController(PacketBuffer& buffer, Pipeline& pipeline, Hooks hooks,
                                       QObject* parent)
    : QObject(parent), buffer_(buffer), pipeline_(pipeline), hooks_(std::move(hooks)) {
    steady_.start();
    timer_.setObjectName(QStringLiteral("tmrPlayTimer"));
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(intervalFor(rate_));
    connect(&timer_, &QTimer::timeout, this, &PlaybackController::onPlayTimer);
}

std::int64_t PlaybackController::now() const {
    return hooks_.clockNs ? hooks_.clockNs() : steady_.nsecsElapsed();
}

int PlaybackController::intervalFor(int packetsPerSecond) {
    return int(std::nearbyint(1000.0 / packetsPerSecond));
}

void PlaybackController::reset() {
    loop_ = false;
    realTime_ = false;
    factor_ = 1.0;
    rate_ = kDefaultRate;
    timer_.setInterval(intervalFor(rate_));
    endPlay(State::Stopped);
    bufferChanged();
    handles_ = {};
    range_.reset();
    extent_.reset();
    if (buffer_.newestHeld() > 0)
        resetRange();
    else
        emit rangeChanged();
}

void PlaybackController::halt() {
    setRunning(false);
    state_ = State::Stopped;
    emit stateChanged();
}

// Transport.

std::int64_t PlaybackController::periodNs() const {
    return 1'000'000'000 / rate_;
}

void PlaybackController::setState(State state) {
    state_ = state;
    setRunning(state == State::Playing);
    emit stateChanged();
}

void PlaybackController::setRunning(bool on) {
    if (on == timer_.isActive()) return;
    if (on) {
        pacer_.start(now(), periodNs());
        realTimePacer_.start(now());
        meter_.reset();
        timer_.start();
    } else {
        timer_.stop();
        meter_.reset();
    }
    measuredShownAt_ = 0;
    showMeasuredRate();
}

void PlaybackController::play() {
    // Play from Stop starts afresh; from a pause or the end it goes on over what is drawn.
    if (state_ == State::Stopped) pipeline_.clearAllViews();
    setState(State::Playing);
}

void PlaybackController::pause() {
    if (state_ == State::Playing)
        setState(State::Paused);
    else if (state_ == State::Paused)
        play();
}

void PlaybackController::stop() {
    endPlay(state_ == State::Stopped ? State::Idle : State::Stopped);
}

void PlaybackController::playOrPause() {
    if (playPressed())
        pause();
    else
        play();
}

void PlaybackController::clearViews() {
    pipeline_.clearAllViews();
}

void PlaybackController::endPlay(State state) {
    setRunning(false);
    setPosition(first_);
    state_ = state;
    emit stateChanged();
}

void PlaybackController::onPlayTimer() {
    if (realTime_) {
        playRealTime();
        return;
    }
    const std::int64_t started = now();
    const int due = pacer_.due(started);
    for (int i = 0; i < due && running(); ++i) {
        tick();
        pacer_.consumed(1);
        const std::int64_t t = now();
        meter_.record(t);
        if (t - started >= kWorkBudgetNs) break;
    }
    showMeasuredRate();
}

void PlaybackController::playRealTime() {
    const std::int64_t started = now();
    while (running() && realTimePacer_.take(now(), realTimeWait())) {
        tick();
        meter_.record(now());
        if (now() - started >= kWorkBudgetNs) break;
    }
    showMeasuredRate();
    // Wake when the next packet is due, and often enough to see a new factor soon.
    const std::int64_t until = realTimePacer_.untilDue(now(), realTimeWait());
    timer_.setInterval(int(std::clamp<std::int64_t>(until / 1'000'000, 1, 250)));
}

std::int64_t PlaybackController::realTimeWait() const {
    // The step back to the start of a loop, and the end, keep the rate set.
    if (buffer_.newestHeld() == 0 || position_ >= last_ || !buffer_.holds(position_))
        return periodNs();
    return RealTimePacer::waitNs(buffer_.captureTime(position_), buffer_.captureTime(position_ + 1),
                                 factor_, periodNs());
}

void PlaybackController::showMeasuredRate() {
    if (!running()) {
        emit measuredRateChanged(0);
        return;
    }
    const std::int64_t t = now();
    if (measuredShownAt_ != 0 && t - measuredShownAt_ < kMeasuredRefreshNs) return;
    measuredShownAt_ = t;
    emit measuredRateChanged(meter_.rate());
}

void PlaybackController::tick() {
    if (buffer_.newestHeld() == 0) {  // nothing held: playback simply ends
        endPlay(State::Idle);
        return;
    }
    if (position_ < last_)
        playAt(position_ + 1);
    else if (loop_)
        playAt(first_);
    else
        endPlay(State::Idle);
}

void PlaybackController::setPosition(int packet) {
    position_ = packet;
    emit positionChanged(packet);
}

void PlaybackController::playAt(int packet) {
    setPosition(packet);
    pipeline_.playPackets(packet, packet);
}

void PlaybackController::stepBackward() {
    if (first_ < position_) playAt(position_ - 1);
}

void PlaybackController::stepForward() {
    if (position_ < last_) playAt(position_ + 1);
}

// Position.

void PlaybackController::seek(int packet) {
    pipeline_.clearAllViews();
    playAt(std::clamp(packet, first_, last_));
}

void PlaybackController::goTo(int packet) {
    if (std::clamp(packet, first_, last_) != position_) seek(packet);
}

void PlaybackController::bufferChanged() {
    first_ = buffer_.oldestHeld();
    newest_ = buffer_.newestHeld();
    // An empty buffer leaves one position, 1 (the last cannot go below the first).
    last_ = std::max(first_, newest_);
    const int clamped = std::clamp(position_, first_, last_);
    if (clamped != position_) setPosition(clamped);
    emit heldChanged();
}

// Rate and pacing.

void PlaybackController::setRate(int packetsPerSecond) {
    packetsPerSecond = std::clamp(packetsPerSecond, kMinRate, kMaxRate);
    if (packetsPerSecond == rate_) return;
    rate_ = packetsPerSecond;
    if (!realTime_) timer_.setInterval(intervalFor(rate_));
    if (running()) pacer_.start(now(), periodNs());
    emit stateChanged();
}

void PlaybackController::setLoop(bool on) {
    if (on == loop_) return;
    loop_ = on;
    emit stateChanged();
}

void PlaybackController::setRealTime(bool on) {
    if (on == realTime_) return;
    realTime_ = on;
    timer_.setInterval(intervalFor(rate_));
    if (running()) {
        pacer_.start(now(), periodNs());
        realTimePacer_.start(now());
    }
    emit stateChanged();
}

void PlaybackController::setFactor(double factor) {
    factor = std::clamp(factor, RealTimePacer::kMinFactor, RealTimePacer::kMaxFactor);
    if (factor == factor_) return;
    factor_ = factor;
    emit stateChanged();
}

// Buffer range.

void PlaybackController::resetRange() {
    const int count = buffer_.newestHeld();
    const int oldest = buffer_.oldestHeld();
    range_ = extent_ = PacketRange{oldest, count};
    emit rangeChanged();
}

void PlaybackController::dragMinHandle(int x, int grab) {
    handles_.minLeft = pelsid::dragMinHandle(handles_.minLeft, BufferRangeGeometry::kHandleWidth, x,
                                             grab, handles_.maxLeft);
    emit rangeChanged();
}

void PlaybackController::dragMaxHandle(int x, int grab) {
    handles_.maxLeft = pelsid::dragMaxHandle(handles_.maxLeft, x, grab, handles_.minLeft,
                                             BufferRangeGeometry::kHandleWidth,
                                             BufferRangeGeometry::kMaxHandleRight);
    emit rangeChanged();
}

void PlaybackController::applyHandles() {
    using G = BufferRangeGeometry;
    const int maxOffset = handles_.maxLeft - G::kHandleWidth + G::kRightMargin;
    const PacketRange r = packetRangeFor(handles_.minLeft, maxOffset, G::kTrackLength,
                                         buffer_.oldestHeld(), buffer_.newestHeld());
    range_ = r;
    emit rangeChanged();
    if (hooks_.rangeChosen) hooks_.rangeChosen();
    pipeline_.playPackets(r.first, r.last);
}

}  // namespace pelsid
