// The in-memory tree of an XML document and the unlocked building blocks that the parser, the
// writer and the public calls share. Only the XML library (and its tests) include this.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "xml/xml.h"

// Nodes, and the names and values set through the calls, come from blocks owned by the document:
// a document is built once (parsed or created), edited a little and freed whole, and no call
// removes a single node.
struct XmlArenaBlock {
    XmlArenaBlock* next;
    size_t size;
    size_t used;
};

struct XmlArena {
    XmlArenaBlock* head; // newest block first
    size_t nextSize;     // size of the next block to allocate
};

// An attribute: a name and an optional value, in its element's list. A record of its own, a third
// of an element's size, since the program's files are mostly attributes.
struct XmlAttr {
    XmlAttr* next;
    // `nameLength` bytes, decoded; not zero-terminated, since a parsed document's names and values
    // lie in its source copy between the bytes that enclosed them.
    char* name;
    char* value; // `valueLength` bytes; null when the attribute has no value
    uint32_t nameLength;
    uint32_t valueLength;
    uint32_t valueCapacity; // bytes a new value may reuse in place
    // The name or value holds no byte the writer escapes, so it is written as it is. False when
    // not known; only the parser, which sees every byte anyway, finds them plain.
    bool namePlain;
    bool valuePlain;
};

// The child elements or the attributes of an element, appended at the end.
template <typename T> struct XmlList {
    T* first;
    T* last;
    // One bit per name (see xmlNameBit) of the list: a name whose bit is clear is not in the
    // list, so most lookups of a new name end without a scan.
    uint64_t names;
    uint32_t count;
    bool indexed; // the list is filed in the document's index
};

// An element. Pointers are owned by the tree.
struct XmlNode {
    XmlNode* next;
    XmlNode* parent;
    char* name; // as XmlAttr::name
    uint32_t nameLength;
    bool namePlain; // as XmlAttr::namePlain
    XmlList<XmlNode> children;
    XmlList<XmlAttr> attributes;
};

// Longest name or value, and longest text the parser reads (2 GiB less a byte), so that lengths
// fit the records' 32-bit fields and the parser's copy of its input fits in memory.
constexpr size_t XML_MAX_TEXT = 0x7FFFFFFF;

// One filed entry, with what a probe compares before it reads the entry's name.
struct XmlIndexSlot {
    void* entry;      // an XmlNode of a child list or an XmlAttr; null when the slot is free
    const void* list; // the XmlList the entry is in, which names its element and its kind
    uint64_t hash;    // of the entry's name under the document's key
};

// Finds a child element or an attribute by (parent, kind, name) in constant time, so that files
// with many siblings or attributes do not take quadratic time to load. Short lists are not
// indexed: scanning a few names is quicker than hashing them. Names are hashed with a key of the
// document's own, so a file cannot be made in advance whose names pile up in one probe run.
struct XmlIndex {
    XmlIndexSlot* slots;
    size_t capacity; // a power of two, or 0
    size_t count;
    uint64_t key[2];   // the document's hash key
    uint64_t searches; // lookups and placements so far, and the slots they examined: what a
    uint64_t probes;   // file costs the index, which hostile-file tests check
};

struct XmlDocument {
    PlatformLock lock;
    uint32_t version;
    XmlEncoding encoding;
    XmlStandalone standalone;
    char* outputText;
    uint64_t outputSize; // bytes including the terminating zero; 0 when there is no text
    int32_t outputIndent;
    size_t outputCapacity;
    XmlNode* root;
    XmlNode* cursor;
    XmlArena arena;
    XmlIndex index;
};

// Deepest nesting of elements, counting the root. The writer indents every line by its depth, so
// an element at depth d costs the written text two lines of d spaces while its input can be five
// bytes ("<a/>" and a line break): the bound keeps the text written back within a small multiple
// of the text read. The program's own files are three levels deep. The parser refuses deeper
// input and xmlAddChild deeper trees, so the writer never writes what the parser would refuse.
constexpr int XML_MAX_DEPTH = 32;
// Most child elements, and most attributes, of one element. The program's own files hold at most
// a few dozen; the bound keeps what one hostile list can cost in memory and time, and like the
// depth it holds for parsed and built documents alike.
constexpr uint32_t XML_MAX_LIST = 16384;

// A parsed document keeps a copy of its input in its blocks, and the names and values read from it
// point into the copy. Zero bytes after the copy's end: the parser's scans read up to
// eight bytes at a time and stop at them, and the writer copies plain names and values in 8-byte
// pieces that may reach past the last one.
constexpr size_t XML_SOURCE_PADDING = 16;

