#pragma once
#include <cstdint>
#include <string>

#include "store/LoadProblem.h"

namespace pelsid {

/// The messages every reader gives in the same words.
LoadProblem notPelsidProblem();
LoadProblem exceededProblem();
LoadProblem cutProblem(int cutCount);
LoadProblem fileError(const std::string& fileName, const std::string& reason);
LoadProblem fileWarning(const std::string& fileName, const std::string& text);
/// A file damaged part-way: which frame, where it starts, why, and how many
/// packets before it were kept.
LoadProblem damageProblem(const std::string& fileName, std::uint64_t frame, std::uint64_t offset,
                          const std::string& reason, int kept);

}  // namespace pelsid
