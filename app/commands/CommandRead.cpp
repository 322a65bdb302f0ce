#include "commands/CommandRead.h"

namespace pelsid {

CaptureFile readForCommand(const std::string& path, const LoadChoice& choice, std::ostream& err) {
    ReadOptions options;
    options.choice = choice;
    CaptureFile file = readCaptureFile(path, options);
    for (const LoadProblem& p : file.problems())
        err << (p.severity == LoadProblem::Severity::Error ? "error: " : "warning: ") << p.text
            << '\n';
    return file;
}

}  // namespace pelsid
