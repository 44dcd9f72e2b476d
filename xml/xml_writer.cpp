// The writer: the exact text of the settings and alarm files. Byte order mark, a one-line
// declaration, then one tag or attribute per line, one space of indent per level, CR LF line
// ends; every name and value escaped so the tokenizing parser reads it back.
#include <cstdlib>
#include <cstring>

#include "xml/xml_tree.h"

namespace {

// Room for the declaration with its longest version, encoding and standalone texts.
constexpr size_t DECLARATION_ROOM = 96;

// Bytes the writer may store past the end of a piece, to be overwritten by the next one.
constexpr size_t SPILL = 8;
static_assert(SPILL <= XML_SOURCE_PADDING, "plain text is read in pieces of the spill size");

// Visits the elements in document order through the parent links, so that a deep tree needs no
// stack: `open` for each element on the way down, `close` on the way back up.
template <typename Open, typename Close>
bool walkTree(const XmlNode* root, Open open, Close close) {
    const XmlNode* node = root;
    int32_t depth = 0;
    for (;;) {
        if (!open(node, depth)) return false;
        if (node->children.first) {
            node = node->children.first;
            depth++;
            continue;
        }
        for (;;) {
            if (!close(node, depth)) return false;
            if (node == root) return true;
            if (node->next) {
                node = node->next;
                break;
            }
            node = node->parent;
            depth--;
        }
    }
}

// An upper bound of the text's size (every byte escaped at its longest), so that the text is
// written into one block without checks on the way. False when the size does not fit in memory.
// The sums run in 64 bits, far beyond any tree that fits in memory; only the bound is checked.
bool textBound(const XmlNode* root, size_t* total) {
    uint64_t fixed = DECLARATION_ROOM + 3 + SPILL;
    uint64_t text = 0;
    auto open = [&fixed, &text](const XmlNode* element, int32_t depth) {
        uint64_t line = 2 + static_cast<uint64_t>(depth) + 1;
        // Start and end tag lines, and the line of a start tag's closing ">".
        fixed += 3 * line + 2;
        text += 2 * static_cast<uint64_t>(element->nameLength);
        for (const XmlAttr* a = element->attributes.first; a; a = a->next) {
            fixed += line + 1 + 6;
            text += static_cast<uint64_t>(a->nameLength) + a->valueLength;
        }
        return true;
    };
    auto close = [](const XmlNode*, int32_t) { return true; };
    walkTree(root, open, close);
    if (text > (UINT64_MAX - fixed) / XML_MAX_ESCAPE_GROWTH) return false;
    uint64_t bound = fixed + text * XML_MAX_ESCAPE_GROWTH;
    if (bound != static_cast<size_t>(bound)) return false;
    *total = static_cast<size_t>(bound);
    return true;
}

char* put(char* out, const char* text, size_t length) {
    memcpy(out, text, length);
    return out + length;
}

// Plain text is copied eight bytes at a time. Only the parser finds text plain, and it leaves it
// in the document's source copy, whose padding keeps the last read inside it; what the read takes
// past the text lands in the spill room.
char* putPlain(char* out, const char* text, size_t length) {
    memcpy(out, text, SPILL);
    for (size_t i = SPILL; i < length; i += SPILL)
        memcpy(out + i, text + i, SPILL);
    return out + length;
}

char* putText(char* out, const char* text, size_t length, bool plain) {
    if (plain) return putPlain(out, text, length);
    return out + xmlEscapeInto(text, length, out);
}

// A line break followed by `depth` spaces; the first store holds the break and six spaces.
char* newLine(char* out, int32_t depth) {
    memcpy(out, "\r\n      ", SPILL);
    for (int32_t i = 6; i < depth; i += static_cast<int32_t>(SPILL))
        memcpy(out + 2 + i, "        ", SPILL);
    return out + 2 + depth;
}

char* putNumber(char* out, uint32_t number) {
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number);
    while (n)
        *out++ = digits[--n];
    return out;
}