// Alignment of every allocation from the blocks: enough for a node.
constexpr size_t XML_ARENA_ALIGN = 8;
// Bytes in front of a block's data.
constexpr size_t XML_ARENA_HEADER =
    (sizeof(XmlArenaBlock) + XML_ARENA_ALIGN - 1) & ~(XML_ARENA_ALIGN - 1);

// Takes a new block for an allocation that does not fit in the current one.
void* xmlArenaAllocSlow(XmlArena* arena, size_t bytes);

// Bytes from the document's blocks, aligned for a node; null when memory runs out. Inline: the
// parser allocates every name, value and node this way.
// Block sizes and uses are whole multiples of the alignment, so the room left is one too, and
// `bytes` fits in it exactly when `bytes` rounded up does (which also rules out overflow).
inline void* xmlArenaAlloc(XmlArena* arena, size_t bytes) {
    XmlArenaBlock* head = arena->head;
    if (head && bytes <= head->size - head->used) {
        void* block = reinterpret_cast<char*>(head) + XML_ARENA_HEADER + head->used;
        head->used += (bytes + XML_ARENA_ALIGN - 1) & ~(XML_ARENA_ALIGN - 1);
        return block;
    }
    return xmlArenaAllocSlow(arena, bytes);
}

// The bit of a name in a list's name mask: a cheap mix of its length and three of its bytes.
inline uint64_t xmlNameBit(const char* name, size_t length) {
    if (length == 0) return 1;
    auto byte = [name](size_t i) {
        return static_cast<size_t>(static_cast<unsigned char>(name[i]));
    };
    size_t mix = length * 5 + byte(0) + byte(length - 1) * 3 + byte(length / 2) * 7;
    return uint64_t{1} << (mix & 63);
}

// Bytes in the valid UTF-8 sequence at `p`, or 0 when it is not one. Only the shape is checked
// (overlong and surrogate forms pass), as the tokenizer reads it.
inline size_t xmlSequenceLength(const unsigned char* p, const unsigned char* end) {
    unsigned char lead = *p;
    size_t length;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF7) {
        length = 4;
    } else {
        return 0;
    }
    for (size_t i = 1; i < length; i++) {
        if (p + i >= end || p[i] < 0x80 || p[i] > 0xBF) return 0;
    }
    return length;
}

// What the text form can carry, so that the writer's text always reads back. Any name or value
// must be valid UTF-8 (other bytes end a token). A name must not be empty, and an element's name
// must neither begin with "/" (the tag would read as an end tag) nor end with one (the tag would
// read as an empty-element tag).
bool xmlWritableText(const char* text, size_t length);
bool xmlWritableElementName(const char* name, size_t length);
bool xmlWritableAttributeName(const char* name, size_t length);
// Elements from the root down to `element`, both counted.
int xmlDepthOf(const XmlNode* element);

// A document with its root element named by `length` bytes of `name` (already decoded), whose
// first block holds about `firstBlock` bytes (at least a default size, at most the largest block)
// so that a parsed file of known size takes few blocks.
XmlDocument* xmlTreeCreate(uint32_t version, XmlEncoding encoding, XmlStandalone standalone,
                           const char* name, size_t length, size_t firstBlock);
// Releases the tree, the index, the output text and the record.
void xmlTreeFree(XmlDocument* doc);

// Looks a name up in the index, or scans the list for it.
XmlNode* xmlFindInList(XmlDocument* doc, XmlList<XmlNode>* list, const char* name, size_t length);
XmlAttr* xmlFindInList(XmlDocument* doc, XmlList<XmlAttr>* list, const char* name, size_t length);

// The entry of the list with this exact name, whose bit (xmlNameBit) the caller has; null when
// there is none. Inline, so that a name whose bit is clear in the list's mask costs no call.
template <typename T>
T* xmlFindNamed(XmlDocument* doc, XmlList<T>* list, const char* name, size_t length,
                uint64_t nameBit) {
    if (!list->indexed && !(list->names & nameBit)) return nullptr;
    return xmlFindInList(doc, list, name, length);
}
inline XmlNode* xmlFindChild(XmlDocument* doc, XmlNode* parent, const char* name, size_t length) {
    return xmlFindNamed(doc, &parent->children, name, length, xmlNameBit(name, length));
}
inline XmlAttr* xmlFindAttribute(XmlDocument* doc, XmlNode* element, const char* name,
                                 size_t length) {
    return xmlFindNamed(doc, &element->attributes, name, length, xmlNameBit(name, length));
}

// Lists up to this long are scanned; longer ones go into the index.
constexpr uint32_t XML_INDEX_THRESHOLD = 32;

