// Entity escapes. The tokenizing parser ends a token at a space, "=" or a line end, so the writer
// escapes those (and the markup characters) inside names and values, and the parser decodes them.
#include <cstdlib>
#include <cstring>

#include "xml/xml_tree.h"

// The table is constexpr so that the byte lookups below are built at compile time.
constexpr XmlEntity ENTITY_ROWS[XML_ENTITY_COUNT] = {
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

const XmlEntity XmlEntityTable[XML_ENTITY_COUNT] = {
    ENTITY_ROWS[0],  ENTITY_ROWS[1],  ENTITY_ROWS[2],  ENTITY_ROWS[3],  ENTITY_ROWS[4],
    ENTITY_ROWS[5],  ENTITY_ROWS[6],  ENTITY_ROWS[7],  ENTITY_ROWS[8],  ENTITY_ROWS[9],
    ENTITY_ROWS[10], ENTITY_ROWS[11], ENTITY_ROWS[12], ENTITY_ROWS[13], ENTITY_ROWS[14],
    ENTITY_ROWS[15], ENTITY_ROWS[16], ENTITY_ROWS[17], ENTITY_ROWS[18], ENTITY_ROWS[19],
    ENTITY_ROWS[20], ENTITY_ROWS[21], ENTITY_ROWS[22], ENTITY_ROWS[23], ENTITY_ROWS[24],
};

namespace {

constexpr unsigned char NO_ROW = 0xFF;
// Rows whose raw text is the carriage return, with and without a following line feed.
constexpr int ROW_CR_LF = 1;
constexpr int ROW_CR = 3;

constexpr size_t textLength(const char* text) {
    size_t n = 0;
    while (text[n])
        n++;
    return n;
}

// Lookups derived from the table: the row that escapes each byte (first match in row order), the
// row that a three-digit numeric reference decodes to, and what each row writes.
struct EntityLookup {
    unsigned char rowOfByte[256];
    unsigned char rowOfCode[1000];
    const char* written[XML_ENTITY_COUNT];
    unsigned char writtenLength[XML_ENTITY_COUNT];
};

constexpr EntityLookup buildLookup() {
    EntityLookup lookup{};
    for (unsigned char& row : lookup.rowOfByte)
        row = NO_ROW;
    for (unsigned char& row : lookup.rowOfCode)
        row = NO_ROW;
    for (int row = 0; row < XML_ENTITY_COUNT; row++) {
        const XmlEntity& e = ENTITY_ROWS[row];
        unsigned char first = static_cast<unsigned char>(e.raw[0]);
        if (e.rawLength == 1 && lookup.rowOfByte[first] == NO_ROW) lookup.rowOfByte[first] = row;
        int code = (e.numeric[2] - '0') * 100 + (e.numeric[3] - '0') * 10 + (e.numeric[4] - '0');
        if (lookup.rowOfCode[code] == NO_ROW) lookup.rowOfCode[code] = row;
        lookup.written[row] = e.named ? e.named : e.numeric;
        lookup.writtenLength[row] = static_cast<unsigned char>(textLength(lookup.written[row]));
    }
    return lookup;
}

constexpr EntityLookup LOOKUP = buildLookup();

constexpr bool escapedBytesAgree() {
    for (int c = 0; c < 256; c++) {
        if ((XmlEscapedByte[c] != 0) != (LOOKUP.rowOfByte[c] != NO_ROW)) return false;
    }
    return true;
}
static_assert(escapedBytesAgree(), "the escaped byte list must follow the entity table");

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The table row of the entity at `text` (which starts with '&'), or -1; sets its length.
int matchEntity(const char* text, size_t available, size_t* entityLength) {
    if (available >= 6 && text[1] == '#' && isDigit(text[2]) && isDigit(text[3]) &&
        isDigit(text[4]) && text[5] == ';') {
        int code = (text[2] - '0') * 100 + (text[3] - '0') * 10 + (text[4] - '0');
        int row = LOOKUP.rowOfCode[code];
        if (row != NO_ROW) {
            *entityLength = 6;
            return row;
        }
        return -1;
    }
    for (int row = 0; row < XML_ENTITY_COUNT; row++) {
        const char* named = ENTITY_ROWS[row].named;
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
    int row = LOOKUP.rowOfByte[static_cast<unsigned char>(*text)];
    if (row == ROW_CR && available >= 2 && text[1] == '\n') return ROW_CR_LF;
    return row == NO_ROW ? -1 : row;
}

size_t wholeLength(const char* text, size_t length) {
    return length ? length : strlen(text);
}

} // namespace

size_t xmlUnescapeInto(const char* text, size_t length, char* out) {
    const char* end = text + length;
    char* o = out;
    while (text < end) {
        if (*text != '&') {
            *o++ = *text++;
            continue;
        }
        size_t entityLength = 0;
        int row = matchEntity(text, end - text, &entityLength);
        if (row < 0) {
            *o++ = *text++;
            continue;
        }
        memcpy(o, ENTITY_ROWS[row].raw, ENTITY_ROWS[row].rawLength);
        o += ENTITY_ROWS[row].rawLength;
        text += entityLength;
    }
    return o - out;
}

size_t xmlEscapeInto(const char* text, size_t length, char* out) {
    const char* end = text + length;
    char* o = out;
    while (text < end) {
        unsigned char c = static_cast<unsigned char>(*text);
        int row = LOOKUP.rowOfByte[c];
        if (row == NO_ROW) {
            *o++ = static_cast<char>(c);
            text++;
            continue;
        }
        if (row == ROW_CR && end - text >= 2 && text[1] == '\n') row = ROW_CR_LF;
        memcpy(o, LOOKUP.written[row], LOOKUP.writtenLength[row]);
        o += LOOKUP.writtenLength[row];
        text += ENTITY_ROWS[row].rawLength;
    }
    return o - out;
}

ptrdiff_t xmlMatchEscaped(const char* name, size_t length, const char* text, size_t available) {
    size_t matched = 0;
    size_t i = 0;
    while (i < length) {
        int row = escapeRow(name + i, length - i);
        const char* piece = name + i;
        size_t pieceLength = 1;
        if (row >= 0) {
            piece = LOOKUP.written[row];
            pieceLength = LOOKUP.writtenLength[row];
            i += ENTITY_ROWS[row].rawLength;
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
            decoded += ENTITY_ROWS[row].rawLength;
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
            escaped += LOOKUP.writtenLength[row];
            i += ENTITY_ROWS[row].rawLength;
        }
    }
    return escaped;
}

char* xmlUnescape(const char* text, size_t length) {
    if (!text) return nullptr;
    length = wholeLength(text, length);
    char* out = static_cast<char*>(malloc(length + 1));
    if (out) out[xmlUnescapeInto(text, length, out)] = 0;
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
