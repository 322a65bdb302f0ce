#pragma once
#include <cstdint>
#include <string>

#include "store/LoadProblem.h"

namespace pelsid {

/// The messages every reader gives in the same words.
LoadProblem notPelsidProblem();
/// More frames were chosen than the buffer holds; it took frames
/// `firstFrame`..`lastFrame` of the file.
LoadProblem exceededProblem(std::uint64_t firstFrame = 1, std::uint64_t lastFrame = 0);
LoadProblem cutProblem(int cutCount);
LoadProblem fileError(const std::string& fileName, const std::string& reason);
LoadProblem fileWarning(const std::string& fileName, const std::string& text);
/// A file damaged part-way: which frame, where it starts, why, and how many
/// packets before it were kept.
LoadProblem damageProblem(const std::string& fileName, std::uint64_t frame, std::uint64_t offset,
                          const std::string& reason, int kept);

}  // namespace pelsid
