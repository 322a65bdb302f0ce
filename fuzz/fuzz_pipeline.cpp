// The whole pipeline: random frames through insertPacket, the decoders and
// every view's plot and plotThumbnail, with random window sizes and random
// values for every control of the view windows.
//
// Input: one byte of shown views, two bytes of size per view, one byte per
// view control (in creation order), then frames as a 16-bit big-endian
// length and the bytes. A length with the top bit set is a command instead:
// 0x8000 clears the views, 0x8001 plays the last 16 packets to the end as
// one run (as a render does, views leaving out what the run covers),
// 0x8002..0x8008 close view 1..7 with its close box (the pipeline recreates
// it hidden), any other plays the last 16 packets with the shown windows
// resized between every two packets.
//
// One application serves every input; each input starts from an empty buffer
// so that a crash replays from its input alone. The work per input is capped:
// random bytes are half commands, and a few plays cover what thousands do.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QSpinBox>
#include <QTimerEvent>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fieldviews/CombinedWindow.h"
#include "shell/Application.h"
#include "store/Dialogs.h"
#include "views/DetailWindow.h"
#include "widgets/SurfaceWidget.h"

using namespace pelsid;

namespace {
constexpr int kMaxFrames = 64;
constexpr int kMaxPlays = 4;
constexpr int kMaxCommands = 16;
constexpr int kRangeLength = 16;

// Answers Yes and keeps nothing: a record of every question would grow for
// the whole run.
class QuietDialogs : public Dialogs {
  public:
    bool question(const std::string&, const std::string&) override { return true; }
    void message(Icon, const std::string&, const std::string&) override {}
    std::string openFileName(const std::string&, const std::string&) override { return {}; }
    std::uint32_t chooseColor(std::uint32_t initial) override { return initial; }
};

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool empty() const { return at >= size; }
    int byte() { return at < size ? data[at++] : 0; }
};

// Made once and never destroyed: the process ends inside libFuzzer, after
// Qt's own globals are gone, so nothing may run Qt code at exit.
Application& application() {
    static int argc = 1;
    static char name[] = "fuzz_pipeline";
    static char* argv[] = {name, nullptr};
    static auto* qt = new QApplication(argc, argv);
    static auto* dialogs = new QuietDialogs;
    static Application* app = [] {
        auto* a = new Application(*dialogs, QStringLiteral("/nonexistent"));
        a->initApplication();
        // One packet per slice: a resize can come between any two packets.
        a->pipeline().setSliceBudget(0);
        return a;
    }();
    static_cast<void>(qt);
    return *app;
}

void setControls(QWidget* window, Reader& in) {
    for (QComboBox* c : window->findChildren<QComboBox*>())
        if (c->count() > 0) c->setCurrentIndex(in.byte() % c->count());
    for (QSpinBox* s : window->findChildren<QSpinBox*>())
        s->setValue(s->minimum() + in.byte() * (s->maximum() - s->minimum()) / 255);
    for (QAbstractSlider* s : window->findChildren<QAbstractSlider*>())
        s->setValue(s->minimum() + in.byte() * (s->maximum() - s->minimum()) / 255);
    // Clicked, as a user would, only to reach the state the input names, so
    // the state after an input does not depend on the inputs before it.
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->isCheckable() && b->isChecked() != bool(in.byte() & 1)) b->click();
}

// The views put their pictures on screen at a frame rate (33 ms timers) that
// an input of a few milliseconds never reaches: one frame now.
void showFrame(Application& app) {
    for (int i = 0; i < ViewSet::kViewCount; ++i) {
        ViewWindow* w = app.viewWindow(i);
        if (auto* detail = qobject_cast<DetailWindow*>(w)) detail->refreshText();
        if (qobject_cast<CombinedWindow*>(w)) {
            QTimerEvent frame(0);
            QCoreApplication::sendEvent(w, &frame);
        }
        for (SurfaceWidget* s : w->findChildren<SurfaceWidget*>()) s->refresh();
    }
    QCoreApplication::processEvents();
}

void waitForPlay(Application& app) {
    while (app.pipeline().busy()) QCoreApplication::processEvents();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Application& app = application();
    PacketBuffer& buffer = app.buffer();
    Reader in{data, size};
    app.pipeline().cancelAll();
    buffer.initBuffer();
    app.pipeline().clearAllViews();

    const int shown = in.byte();
    for (int i = 0; i < ViewSet::kViewCount; ++i) {
        const QString name = QStringLiteral("frmVis%1").arg(i + 1);
        if (app.registry().isShown(name) != bool(shown & (1 << i)))
            app.registry().toggleWindow(name);
        QWidget* window = app.viewWindow(i);
        // Up to 766 x 511: the time a packet takes grows with the pictures' area.
        const int w = 1 + in.byte() * 3, h = 1 + in.byte() * 2;
        window->resize(w, h);
    }
    for (int i = 0; i < ViewSet::kViewCount; ++i) setControls(app.viewWindow(i), in);
    QCoreApplication::processEvents();

    std::vector<std::uint8_t> frame;
    int frames = 0, plays = 0, commands = 0;
    while (!in.empty() && frames < kMaxFrames) {
        const int word = in.byte() << 8 | in.byte();
        if ((word & 0x8000) && ++commands > kMaxCommands) break;
        if (word == 0x8000) {
            app.pipeline().clearAllViews();
            continue;
        }
        if (word >= 0x8002 && word <= 0x8008) {
            if (QWidget* w = app.registry().existing(QStringLiteral("frmVis%1").arg(word - 0x8001)))
                w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            continue;
        }
        if (word & 0x8000) {
            if (++plays > kMaxPlays) continue;
            const int last = buffer.newestHeld();
            app.pipeline().playPackets(std::max(1, last - kRangeLength + 1), last);
            if (word == 0x8001)
                app.pipeline().playToEnd();
            else
                for (int i = 0; app.pipeline().busy(); i = (i + 1) % ViewSet::kViewCount) {
                    app.viewWindow(i)->resize(1 + (word * (i + 3)) % 700, 1 + (word >> i) % 500);
                    QCoreApplication::processEvents();
                }
            waitForPlay(app);
            showFrame(app);
            continue;
        }
        const int length = std::min<int>(word, int(in.size - in.at));
        if (length == 0) continue;
        frame.assign(data + in.at, data + in.at + length);
        in.at += std::size_t(length);
        ++frames;
        buffer.insertPacket({frame.data(), std::size_t(length)});
        const int n = buffer.newestHeld();
        app.pipeline().playPackets(n, n);
    }
    waitForPlay(app);
    showFrame(app);
    return 0;
}
