// Test helper: the program's pictures read straight from res/, the way the resource compiler
// takes them (res/images.rc names the files; a BITMAP resource is its .bmp file without the
// 14-byte file header).
#pragma once

#include "tests/unit/memory_resources.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

inline std::vector<uint8_t> readResFile(const std::string& name) {
    std::ifstream in(std::string(VESK_SOURCE_DIR) + "/res/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Every BITMAP and PNG listed in res/images.rc; empty when the list is missing.
inline MemoryResources resFileResources() {
    MemoryResources r;
    std::ifstream list(std::string(VESK_SOURCE_DIR) + "/res/images.rc");
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        unsigned id = 0;
        std::string type;
        std::string quoted;
        if (!(fields >> id >> type >> quoted) || quoted.size() < 3) continue;
        std::vector<uint8_t> bytes = readResFile(quoted.substr(1, quoted.size() - 2));
        if (type == "PNG") {
            r.pngs[uint16_t(id)] = bytes;
        } else if (type == "BITMAP" && bytes.size() > 14 && bytes[0] == 'B' && bytes[1] == 'M') {
            r.bitmaps[uint16_t(id)].assign(bytes.begin() + 14, bytes.end());
        }
    }
    return r;
}
