#pragma once
#include <string>
#include <vector>

namespace pelsid {

/// A network adapter as the capture window lists it.
struct CaptureAdapter {
    std::string name;         // libpcap's device name, e.g. "eth0"
    std::string description;  // the list line: description or name, and the first IPv4 address
    bool usable = false;      // libpcap can open it with Ethernet framing
};

/// Every adapter libpcap reports, in its order. `error` gets libpcap's reason
/// when the adapters cannot be enumerated (the list is empty then). Telling
/// the usable ones needs the right to capture.
std::vector<CaptureAdapter> listCaptureAdapters(std::string* error = nullptr);

/// The adapters as the capture helper lists them: a line each of name, 1 or 0
/// for usable, libpcap's description and every address, separated by tabs
/// (the addresses by spaces). Tabs and line breaks in the texts become spaces.
std::string adapterListText(std::string* error = nullptr);
/// The adapters of such a text; lines that are not one are passed over.
std::vector<CaptureAdapter> parseAdapterList(const std::string& text);

}  // namespace pelsid