// Files a list that grows past the threshold into the index whole, or a new entry of a list that
// is there already. False (nothing filed) when the index cannot grow. Out of line: every node of a
// parsed file is linked, while only long lists come here.
bool xmlIndexOnLink(XmlDocument* doc, XmlList<XmlNode>* list, XmlNode* entry);
bool xmlIndexOnLink(XmlDocument* doc, XmlList<XmlAttr>* list, XmlAttr* entry);

// Links `entry` at the end of the list and notes its name in the list's mask; a list that grows
// past the threshold enters the index. False (nothing linked) when the list is full or the index
// cannot grow.
template <typename T>
bool xmlLinkLast(XmlDocument* doc, XmlList<T>* list, T* entry, uint64_t nameBit) {
    if (list->count >= XML_MAX_LIST) return false;
    if ((list->indexed || list->count + 1 > XML_INDEX_THRESHOLD) &&
        !xmlIndexOnLink(doc, list, entry)) {
        return false;
    }
    if (list->last) {
        list->last->next = entry;
    } else {
        list->first = entry;
    }
    list->last = entry;
    list->count++;
    list->names |= nameBit;
    return true;
}

// Appends a new child element or attribute to `parent`. `name` must already lie in the document's
// blocks (a copy of its own, or the parsed input's copy); it is taken over, not copied, and
// `nameBit` is its xmlNameBit. Null when memory runs out or the list is full (nothing is linked
// then). Inline, since the parser makes a node per attribute.
inline XmlNode* xmlAppendChild(XmlDocument* doc, XmlNode* parent, char* name, size_t length,
                               uint64_t nameBit) {
    XmlNode* node = static_cast<XmlNode*>(xmlArenaAlloc(&doc->arena, sizeof(XmlNode)));
    if (!node) return nullptr;
    // Field by field: a block clear of a record this size is slower.
    node->next = nullptr;
    node->parent = parent;
    node->name = name;
    node->nameLength = static_cast<uint32_t>(length);
    node->namePlain = false;
    node->children = XmlList<XmlNode>{nullptr, nullptr, 0, 0, false};
    node->attributes = XmlList<XmlAttr>{nullptr, nullptr, 0, 0, false};
    return xmlLinkLast(doc, &parent->children, node, nameBit) ? node : nullptr;
}
inline XmlAttr* xmlAppendAttribute(XmlDocument* doc, XmlNode* element, char* name, size_t length,
                                   uint64_t nameBit) {
    XmlAttr* attribute = static_cast<XmlAttr*>(xmlArenaAlloc(&doc->arena, sizeof(XmlAttr)));
    if (!attribute) return nullptr;
    // Cleared whole, which at this size is three wide stores, and measured quicker than field by
    // field.
    *attribute = XmlAttr{};
    attribute->name = name;
    attribute->nameLength = static_cast<uint32_t>(length);
    return xmlLinkLast(doc, &element->attributes, attribute, nameBit) ? attribute : nullptr;
}
// A zero-terminated copy of `length` bytes in the document's arena, or null.
char* xmlArenaCopy(XmlArena* arena, const char* text, size_t length);
// Replaces an attribute's value with a copy of `length` bytes (reusing its old room when the new
// value fits); a null text removes the value. False when memory runs out.
bool xmlStoreValue(XmlDocument* doc, XmlAttr* attribute, const char* text, size_t length);

// Decodes `length` bytes into `out` and returns the decoded length; no terminator is written. Room
// for `length` bytes suffices, since no entity decodes longer than it is written, and `out` may
// be `text` itself: every byte is read before the decoded text reaches it.
size_t xmlUnescapeInto(const char* text, size_t length, char* out);
// Escapes `length` bytes into `out` (room for 6 * `length` suffices); returns the bytes written.
// No terminator is written.
size_t xmlEscapeInto(const char* text, size_t length, char* out);
// Compares the escaped form of `name` with the bytes at `text`; returns the escaped length when
// they match within `available` bytes, or -1.
ptrdiff_t xmlMatchEscaped(const char* name, size_t length, const char* text, size_t available);

// Nonzero for the bytes the writer escapes: the one-byte raw texts of the entity table (the
// table's own file checks that the two agree).
constexpr std::array<unsigned char, 256> xmlBuildEscapedBytes() {
    std::array<unsigned char, 256> escaped{};
    for (const char* c = "\t\n\r !\"#$%&'()*:;<=>?@^{}"; *c; c++)
        escaped[static_cast<unsigned char>(*c)] = 1;
    return escaped;
}
inline constexpr std::array<unsigned char, 256> XmlEscapedByte = xmlBuildEscapedBytes();

// Longest escape of one raw byte; bounds the writer's growth.
constexpr size_t XML_MAX_ESCAPE_GROWTH = 6;
