#pragma once
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdint>

#include "control/PlaybackController.h"
#include "pipeline/FilterModel.h"
#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"
#include "support/RecordingViews.h"

namespace pelsid::test {

/// A playback controller over a buffer and recording views, on a fake clock
/// that moves only when a test says so.
class PlaybackRig : public ::testing::Test {
  protected:
    static constexpr std::int64_t kMs = 1'000'000;

    PlaybackRig() {
        buffer.setListener([this](const PacketBuffer&) { playback.bufferChanged(); });
    }

    void fill(int n) {
        const std::uint8_t bytes[60] = {};
        for (int i = 0; i < n; ++i) buffer.insertPacket({bytes, 60});
    }
    /// Moves the fake clock on and lets the play timer fire once.
    void advance(std::int64_t ms) {
        clock += ms * kMs;
        playback.onPlayTimer();
    }
    /// Waits for what the pipeline plays on its own thread.
    void runJobs() {
        while (pipeline.busy()) QCoreApplication::processEvents();
    }

    PacketBuffer buffer;
    FilterModel filters;
    RecordingViews views;
    Pipeline pipeline{buffer, filters, views};
    std::int64_t clock = 0;
    std::int64_t clockStep = 0;  // the clock moves on this far at each reading: work takes time
    int reinits = 0;             // ranges chosen with the handles
    PlaybackController playback{
        buffer, pipeline, {[this] { ++reinits; }, [this] { return clock += clockStep; }}};
};

}  // namespace pelsid::test
