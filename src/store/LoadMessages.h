#pragma once
#include <string>

#include "store/LoadProblem.h"

namespace pelsid {

/// The messages every reader gives in the same words.
LoadProblem notPelsidProblem();
LoadProblem exceededProblem();
LoadProblem cutProblem(int cutCount);
LoadProblem fileError(const std::string& fileName, const std::string& reason);
LoadProblem fileWarning(const std::string& fileName, const std::string& text);

}  // namespace pelsid
