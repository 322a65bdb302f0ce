#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "store/CaptureReader.h"
#include "store/LoadProblem.h"
#include "store/Overview.h"
#include "store/ReadOptions.h"

namespace pelsid {

/// What a pass over a whole capture found.
struct OverviewScan {
    Overview overview;
    CaptureFormat format = CaptureFormat::Unreadable;
    std::vector<LoadProblem> problems;
    bool cancelled = false;
};

/// One streaming pass over the whole of `path` with the reader, decoder and
/// choice (first frame, filter) a load uses, counting every frame into
/// intervals of `interval` (see Overview). Memory does not depend on the
/// file's size.
OverviewScan scanOverview(const std::string& path, const ReadOptions& options,
                          std::int64_t interval = 0);
/// The same into `scan` (its overview already made with the interval wanted),
/// holding `guard` while it adds a frame, so another thread may copy the
/// overview as it grows.
void scanOverviewInto(OverviewScan& scan, const std::string& path, const ReadOptions& options,
                      std::mutex* guard = nullptr);

/// The kind an overview counts a stored frame as.
int overviewKindOf(std::span<const std::uint8_t> frame);

}  // namespace pelsid
