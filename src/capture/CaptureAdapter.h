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
/// when the adapters cannot be enumerated (the list is empty then).
std::vector<CaptureAdapter> listCaptureAdapters(std::string* error = nullptr);

}  // namespace pelsid