char* writeDeclaration(char* out, const XmlDocument* doc) {
    static const char* const encodings[] = {"UTF-8", "UTF-16", "Shift_JIS", "EUC-JP"};
    static const char* const standalones[] = {"no", "yes"};
    static const char start[] = "\xEF\xBB\xBF<?xml version=\"";
    out = put(out, start, sizeof start - 1);
    out = putNumber(out, doc->version >> 16);
    *out++ = '.';
    out = putNumber(out, doc->version & 0xFFFFu);
    *out++ = '"';
    if (doc->encoding >= 1 && doc->encoding <= 4) {
        out = put(out, " encoding=\"", 11);
        const char* name = encodings[doc->encoding - 1];
        out = put(out, name, strlen(name));
        *out++ = '"';
    }
    if (doc->standalone >= 1 && doc->standalone <= 2) {
        out = put(out, " standalone=\"", 13);
        const char* value = standalones[doc->standalone - 1];
        out = put(out, value, strlen(value));
        *out++ = '"';
    }
    return put(out, " ?>", 3);
}

// The start tag with one line per attribute; a tag with attributes closes on a line of its own.
char* writeStartTag(char* out, const XmlNode* element, int32_t depth) {
    out = newLine(out, depth);
    *out++ = '<';
    out = putText(out, element->name, element->nameLength, element->namePlain);
    for (const XmlAttr* a = element->attributes.first; a; a = a->next) {
        out = newLine(out, depth + 1);
        out = putText(out, a->name, a->nameLength, a->namePlain);
        out = put(out, " = \"", 4);
        out = putText(out, a->value, a->valueLength, a->valuePlain);
        *out++ = '"';
    }
    if (element->attributes.first) out = newLine(out, depth);
    *out++ = '>';
    return out;
}

char* writeEndTag(char* out, const XmlNode* element, int32_t depth) {
    out = newLine(out, depth);
    *out++ = '<';
    *out++ = '/';
    out = putText(out, element->name, element->nameLength, element->namePlain);
    *out++ = '>';
    return out;
}

// Writes the whole text into `out`, which holds at least the bound; returns its length.
size_t writeText(char* out, XmlDocument* doc) {
    char* start = out;
    out = writeDeclaration(out, doc);
    auto open = [&out, doc](const XmlNode* element, int32_t depth) {
        doc->outputIndent = depth;
        out = writeStartTag(out, element, depth);
        return true;
    };
    auto close = [&out, doc](const XmlNode* element, int32_t depth) {
        doc->outputIndent = depth;
        out = writeEndTag(out, element, depth);
        return true;
    };
    walkTree(doc->root, open, close);
    out = newLine(out, 0);
    *out = 0;
    return out - start;
}

void releaseOutput(XmlDocument* doc) {
    free(doc->outputText);
    doc->outputText = nullptr;
    doc->outputSize = 0;
    doc->outputIndent = 0;
    doc->outputCapacity = 0;
}

} // namespace

XmlStatus xmlSerialize(XmlDocument* doc, const char** text, size_t* length) {
    // The root, unlike the cursor, never changes in a live document and is read before the lock.
    if (!doc || !doc->root || !text || !length) return XmlInvalid;
    lockEnter(&doc->lock);
    XmlStatus status = XmlNoSpace;
    size_t bound = 0;
    if (!textBound(doc->root, &bound)) {
        releaseOutput(doc);
    } else if (bound > doc->outputCapacity) {
        // A block that is too small is replaced; one big enough is reused, since callers
        // serialise the same document again and again.
        releaseOutput(doc);
        doc->outputText = static_cast<char*>(malloc(bound));
        if (doc->outputText) doc->outputCapacity = bound;
    }
    if (doc->outputText) {
        size_t written = writeText(doc->outputText, doc);
        doc->outputSize = written + 1;
        doc->outputIndent = 0;
        *text = doc->outputText;
        *length = written;
        status = XmlOk;
    }
    lockLeave(&doc->lock);
    return status;
}

XmlStatus xmlReleaseText(XmlDocument* doc) {
    if (!doc || !doc->root) return XmlInvalid;
    lockEnter(&doc->lock);
    releaseOutput(doc);
    lockLeave(&doc->lock);
    return XmlOk;
}
