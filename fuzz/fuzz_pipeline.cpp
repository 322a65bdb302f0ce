// The whole pipeline: random frames through insertPacket, the decoders and
// every view's Plot and plotThumbnail, with random window sizes and random
// values for every control of the view windows.
//
// Input: one byte of shown views, two bytes of size per view, one byte per
// view control (in creation order), then frames as a 16-bit big-endian
// length and the bytes. A length with the top bit set is a command instead:
// 0x8000 clears the views, 0x8001 plays the last 64 packets as a range job,
// 0x8002..0x8008 close view 1..7 with its close box (the pipeline recreates
// it hidden), any other plays the last 64 packets with the shown windows
// resized in between.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QSpinBox>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "shell/Application.h"
#include "support/ScriptedDialogs.h"

using namespace pelsid;

namespace {
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
    static auto* dialogs = new ScriptedDialogs;
    static Application* app = [] {
        auto* a = new Application(*dialogs, QStringLiteral("/nonexistent"));
        a->initApplication();
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
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->isCheckable() && (in.byte() & 1)) b->click();
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

    const int shown = in.byte();
    for (int i = 0; i < ViewSet::kViewCount; ++i) {
        const QString name = QStringLiteral("frmVis%1").arg(i + 1);
        if (app.registry().isShown(name) != bool(shown & (1 << i)))
            app.registry().toggleWindow(name);
        QWidget* window = app.viewWindow(i);
        const int w = 1 + in.byte() * 6, h = 1 + in.byte() * 4;
        window->resize(w, h);
    }
    for (int i = 0; i < ViewSet::kViewCount; ++i) setControls(app.viewWindow(i), in);
    QCoreApplication::processEvents();

    std::vector<std::uint8_t> frame;
    while (!in.empty()) {
        const int word = in.byte() << 8 | in.byte();
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
            const int last = buffer.getPacketCount();
            app.pipeline().playPackets(std::max(1, last - 63), last);
            if (word != 0x8001)
                for (int i = 0; app.pipeline().busy(); i = (i + 1) % ViewSet::kViewCount) {
                    app.viewWindow(i)->resize(1 + (word * (i + 3)) % 900, 1 + (word >> i) % 700);
                    QCoreApplication::processEvents();
                }
            waitForPlay(app);
            continue;
        }
        const int length = std::min<int>(word, int(in.size - in.at));
        if (length == 0) continue;
        frame.assign(data + in.at, data + in.at + length);
        in.at += std::size_t(length);
        buffer.insertPacket(frame.data(), length - 1);
        const int n = buffer.getPacketCount();
        app.pipeline().playPackets(n, n);
    }
    waitForPlay(app);
    return 0;
}
