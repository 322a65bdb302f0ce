#pragma once
#include <QCoreApplication>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/CaptureSession.h"
#include "pipeline/FilterModel.h"
#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"
#include "support/RecordingViews.h"
#include "support/ScriptedCaptureSource.h"
#include "support/ScriptedDialogs.h"

namespace pelsid::test {

// A frame whose first four bytes carry its number, so order can be checked;
// the rest is a non-zero fill, so a byte read past its end shows.
inline std::vector<std::uint8_t> numberedFrame(std::uint32_t k, int size = 60) {
    std::vector<std::uint8_t> f(std::size_t(size), 0x5A);
    for (int i = 0; i < 4 && i < size; ++i) f[std::size_t(i)] = std::uint8_t(k >> (24 - 8 * i));
    return f;
}
inline std::uint32_t numberOf(const PacketBuffer& b, int packet) {
    const std::uint8_t* d = b.packetData(packet);
    return std::uint32_t(d[0]) << 24 | std::uint32_t(d[1]) << 16 | std::uint32_t(d[2]) << 8 | d[3];
}

// Answers a question after running an action, as the user would while frames keep coming.
struct AskingDialogs : ScriptedDialogs {
    std::function<void()> whileAsking;
    bool question(const std::string& title, const std::string& text) override {
        if (whileAsking) whileAsking();
        return ScriptedDialogs::question(title, text);
    }
};

// A capture session on a buffer whose views record what they are asked.
struct CaptureSessionRig {
    CaptureSessionRig() : pipeline(buffer, filters, views) {}

    CaptureSession& open(std::vector<CaptureAdapter> scriptedAdapters) {
        auto s = std::make_unique<ScriptedCaptureSource>();
        s->adapters = std::move(scriptedAdapters);
        source = s.get();
        return open(std::move(s));
    }
    CaptureSession& open(std::unique_ptr<CaptureSource> s) {
        session = std::make_unique<CaptureSession>(std::move(s), buffer, pipeline, dialogs);
        return *session;
    }
    // The adapter of that name in a fresh list, counted from 1; 0 when none is.
    int adapterNamed(const std::string& name) {
        session->source().refresh();
        for (int i = 1; i <= session->source().adapterCount(); ++i)
            if (session->source().adapter(i).name == name) return i;
        return 0;
    }
    // What the capturing side handed over reaches the session.
    static void deliver() { QCoreApplication::sendPostedEvents(); }

    PacketBuffer buffer;
    FilterModel filters;
    RecordingViews views;
    Pipeline pipeline;
    AskingDialogs dialogs;
    ScriptedCaptureSource* source = nullptr;  // when open on a scripted source
    std::unique_ptr<CaptureSession> session;
};

inline const std::vector<CaptureAdapter> kTwoAdapters = {{"eth0", "eth0 (10.0.0.7)", true},
                                                         {"usbmon1", "usbmon1", false}};
}  // namespace pelsid::test
