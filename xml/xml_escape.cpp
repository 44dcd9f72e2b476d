// Entity escapes. The tokenizing parser ends a token at a space, "=" or a line end, so the writer
// escapes those (and the markup characters) inside names and values, and the parser decodes them.
#include <cstdlib>
#include <cstring>

#include "xml/xml_tree.h"

const XmlEntity XmlEntityTable[XML_ENTITY_COUNT] = {
    {"\t", 1, nullptr, "&#009;"},  {"\r\n", 2, nullptr, "&#010;"}, {"\n", 1, nullptr, "&#010;"},
    {"\r", 1, nullptr, "&#010;"},  {" ", 1, "&nbsp;", "&#160;"},   {"!", 1, nullptr, "&#033;"},
    {"\"", 1, "&quot;", "&#034;"}, {"#", 1, nullptr, "&#035;"},    {"$", 1, nullptr, "&#036;"},
    {"%", 1, nullptr, "&#037;"},   {"&", 1, "&amp;", "&#038;"},    {"'", 1, "&apos;", "&#039;"},
    {"(", 1, nullptr, "&#040;"},   {")", 1, nullptr, "&#041;"},    {"*", 1, nullptr, "&#042;"},
    {":", 1, nullptr, "&#058;"},   {";", 1, nullptr, "&#059;"},    {"<", 1, "&lt;", "&#060;"},
    {"=", 1, nullptr, "&#061;"},   {">", 1, "&gt;", "&#062;"},     {"?", 1, nullptr, "&#063;"},
    {"@", 1, nullptr, "&#064;"},   {"^", 1, nullptr, "&#094;"},    {"{", 1, nullptr, "&#123;"},
    {"}", 1, nullptr, "&#125;"},
};

