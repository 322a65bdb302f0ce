#include "capture/CaptureAdapter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pcap/pcap.h>

#include <sstream>

#include "capture/LiveCapture.h"

namespace pelsid {

namespace {
std::string addressText(const sockaddr* a) {
    char text[INET6_ADDRSTRLEN] = {};
    if (a && a->sa_family == AF_INET &&
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a)->sin_addr, text, sizeof text))
        return text;
    if (a && a->sa_family == AF_INET6 &&
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr, text,
                  sizeof text))
        return text;
    return {};
}

// The list line: the description (or the name) and the first IPv4 address.
std::string listLine(const std::string& name, const std::string& description,
                     const std::string& firstIpv4) {
    std::string line = description.empty() ? name : description;
    if (!firstIpv4.empty()) line += " (" + firstIpv4 + ")";
    return line;
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

struct Device {
    std::string name, description;
    std::vector<std::string> ipv4, others;
};

std::vector<Device> devices(std::string* error) {
    std::vector<Device> out;
    char errbuf[PCAP_ERRBUF_SIZE] = {};
    pcap_if_t* all = nullptr;
    if (pcap_findalldevs(&all, errbuf) != 0) {
        if (error) *error = errbuf;
        return out;
    }
    for (const pcap_if_t* d = all; d; d = d->next) {
        Device device{d->name, d->description ? d->description : "", {}, {}};
        for (const pcap_addr_t* a = d->addresses; a; a = a->next) {
            const std::string text = addressText(a->addr);
            if (text.empty()) continue;
            (a->addr->sa_family == AF_INET ? device.ipv4 : device.others).push_back(text);
        }
        out.push_back(std::move(device));
    }
    pcap_freealldevs(all);
    return out;
}
}  // namespace

std::vector<CaptureAdapter> listCaptureAdapters(std::string* error) {
    std::vector<CaptureAdapter> adapters;
    for (const Device& d : devices(error))
        adapters.push_back({d.name,
                            listLine(d.name, d.description, d.ipv4.empty() ? "" : d.ipv4[0]),
                            LiveCapture::canCapture(d.name)});
    return adapters;
}

std::string adapterListText(std::string* error) {
    std::string text;
    for (const Device& d : devices(error)) {
        std::string addresses;
        for (const auto* list : {&d.ipv4, &d.others})
            for (const std::string& a : *list) addresses += (addresses.empty() ? "" : " ") + a;
        text += oneLine(d.name) + '\t' + (LiveCapture::canCapture(d.name) ? "1" : "0") + '\t' +
                oneLine(d.description) + '\t' + addresses + '\n';
    }
    return text;
}

std::vector<CaptureAdapter> parseAdapterList(const std::string& text) {
    std::vector<CaptureAdapter> adapters;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
        if (f.size() == 3) f.emplace_back();  // no address
        if (f.size() != 4 || f[0].empty() || (f[1] != "0" && f[1] != "1")) continue;
        // IPv4 addresses come first.
        std::string first = f[3].substr(0, f[3].find(' '));
        if (first.find(':') != std::string::npos) first.clear();
        adapters.push_back({f[0], listLine(f[0], f[2], first), f[1] == "1"});
    }
    return adapters;
}

}  // namespace pelsid
