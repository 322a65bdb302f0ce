#include "commands/ExportCommand.h"

#include "commands/CommandRead.h"
#include "store/PacketExport.h"

namespace pelsid {

int runExportCommand(const std::string& out, const std::string& path, const LoadChoice& choice,
                     std::ostream& err) {
    const CaptureFile file = readForCommand(path, choice, err);
    if (!file.isLoadable()) return 1;
    const std::string error = writePackets(out, file.frames());
    if (!error.empty()) {
        err << "error: " << error << '\n';
        return 1;
    }
    err << file.recordCount() << (file.recordCount() == 1 ? " packet" : " packets")
        << " written to " << out << '\n';
    return 0;
}

}  // namespace pelsid
