// Reassembles the comment packet from its Ogg pages and walks its length fields.
#include "plugins/vorbis/comment_header_check.h"

#include <cstring>
#include <vector>

namespace {

constexpr size_t PAGE_HEADER_BYTES = 27;
// Comment headers beyond this (pictures of many megabytes) are not worth holding twice.
constexpr size_t MAX_PACKET_BYTES = 16 << 20;

uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The page at `at`: its segment table and where its body starts; false when it is no whole page.
struct Page {
    const uint8_t* lacing;
    size_t segments;
    size_t body;
    size_t end;
};

bool pageAt(const uint8_t* data, size_t size, size_t at, Page* page) {
    if (at > size || size - at < PAGE_HEADER_BYTES || std::memcmp(data + at, "OggS", 4) != 0)
        return false;
    page->segments = data[at + 26];
    page->lacing = data + at + PAGE_HEADER_BYTES;
    page->body = at + PAGE_HEADER_BYTES + page->segments;
    size_t bodyBytes = 0;
    for (size_t k = 0; k < page->segments && page->body <= size; ++k)
        bodyBytes += page->lacing[k];
    if (page->body > size || size - page->body < bodyBytes) return false;
    page->end = page->body + bodyBytes;
    return true;
}

// The packet that starts at the beginning of the second page, across as many pages as it spans.
bool secondPagePacket(const uint8_t* data, size_t size, std::vector<uint8_t>* packet) {
    Page page;
    if (!pageAt(data, size, 0, &page)) return false;
    size_t at = page.end;
    while (pageAt(data, size, at, &page)) {
        size_t offset = page.body;
        for (size_t k = 0; k < page.segments; ++k) {
            if (packet->size() > MAX_PACKET_BYTES) return false;
            packet->insert(packet->end(), data + offset, data + offset + page.lacing[k]);
            offset += page.lacing[k];
            if (page.lacing[k] < 255) return true;
        }
        at = page.end;
    }
    return false;
}

} // namespace

bool commentHeaderIsSound(const uint8_t* data, size_t size, size_t* packetBytes) {
    std::vector<uint8_t> packet;
    if (!secondPagePacket(data, size, &packet)) return false;
    const uint8_t* p = packet.data();
    size_t left = packet.size();
    if (left < 7 || p[0] != 3 || std::memcmp(p + 1, "vorbis", 6) != 0) return false;
    p += 7;
    left -= 7;
    // The vendor text, then the count of comments, each a length and its text.
    if (left < 4 || readU32(p) > left - 4) return false;
    left -= 4 + readU32(p);
    p += 4 + readU32(p);
    if (left < 4) return false;
    uint32_t count = readU32(p);
    p += 4;
    left -= 4;
    if (count > left / 4) return false;
    for (uint32_t k = 0; k < count; ++k) {
        if (left < 4 || readU32(p) > left - 4) return false;
        left -= 4 + readU32(p);
        p += 4 + readU32(p);
    }
    *packetBytes = packet.size();
    return left >= 1; // the framing bit
}
