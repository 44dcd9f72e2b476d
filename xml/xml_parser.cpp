// The tokenizing parser. It reads the text form the writer produces, and a little more: a
// declaration, one root element of nested elements with attributes, and whitespace or comments
// between tokens. A token is a run of valid UTF-8 ending at a space, "=", CR or LF, which is why
// the writer escapes those inside names and values.
//
// The element loop keeps its place in the tree through the cursor instead of recursing, so input
// depth never reaches the machine stack.
#include <array>
#include <cstdlib>
#include <cstring>

#include "xml/xml_tree.h"

namespace {

// Inputs of 16 bytes or fewer are refused unexamined; no file the writer makes is that short.
constexpr size_t XML_MIN_INPUT = 17;
// Room the document's first block is given per byte of input: its copy of the input and, for the
// program's own files, about all of their nodes (a 40-byte record for each 20-byte attribute line).
constexpr size_t NODE_BYTES_PER_INPUT_BYTE = 4;

using Byte = unsigned char;

enum TagResult { TAG_FAILED, TAG_OPEN, TAG_EMPTY };

struct Parser {
    // The document's own copy of the input, in its blocks, which names and values are read and
    // decoded in. `end` and the padding after it are zero bytes, which end every token, so the
    // scans read ahead without checking for the end.
    Byte* copy;
    const Byte* pos;
    const Byte* end;
    XmlDocument* doc;
    uint32_t version;
    XmlEncoding encoding;
    XmlStandalone standalone;
    bool rootNamed;
};

// Byte classes for the two hot loops: what whitespace skipping and token scanning stop at.
enum : Byte { PLAIN = 0, BLANK = 1, ENDS_TOKEN = 2, CHECK = 4 };

// For skipping: blanks, "<" (which may open a comment) and bytes to check as UTF-8.
constexpr std::array<Byte, 256> buildSkipClasses() {
    std::array<Byte, 256> classes{};
    classes[' '] = BLANK;
    classes['\n'] = BLANK;
    classes['\r'] = BLANK;
    classes['<'] = CHECK;
    classes[0] = CHECK; // the text ends at a zero byte
    for (int c = 0x80; c < 0x100; c++)
        classes[c] = CHECK;
    return classes;
}

// For tokens: the bytes that end one and bytes to check as UTF-8.
constexpr std::array<Byte, 256> buildTokenClasses() {
    std::array<Byte, 256> classes{};
    classes[' '] = ENDS_TOKEN;
    classes['\n'] = ENDS_TOKEN;
    classes['\r'] = ENDS_TOKEN;
    classes['='] = ENDS_TOKEN;
    classes[0] = ENDS_TOKEN;
    for (int c = 0x80; c < 0x100; c++)
        classes[c] = CHECK;
    return classes;
}

constexpr std::array<Byte, 256> SKIP_CLASSES = buildSkipClasses();
constexpr std::array<Byte, 256> TOKEN_CLASSES = buildTokenClasses();

// Classes for attribute names and values, which are scanned and found plain (see XmlNode) in one
// pass. The order matters: bytes up to ESCAPED continue the token.
enum : Byte { SCAN_PLAIN = 0, SCAN_ESCAPED = 1, SCAN_CHECK = 2, SCAN_STOP = 3 };

// Stops where a token ends; `quoteStops` also stops at a double quote, to find a value's end.
constexpr std::array<Byte, 256> buildScanClasses(bool quoteStops) {
    std::array<Byte, 256> classes{};
    for (int c = 0; c < 256; c++) {
        if (TOKEN_CLASSES[c] == ENDS_TOKEN) {
            classes[c] = SCAN_STOP;
        } else if (TOKEN_CLASSES[c] == CHECK) {
            classes[c] = SCAN_CHECK;
        } else if (XmlEscapedByte[c]) {
            classes[c] = SCAN_ESCAPED;
        }
    }
    if (quoteStops) classes['"'] = SCAN_STOP;
    return classes;
}

constexpr std::array<Byte, 256> NAME_CLASSES = buildScanClasses(false);
constexpr std::array<Byte, 256> VALUE_CLASSES = buildScanClasses(true);

// Position just after the next "-->" from `p`, or `end` when the comment is never closed.
const Byte* commentEnd(const Byte* p, const Byte* end) {
    while (end - p >= 3) {
        const Byte* dash = static_cast<const Byte*>(memchr(p, '-', end - p - 2));
        if (!dash) break;
        if (dash[1] == '-' && dash[2] == '>') return dash + 3;
        p = dash + 1;
    }
    return end;
}

// Spaces at `q`, counted eight bytes a round; the zero bytes at the end stop the count.
inline size_t leadingSpaces(const Byte* q) {
    for (size_t n = 0;; n += 8) {
        uint64_t word;
        memcpy(&word, q + n, 8);
        // Little-endian: the first byte that is not a space is the lowest nonzero byte.
        uint64_t other = word ^ 0x2020202020202020ull;
        if (other) return n + static_cast<size_t>(__builtin_ctzll(other)) / 8;
    }
}

// Skips spaces, line ends, comments and bytes that begin no valid UTF-8 sequence. Tab is not
// whitespace here.
inline void skipWhitespace(Parser* p) {
    const Byte* q = p->pos;
    const Byte* end = p->end;
    // The writer's line break and indent, taken in one go before the general loop.
    if (q[0] == '\r' && q[1] == '\n') q += 2 + leadingSpaces(q + 2);
    while (q < end) {
        Byte c = *q;
        Byte kind = SKIP_CLASSES[c];
        if (kind == BLANK) {
            q++;
        } else if (kind == PLAIN || c == 0) {
            break;
        } else if (c == '<') {
            if (end - q < 4 || q[1] != '!' || q[2] != '-' || q[3] != '-') break;
            q = commentEnd(q + 4, end);
        } else if (xmlSequenceLength(q, end) == 0) {
            q++;
        } else {
            break;
        }
    }
    p->pos = q;
}

// Length of the token at the current position (possibly 0).
inline size_t tokenLength(const Parser* p) {
    const Byte* q = p->pos;
    const Byte* end = p->end;
    while (q < end) {
        Byte kind = TOKEN_CLASSES[*q];
        if (kind == PLAIN) {
            q++;
            continue;
        }
        if (kind == ENDS_TOKEN) break;
        size_t n = xmlSequenceLength(q, end);
        if (n == 0) break;
        q += n;
    }
    return q - p->pos;
}

// Scans from `q` as the token rules do, but stopping at the bytes `classes` marks; returns where
// it stopped and sets whether any byte on the way is one the writer escapes.
inline const Byte* scanToken(const Byte* q, const Byte* end, const std::array<Byte, 256>& classes,
                             bool* escaped) {
    Byte seen = 0;
    // Four bytes a round while none of them stops the run (their classes' union then stays at
    // or below SCAN_ESCAPED). The zero bytes at the end stop both loops.
    for (;;) {
        Byte kinds = classes[q[0]] | classes[q[1]] | classes[q[2]] | classes[q[3]];
        if (kinds > SCAN_ESCAPED) break;
        seen |= kinds;
        q += 4;
    }
    for (;;) {
        Byte kind = classes[*q];
        if (kind <= SCAN_ESCAPED) {
            seen |= kind;
            q++;
            continue;
        }
        if (kind == SCAN_STOP) break;
        size_t n = xmlSequenceLength(q, end);
        if (n == 0) break;
        q += n;
    }
    *escaped = seen != 0;
    return q;
}

bool tokenIs(const Parser* p, size_t length, const char* text) {
    return length == strlen(text) && memcmp(p->pos, text, length) == 0;
}

// Reads `= value` after a declaration item and returns the value token's length, or 0.
size_t declarationValue(Parser* p) {
    skipWhitespace(p);
    if (p->pos >= p->end || *p->pos != '=') return 0;
    p->pos++;
    skipWhitespace(p);
    return tokenLength(p);
}

// The quoted value must be one of `names`; the quotes (of either kind) are not examined. Returns
// the 1-based index of the name that matched, or 0.
int quotedChoice(const Parser* p, size_t length, const char* const* names, int count) {
    for (int i = 0; i < count; i++) {
        size_t n = strlen(names[i]);
        if (length == n + 2 && memcmp(p->pos + 1, names[i], n) == 0) return i + 1;
    }
    return 0;
}

bool parseDeclaration(Parser* p) {
    static const char* const versions[] = {"1.0", "1.1"};
    static const char* const encodings[] = {"UTF-8", "UTF-16", "Shift_JIS", "EUC-JP"};
    static const char* const standalones[] = {"no", "yes"};
    skipWhitespace(p);
    size_t length = tokenLength(p);
    if (length < 5 || memcmp(p->pos, "<?xml", 5) != 0) return false;
    p->pos += length;
    for (;;) {
        skipWhitespace(p);
        length = tokenLength(p);
        if (tokenIs(p, length, "?>")) {
            p->pos += length;
            return true;
        }
        int item = tokenIs(p, length, "version")      ? 1
                   : tokenIs(p, length, "encoding")   ? 2
                   : tokenIs(p, length, "standalone") ? 3
                                                      : 0;
        if (item == 0) return false;
        p->pos += length;
        length = declarationValue(p);
        int choice = item == 1   ? quotedChoice(p, length, versions, 2)
                     : item == 2 ? quotedChoice(p, length, encodings, 4)
                                 : quotedChoice(p, length, standalones, 2);
        if (choice == 0) return false;
        if (item == 1) p->version = choice == 1 ? XML_VERSION_1_0 : XML_VERSION_1_1;
        if (item == 2) p->encoding = static_cast<XmlEncoding>(choice);
        if (item == 3) p->standalone = static_cast<XmlStandalone>(choice);
        p->pos += length;
    }
}

// Whether none of the bytes is one the writer escapes (nor an ampersand, so the bytes decode to
// themselves).
bool plainText(const Byte* text, size_t length) {
    Byte escaped = 0;
    for (size_t i = 0; i < length; i++)
        escaped |= XmlEscapedByte[text[i]];
    return escaped == 0;
}

// Decodes `length` raw bytes of the document's own copy of the input where they lie: no entity
// decodes longer than it is written, so the decoded text never outgrows its raw bytes.
size_t decodeInPlace(Byte* raw, size_t length) {
    char* text = reinterpret_cast<char*>(raw);
    return xmlUnescapeInto(text, length, text);
}

// Tokens are valid UTF-8 already; of the element names the writer cannot carry, that leaves the
// empty ones and those beginning or ending with "/".
bool writableName(const char* name, size_t length) {
    return length > 0 && name[0] != '/' && name[length - 1] != '/';
}

// A name or value read in place: decoded where it lies unless the scan found it plain, and left
// where it lies either way. Sets the decoded length.
char* textInPlace(Parser* p, const Byte* raw, size_t length, bool plain, size_t* decoded) {
    Byte* bytes = p->copy + (raw - p->copy);
    *decoded = plain ? length : decodeInPlace(bytes, length);
    return reinterpret_cast<char*>(bytes);
}

// Names the root, which the document was created with.
bool nameRoot(Parser* p, const Byte* raw, size_t length) {
    bool plain = plainText(raw, length);
    size_t decoded = 0;
    char* name = textInPlace(p, raw, length, plain, &decoded);
    if (!writableName(name, decoded)) return false;
    XmlNode* root = p->doc->root;
    root->name = name;
    root->nameLength = static_cast<uint32_t>(decoded);
    root->namePlain = plain;
    p->rootNamed = true;
    return true;
}

// Enters the cursor's child of this raw name, creating it unless it exists: a repeated sibling
// name merges into the element already read.
bool enterChild(Parser* p, const Byte* raw, size_t length) {
    XmlDocument* doc = p->doc;
    bool plain = plainText(raw, length);
    size_t decoded = 0;
    char* name = textInPlace(p, raw, length, plain, &decoded);
    if (!writableName(name, decoded)) return false;
    uint64_t bit = xmlNameBit(name, decoded);
    XmlNode* child = xmlFindNamed(doc, &doc->cursor->children, name, decoded, bit);
    if (!child) {
        child = xmlAppendChild(doc, doc->cursor, name, decoded, bit);
        if (!child) return false;
        child->namePlain = plain;
    }
    doc->cursor = child;
    return true;
}

// Raw bytes of an attribute name or value, and whether the scan found them plain: then they
// decode to themselves and stay as they are.
struct RawText {
    const Byte* bytes;
    size_t length;
    bool plain;
};

// A repeated attribute takes the value read last.
bool setAttribute(Parser* p, const RawText& rawName, const RawText& rawValue) {
    XmlDocument* doc = p->doc;
    size_t decoded = 0;
    char* name = textInPlace(p, rawName.bytes, rawName.length, rawName.plain, &decoded);
    uint64_t bit = xmlNameBit(name, decoded);
    XmlAttr* attribute = xmlFindNamed(doc, &doc->cursor->attributes, name, decoded, bit);
    if (!attribute) {
        attribute = xmlAppendAttribute(doc, doc->cursor, name, decoded, bit);
        if (!attribute) return false;
        attribute->namePlain = rawName.plain;
    }
    attribute->value = textInPlace(p, rawValue.bytes, rawValue.length, rawValue.plain, &decoded);
    attribute->valueLength = static_cast<uint32_t>(decoded);
    attribute->valueCapacity = static_cast<uint32_t>(decoded);
    attribute->valuePlain = rawValue.plain;
    return true;
}

// The quoted value token at the current position. Usually the closing quote is the first one
// after the opening quote and ends the token, and one scan finds both the end and whether the
// text is plain; otherwise the general token rule decides and the text is decoded in full.
RawText valueToken(const Parser* p) {
    const Byte* pos = p->pos;
    if (*pos == '"') {
        bool escaped = false;
        const Byte* q = scanToken(pos + 1, p->end, VALUE_CLASSES, &escaped);
        // A quote just before the end is followed by the zero there, which ends a token.
        if (*q == '"' && TOKEN_CLASSES[q[1]] == ENDS_TOKEN) {
            return RawText{pos, static_cast<size_t>(q + 1 - pos), !escaped};
        }
    }
    return RawText{pos, tokenLength(p), false};
}

// One `name = "value"` item of a start tag; the name token is at the current position.
bool parseAttribute(Parser* p, size_t nameLength, bool nameEscaped) {
    RawText name{p->pos, nameLength, !nameEscaped};
    p->pos += nameLength;
    // The writer puts exactly " = " between name and value; anything else takes the long way.
    if (memcmp(p->pos, " = \"", 4) == 0) {
        p->pos += 3;
    } else {
        skipWhitespace(p);
        if (p->pos >= p->end || *p->pos != '=') return false;
        p->pos++;
        skipWhitespace(p);
    }
    RawText value = valueToken(p);
    size_t length = value.length;
    if (length < 2 || p->pos[0] != '"' || p->pos[length - 1] != '"') return false;
    p->pos += length;
    value.bytes++;
    value.length -= 2;
    return setAttribute(p, name, value);
}

// Reads a start tag with its attributes and leaves the cursor on its element.
TagResult parseStartTag(Parser* p) {
    skipWhitespace(p);
    if (p->pos >= p->end || *p->pos != '<') return TAG_FAILED;
    p->pos++;
    skipWhitespace(p);
    size_t length = tokenLength(p);
    if (length == 0) return TAG_FAILED;
    // A name written directly before ">" or "/>" does not take those into the name.
    if (p->pos[length - 1] == '>') {
        length--;
        if (length > 0 && p->pos[length - 1] == '/') length--;
    }
    bool created = p->rootNamed ? enterChild(p, p->pos, length) : nameRoot(p, p->pos, length);
    if (!created) return TAG_FAILED;
    p->pos += length;
    for (;;) {
        skipWhitespace(p);
        bool escaped = false;
        length = scanToken(p->pos, p->end, NAME_CLASSES, &escaped) - p->pos;
        if (length > 0 && *p->pos == '>') {
            p->pos++;
            return TAG_OPEN;
        }
        if (length == 2 && p->pos[0] == '/' && p->pos[1] == '>') {
            p->pos += 2;
            return TAG_EMPTY;
        }
        if (length == 0 || !parseAttribute(p, length, escaped)) return TAG_FAILED;
    }
}

// Reads "</name>" for the cursor element, the name in its escaped form.
bool parseEndTag(Parser* p) {
    p->pos += 2;
    skipWhitespace(p);
    const XmlNode* node = p->doc->cursor;
    ptrdiff_t matched = -1;
    if (!node->namePlain) {
        matched = xmlMatchEscaped(node->name, node->nameLength,
                                  reinterpret_cast<const char*>(p->pos), p->end - p->pos);
    } else if (static_cast<size_t>(p->end - p->pos) >= node->nameLength &&
               memcmp(p->pos, node->name, node->nameLength) == 0) {
        // A plain name is its own escaped form.
        matched = static_cast<ptrdiff_t>(node->nameLength);
    }
    if (matched < 0) return false;
    p->pos += matched;
    skipWhitespace(p);
    if (p->pos >= p->end || *p->pos != '>') return false;
    p->pos++;
    return true;
}

bool atEndTag(const Parser* p) {
    return p->end - p->pos >= 2 && p->pos[0] == '<' && p->pos[1] == '/';
}

// The root element and everything inside it. `depth` counts the open elements.
bool parseElements(Parser* p) {
    TagResult tag = parseStartTag(p);
    if (tag != TAG_OPEN) return tag == TAG_EMPTY;
    int depth = 1;
    for (;;) {
        skipWhitespace(p);
        if (atEndTag(p)) {
            if (!parseEndTag(p)) return false;
            if (--depth == 0) return true;
            p->doc->cursor = p->doc->cursor->parent;
            continue;
        }
        if (depth >= XML_MAX_DEPTH) return false;
        tag = parseStartTag(p);
        if (tag == TAG_FAILED) return false;
        if (tag == TAG_OPEN) {
            depth++;
        } else {
            p->doc->cursor = p->doc->cursor->parent;
        }
    }
}

} // namespace

