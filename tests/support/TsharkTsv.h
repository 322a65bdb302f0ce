#pragma once
// What tshark printed for a capture's frames (-T fields -E header=y
// -E separator=/t), one row per frame, each field by its name.
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace pelsid::test {

using TsharkRow = std::map<std::string, std::string>;

inline std::vector<TsharkRow> readTsharkTsv(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    std::vector<std::string> names;
    std::istringstream header(line);
    for (std::string name; std::getline(header, name, '\t');) names.push_back(name);
    std::vector<TsharkRow> rows;
    while (std::getline(in, line)) {
        TsharkRow row;
        std::size_t start = 0;
        for (const std::string& name : names) {
            const std::size_t tab = line.find('\t', start);
            row[name] = line.substr(start, tab == std::string::npos ? tab : tab - start);
            start = tab == std::string::npos ? line.size() : tab + 1;
        }
        rows.push_back(row);
    }
    return rows;
}

/// A number as tshark prints it (decimal or 0x hex); 0 for an empty field.
inline long long tsharkNumber(const std::string& s) {
    return s.empty() ? 0 : std::stoll(s, nullptr, 0);
}

}  // namespace pelsid::test