namespace {

constexpr unsigned char NO_ROW = 0xFF;
// Rows whose raw text is the carriage return, with and without a following line feed.
constexpr int ROW_CR_LF = 1;
constexpr int ROW_CR = 3;

// Lookups derived from the table: the row that escapes each byte (first match in row order), and
// the row that a three-digit numeric reference decodes to.
struct EntityLookup {
    unsigned char rowOfByte[256];
    unsigned char rowOfCode[1000];
    unsigned char escapedLength[XML_ENTITY_COUNT];
};

EntityLookup buildLookup() {
    EntityLookup lookup;
    memset(lookup.rowOfByte, NO_ROW, sizeof lookup.rowOfByte);
    memset(lookup.rowOfCode, NO_ROW, sizeof lookup.rowOfCode);
    for (int row = 0; row < XML_ENTITY_COUNT; row++) {
        const XmlEntity& e = XmlEntityTable[row];
        unsigned char first = static_cast<unsigned char>(e.raw[0]);
        if (e.rawLength == 1 && lookup.rowOfByte[first] == NO_ROW) lookup.rowOfByte[first] = row;
        int code = (e.numeric[2] - '0') * 100 + (e.numeric[3] - '0') * 10 + (e.numeric[4] - '0');
        if (lookup.rowOfCode[code] == NO_ROW) lookup.rowOfCode[code] = row;
        lookup.escapedLength[row] =
            static_cast<unsigned char>(strlen(e.named ? e.named : e.numeric));
    }
    return lookup;
}

const EntityLookup& lookup() {
    static const EntityLookup table = buildLookup();
    return table;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The table row of the entity at `text` (which starts with '&'), or -1; sets its length.
int matchEntity(const char* text, size_t available, size_t* entityLength) {
    if (available >= 6 && text[1] == '#' && isDigit(text[2]) && isDigit(text[3]) &&
        isDigit(text[4]) && text[5] == ';') {
        int code = (text[2] - '0') * 100 + (text[3] - '0') * 10 + (text[4] - '0');
        int row = lookup().rowOfCode[code];
        if (row != NO_ROW) {
            *entityLength = 6;
            return row;
        }
        return -1;
    }
    for (int row = 0; row < XML_ENTITY_COUNT; row++) {
        const char* named = XmlEntityTable[row].named;
        if (!named) continue;
        size_t n = strlen(named);
        if (available >= n && memcmp(text, named, n) == 0) {
            *entityLength = n;
            return row;
        }
    }
    return -1;
}

// The row that escapes the raw text at `text`, or -1.
int escapeRow(const char* text, size_t available) {
    int row = lookup().rowOfByte[static_cast<unsigned char>(*text)];
    if (row == ROW_CR && available >= 2 && text[1] == '\n') return ROW_CR_LF;
    return row == NO_ROW ? -1 : row;
}

size_t wholeLength(const char* text, size_t length) {
    return length ? length : strlen(text);
}

} // namespace

size_t xmlUnescapeInto(const char* text, size_t length, char* out) {
    size_t written = 0;
    const char* end = text + length;
    while (text < end) {
        const char* amp = static_cast<const char*>(memchr(text, '&', end - text));
        size_t plain = (amp ? amp : end) - text;
        memcpy(out + written, text, plain);
        written += plain;
        text += plain;
        if (!amp) break;
        size_t entityLength = 0;
        int row = matchEntity(text, end - text, &entityLength);
        if (row < 0) {
            out[written++] = '&';
            text++;
            continue;
        }
        memcpy(out + written, XmlEntityTable[row].raw, XmlEntityTable[row].rawLength);
        written += XmlEntityTable[row].rawLength;
        text += entityLength;
    }
    out[written] = 0;
    return written;
}

size_t xmlEscapeInto(const char* text, size_t length, char* out) {
    const EntityLookup& table = lookup();
    size_t written = 0;
    size_t i = 0;
    while (i < length) {
        int row = escapeRow(text + i, length - i);
        if (row < 0) {
            out[written++] = text[i++];
            continue;
        }
        const XmlEntity& e = XmlEntityTable[row];
        memcpy(out + written, e.named ? e.named : e.numeric, table.escapedLength[row]);
        written += table.escapedLength[row];
        i += e.rawLength;
    }
    return written;
}

ptrdiff_t xmlMatchEscaped(const char* name, size_t length, const char* text, size_t available) {
    const EntityLookup& table = lookup();
    size_t matched = 0;
    size_t i = 0;
    while (i < length) {
        int row = escapeRow(name + i, length - i);
        const char* piece = name + i;
        size_t pieceLength = 1;
        if (row >= 0) {
            const XmlEntity& e = XmlEntityTable[row];
            piece = e.named ? e.named : e.numeric;
            pieceLength = table.escapedLength[row];
            i += e.rawLength;
        } else {
            i++;
        }
        if (available - matched < pieceLength || memcmp(text + matched, piece, pieceLength) != 0) {
            return -1;
        }
        matched += pieceLength;
    }
    return static_cast<ptrdiff_t>(matched);
}

size_t xmlUnescapedLength(const char* text, size_t length) {
    length = wholeLength(text, length);
    size_t decoded = 0;
    const char* end = text + length;
    while (text < end) {
        size_t entityLength = 0;
        int row = *text == '&' ? matchEntity(text, end - text, &entityLength) : -1;
        if (row < 0) {
            decoded++;
            text++;
        } else {
            decoded += XmlEntityTable[row].rawLength;
            text += entityLength;
        }
    }
    return decoded;
}

size_t xmlEscapedLength(const char* text, size_t length) {
    length = wholeLength(text, length);
    size_t escaped = 0;
    size_t i = 0;
    while (i < length) {
        int row = escapeRow(text + i, length - i);
        if (row < 0) {
            escaped++;
            i++;
        } else {
            escaped += lookup().escapedLength[row];
            i += XmlEntityTable[row].rawLength;
        }
    }
    return escaped;
}

char* xmlUnescape(const char* text, size_t length) {
    if (!text) return nullptr;
    length = wholeLength(text, length);
    char* out = static_cast<char*>(malloc(length + 1));
    if (out) xmlUnescapeInto(text, length, out);
    return out;
}

char* xmlEscape(const char* text, size_t length) {
    if (!text) return nullptr;
    length = wholeLength(text, length);
    char* out = static_cast<char*>(malloc(xmlEscapedLength(text, length) + 1));
    if (!out) return nullptr;
    out[xmlEscapeInto(text, length, out)] = 0;
    return out;
}
