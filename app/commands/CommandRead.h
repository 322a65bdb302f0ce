#pragma once
#include <ostream>
#include <string>

#include "store/CaptureFile.h"

namespace pelsid {

/// Reads the frames of `path` that `choice` picks, as a load does, and
/// writes each of its messages to `err` as an "error: " or "warning: " line.
CaptureFile readForCommand(const std::string& path, const LoadChoice& choice, std::ostream& err);

}  // namespace pelsid
