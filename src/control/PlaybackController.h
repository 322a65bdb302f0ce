#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

#include "control/BufferRange.h"
#include "control/RateMeter.h"
#include "control/RealTimePacer.h"
#include "control/TickPacer.h"

namespace pelsid {

class PacketBuffer;
class Pipeline;

/// Plays the buffer through the views like a video recorder: the transport
/// (play, pause, stop, step), the position, the rate with Loop and Real Time
/// pacing, and the buffer range chosen with two handles. It holds no widget;
/// the PVR window shows it and edits it, and the keys and Export use it too.
///
/// Play, Pause and Stop act as three toggle buttons would: Play stays pressed
/// while playing or paused, Stop is pressed only after it was clicked, and a
/// second click on Stop releases it (stopping again).
class PlaybackController : public QObject {
    Q_OBJECT
  public:
    enum class State {
        Stopped,  ///< Stop pressed
        Idle,     ///< stopped with Stop released: at the end of the buffer, or Stop clicked twice
        Playing,
        Paused,
    };
    struct Hooks {
        /// A range was chosen with the handles: re-initialise the views that show it.
        std::function<void()> rangeChosen;
        /// Monotonic time in nanoseconds; empty for the system's steady clock.
        std::function<std::int64_t()> clockNs;
    };
    /// Handle places on the range strip, left edges in twips.
    struct Handles {
        int minLeft = 0;
        int maxLeft = BufferRangeGeometry::kMaxHandleRight;
    };

    static constexpr int kMinRate = 1;
    static constexpr int kMaxRate = 1000;
    static constexpr int kDefaultRate = 10;

    PlaybackController(PacketBuffer& buffer, Pipeline& pipeline, Hooks hooks = {},
                       QObject* parent = nullptr);

    /// As the PVR opens: stopped with Stop pressed at the oldest packet, the
    /// default rate, Loop and Real Time off, the handles at the track's ends,
    /// and the whole buffer as the range when anything is held.
    void reset();
    /// Playback ends with the window that shows it (the timer stops).
    void halt();

    // Transport: each does what a click on its button does.
    void play();
    void pause();
    void stop();
    void stepBackward();
    void stepForward();
    /// Space: works Pause while Play is pressed (playing or paused), Play otherwise.
    void playOrPause();
    void clearViews();

    State state() const { return state_; }
    bool playPressed() const { return state_ == State::Playing || state_ == State::Paused; }
    bool pausePressed() const { return state_ == State::Paused; }
    bool stopPressed() const { return state_ == State::Stopped; }
    bool running() const { return timer_.isActive(); }
    const QTimer& timer() const { return timer_; }

    /// Timer interval for a rate: 1000 / rate ms, halves to even.
    static int intervalFor(int packetsPerSecond);
    /// The timer's handler: performs as many ticks as the time elapsed since
    /// the last one calls for (tests call it with a fake clock). With Real
    /// Time on, a tick is due when the captured gap to the packet it plays,
    /// divided by the factor, has passed.
    void onPlayTimer();

    /// The packet playing; between first() and last().
    int position() const { return position_; }
    /// The oldest and newest packet as last told by bufferChanged (at least one position).
    int first() const { return first_; }
    int last() const { return last_; }
    /// The packet count as last told by bufferChanged (0 when nothing is held).
    int newest() const { return newest_; }
    /// Clears the views and draws `packet` (clamped to the buffer) alone.
    void seek(int packet);
    /// Seeks when `packet` is not where playback stands.
    void goTo(int packet);
    /// The buffer changed: the position's bounds follow it (the position is
    /// pushed up with the oldest); nothing plays or clears.
    void bufferChanged();

    int rate() const { return rate_; }
    void setRate(int packetsPerSecond);
    bool loop() const { return loop_; }
    void setLoop(bool on);
    bool realTime() const { return realTime_; }
    void setRealTime(bool on);
    double factor() const { return factor_; }
    void setFactor(double factor);

    /// The replay range last chosen, from the handles or as the whole buffer;
    /// none before either.
    std::optional<PacketRange> range() const { return range_; }
    /// The held packets when the whole buffer was last made the range.
    std::optional<PacketRange> extent() const { return extent_; }
    /// The whole buffer becomes the replay range (after a load); the handles stay.
    void resetRange();
    const Handles& handles() const { return handles_; }
    /// Drags a handle to `x` (twips, in the handle), grabbed at `grab`: it
    /// stays on the track and apart from the other.
    void dragMinHandle(int x, int grab);
    void dragMaxHandle(int x, int grab);
    /// The handles' places become the range, which is played.
    void applyHandles();

  signals:
    /// The transport state, rate, Loop or Real Time setting changed.
    void stateChanged();
    /// Playback moved (also when it stays, as Stop at the oldest packet does).
    void positionChanged(int packet);
    /// The bounds of the position followed the buffer.
    void heldChanged();
    /// The range, its extent or the handles changed.
    void rangeChanged();
    /// The rate playback achieved over the last second; 0 when not measured.
    void measuredRateChanged(double packetsPerSecond);

  private:
    void setState(State state);
    void setRunning(bool on);
    /// The stop steps: the timer off, back at the oldest packet, Play and Pause out.
    void endPlay(State state);
    void tick();
    void playAt(int packet);
    void setPosition(int packet);
    void playRealTime();
    /// The wait before the packet the next tick plays, in Real Time.
    std::int64_t realTimeWait() const;
    std::int64_t periodNs() const;
    void showMeasuredRate();
    std::int64_t now() const;

    PacketBuffer& buffer_;
    Pipeline& pipeline_;
    Hooks hooks_;
    QElapsedTimer steady_;
    QTimer timer_;
    TickPacer pacer_;
    RealTimePacer realTimePacer_;
    RateMeter meter_;
    std::int64_t measuredShownAt_ = 0;

    State state_ = State::Stopped;
    int position_ = 1;
    int first_ = 1;
    int last_ = 1;
    int newest_ = 0;
    int rate_ = kDefaultRate;
    bool loop_ = false;
    bool realTime_ = false;
    double factor_ = 1.0;
    std::optional<PacketRange> range_;
    std::optional<PacketRange> extent_;
    Handles handles_;
};

}  // namespace pelsid
