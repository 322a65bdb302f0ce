#include "commands/FieldsReport.h"

#include "commands/CommandRead.h"
#include "store/IpFlags.h"
#include "store/PacketBuffer.h"
#include "store/ProtocolNames.h"

namespace pelsid {

namespace {
constexpr const char* kHeader =
    "number\tlength\tethertype\tipversion\tihl\ttos\ttotallength\tid\tflags\tfragoffset\tttl\t"
    "protocol\tprotocolname\tchecksum\tsrc\tdst\ttcpsport\ttcpdport\tudpsport\tudpdport\ttime\tvlan"
    "\tframe\n";

void appendField(std::string& line, const std::string& value) {
    line += value;
    line += '\t';
}
void appendField(std::string& line, std::int64_t value) {
    appendField(line, std::to_string(value));
}
}  // namespace

void writeFieldsReport(const PacketBuffer& b, std::ostream& out) {
    out << kHeader;
    std::string line;
    for (int n = b.oldestHeld(); n <= b.newestHeld(); ++n) {
        line.clear();
        appendField(line, n);
        appendField(line, b.frameLength(n));
        appendField(line, b.getEtherTypeText(n));
        appendField(line, b.getIPVersion(n));
        appendField(line, b.getIPHeaderLength(n));
        appendField(line, b.getTOS(n));
        appendField(line, b.getIPTotalLength(n));
        appendField(line, b.getIPID(n));
        appendField(line, ipFlagsLabel(b.fields(n)));
        appendField(line, b.getFragOffset(n));
        appendField(line, b.getTTL(n));
        appendField(line, b.getIPProtocol(n));
        appendField(line, std::string(protocolName(b.getIPProtocol(n))));
        appendField(line, b.getIPChecksum(n));
        appendField(line, b.getSrcIPText(n));
        appendField(line, b.getDstIPText(n));
        appendField(line, b.getTCPSrcPort(n));
        appendField(line, b.getTCPDstPort(n));
        appendField(line, b.getUDPSrcPort(n));
        appendField(line, b.getUDPDstPort(n));
        appendField(line, epochText(b.captureTime(n)));
        // The outermost VLAN ID; empty for an untagged frame.
        const PacketFields& f = b.fields(n);
        if (f.tagged) line += std::to_string(f.vlanId);
        // Where the packet sits in its file, to find it in another tool; empty when captured.
        line += '\t';
        if (b.frameNumber(n) != 0) line += std::to_string(b.frameNumber(n));
        line += '\n';
        out << line;
    }
}

int runFieldsCommand(const std::string& path, const LoadChoice& choice, std::ostream& out,
                     std::ostream& err) {
    const CaptureFile file = readForCommand(path, choice, err);
    if (!file.isLoadable()) return 1;
    PacketBuffer buffer;
    file.insertInto(buffer);
    writeFieldsReport(buffer, out);
    out.flush();
    return out ? 0 : 1;
}

}  // namespace pelsid
