#include "capture/CaptureAdapter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pcap/pcap.h>

#include "capture/LiveCapture.h"

namespace pelsid {

namespace {
std::string firstIpv4(const pcap_if_t& device) {
    for (const pcap_addr_t* a = device.addresses; a; a = a->next) {
        if (!a->addr || a->addr->sa_family != AF_INET) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) return text;
    }
    return {};
}
}  // namespace

std::vector<CaptureAdapter> listCaptureAdapters(std::string* error) {
    std::vector<CaptureAdapter> adapters;
    char errbuf[PCAP_ERRBUF_SIZE] = {};
    pcap_if_t* devices = nullptr;
    if (pcap_findalldevs(&devices, errbuf) != 0) {
        if (error) *error = errbuf;
        return adapters;
    }
    for (const pcap_if_t* d = devices; d; d = d->next) {
        CaptureAdapter a;
        a.name = d->name;
        a.description = d->description && *d->description ? d->description : d->name;
        if (const std::string ip = firstIpv4(*d); !ip.empty()) a.description += " (" + ip + ")";
        a.usable = LiveCapture::canCapture(a.name);
        adapters.push_back(std::move(a));
    }
    pcap_freealldevs(devices);
    return adapters;
}

}  // namespace pelsid