XmlDocument* xmlParse(const void* bytes, size_t length) {
    if (!bytes || length < XML_MIN_INPUT) return nullptr;
    const Byte* start = static_cast<const Byte*>(bytes);
    const Byte* zero = static_cast<const Byte*>(memchr(start, 0, length));
    size_t used = zero ? static_cast<size_t>(zero - start) : length;
    // No name or value can then be longer than the records hold.
    if (used > XML_MAX_TEXT) return nullptr;
    size_t firstBlock =
        used <= SIZE_MAX / NODE_BYTES_PER_INPUT_BYTE ? used * NODE_BYTES_PER_INPUT_BYTE : SIZE_MAX;
    XmlDocument* doc =
        xmlTreeCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_NONE, "", 0, firstBlock);
    if (!doc) return nullptr;
    // One copy of the whole text instead of one per name and value; the caller keeps its bytes.
    Byte* copy = static_cast<Byte*>(xmlArenaAlloc(&doc->arena, used + XML_SOURCE_PADDING));
    if (!copy) {
        xmlTreeFree(doc);
        return nullptr;
    }
    memcpy(copy, start, used);
    memset(copy + used, 0, XML_SOURCE_PADDING);
    Parser p{copy, copy, copy + used, doc, 0, XML_ENCODING_NONE, XML_STANDALONE_NONE, false};
    if (memcmp(p.pos, "\xEF\xBB\xBF", 3) == 0) p.pos += 3;
    if (!parseDeclaration(&p) || !parseElements(&p)) {
        xmlTreeFree(doc);
        return nullptr;
    }
    // A file that declares no version is written back as "1.0", since the parser accepts no other
    // text on the next load.
    if (p.version) doc->version = p.version;
    doc->encoding = p.encoding;
    doc->standalone = p.standalone;
    doc->cursor = doc->root;
    return doc;
}
