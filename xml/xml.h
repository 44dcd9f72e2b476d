// The small XML library behind Setting.xml and Alarm.xml: a tree of elements with attributes,
// walked and edited through one cursor per document, read from and written to the library's own
// line-per-item text form. Names and values are UTF-8 bytes, stored decoded. Element text is not
// part of the model; all data lives in attributes.
//
// Thread safety: every call locks its document for its own duration, so single calls on one
// document may come from several threads; a sequence of calls (move, read, move back) is not
// atomic.
#pragma once

#include <cstddef>
#include <cstdint>

struct XmlNode;
struct XmlDocument;

// Visits the children of the cursor element without moving the cursor; owned by the caller.
using XmlIterator = XmlNode*;

// Result of most calls; callers compare with XmlOk (0).
enum XmlStatus : uint32_t {
    XmlOk = 0,
    XmlNoNode = 1,   // no child element, the iteration has ended, or the iterator is null
    XmlNoSpace = 4,  // out of memory, or the caller's buffer cannot hold the text
    XmlNotFound = 5, // no child or attribute of that name, or the text asked for is empty
    XmlInvalid = 6,  // null document or required pointer
};

// Declared encoding; a label written back as read, nothing is converted by it.
enum XmlEncoding : uint32_t {
    XML_ENCODING_NONE = 0,
    XML_ENCODING_UTF8 = 1,
    XML_ENCODING_UTF16 = 2,
    XML_ENCODING_SHIFT_JIS = 3,
    XML_ENCODING_EUC_JP = 4,
};

enum XmlStandalone : uint32_t {
    XML_STANDALONE_NONE = 0,
    XML_STANDALONE_NO = 1,
    XML_STANDALONE_YES = 2,
};

// Version numbers: major in the high 16 bits, minor in the low 16 bits.
constexpr uint32_t XML_VERSION_1_0 = 0x10000;
constexpr uint32_t XML_VERSION_1_1 = 0x10001;

// Every document can be written as text that reads back: names must be non-empty valid UTF-8 (an
// element's neither beginning nor ending with "/"), values valid UTF-8, elements at most 32 deep
// and at most 16384 children or attributes to an element. Calls that would break this refuse.

// A new document whose root element is `rootName`, cursor on the root. Null if `rootName` is
// null or not writable, the version is neither 1.0 nor 1.1, or memory runs out.
XmlDocument* xmlCreate(uint32_t version, XmlEncoding encoding, XmlStandalone standalone,
                       const char* rootName);
// Frees the document and its tree; null is ignored. Serialized text must be released first.
void xmlFree(XmlDocument* doc);

// Moves the cursor along a path relative to it: segments split at '/' or '\', ".." goes to the
// parent (stopping at the root), a null path goes to the root. XmlNotFound leaves the cursor
// where it was.
XmlStatus xmlMove(XmlDocument* doc, const char* path);
// Appends an empty child element to the cursor unless one of that name exists; no cursor move.
// XmlInvalid for a name that cannot be written; XmlNoSpace past the depth or list bound.
XmlStatus xmlAddChild(XmlDocument* doc, const char* name);
// Copies the cursor element's name into `buffer` (zero-filled to `size`).
XmlStatus xmlGetName(XmlDocument* doc, char* buffer, size_t size);

// Sets `*iterator` to the cursor element's first child; XmlNoNode when it has none.
XmlStatus xmlFirstChild(XmlDocument* doc, XmlIterator* iterator);
// Advances `*iterator` to its next sibling; XmlNoNode (and a null iterator) at the end.
XmlStatus xmlNextSibling(XmlDocument* doc, XmlIterator* iterator);
// Copies the name of the iterator's element into `buffer` (zero-filled to `size`).
XmlStatus xmlIterName(XmlDocument* doc, XmlIterator* iterator, char* buffer, size_t size);

// Copies the value of the cursor element's attribute `name` into `buffer` (zero-filled to
// `size`). On failure the buffer is untouched.
XmlStatus xmlGetAttr(XmlDocument* doc, const char* name, char* buffer, size_t size);
// Reads the attribute as a base-10 number (leading blanks and a sign allowed, stops at the first
// non-digit, saturates at the 32-bit range). On failure `*number` is untouched, so callers preset
// their default and let a missing attribute keep it.
XmlStatus xmlGetAttrInt(XmlDocument* doc, const char* name, int32_t* number);
// Sets the cursor element's attribute, appending it if new; a null value leaves it valueless.
// XmlInvalid for a name or value that cannot be written; XmlNoSpace past the list bound.
XmlStatus xmlSetAttr(XmlDocument* doc, const char* name, const char* value);
// Removes the cursor element's attribute `name`, so that it is not written any more. XmlNotFound
// when there is none; XmlInvalid for an element with so many attributes (over 32, more than the
// program's files hold) that they are filed in the lookup index, which keeps what it filed.
XmlStatus xmlRemoveAttr(XmlDocument* doc, const char* name);
// Sets the attribute to the number in signed ("%d") or unsigned ("%u") decimal.
XmlStatus xmlSetAttrInt(XmlDocument* doc, const char* name, int32_t number);
XmlStatus xmlSetAttrUInt(XmlDocument* doc, const char* name, uint32_t number);

// Builds a document from `length` bytes of text (reading stops early at a zero byte). Null for
// text it does not accept; never reads past `length`. The caller keeps the bytes.
XmlDocument* xmlParse(const void* bytes, size_t length);

// Writes the whole tree as text owned by the document: byte order mark, declaration, one tag or
// attribute per line, one-space indent, CR LF line ends. `*length` excludes the terminating zero.
// The text lives until xmlReleaseText, the next xmlSerialize or xmlFree.
XmlStatus xmlSerialize(XmlDocument* doc, const char** text, size_t* length);
XmlStatus xmlReleaseText(XmlDocument* doc);

// One row of the escape table: raw text (one or two bytes), its named entity (or null) and its
// six-character numeric reference.
struct XmlEntity {
    const char* raw;
    uint32_t rawLength;
    const char* named;
    const char* numeric;
};
constexpr int XML_ENTITY_COUNT = 25;
// Searched in row order, by both xmlEscape and xmlUnescape.
extern const XmlEntity XmlEntityTable[XML_ENTITY_COUNT];

// Decoded and escaped copies of `length` bytes of text (0: the whole zero-terminated text).
// Each result is zero-terminated, allocated with malloc and released with free; null when memory
// runs out.
char* xmlUnescape(const char* text, size_t length);
char* xmlEscape(const char* text, size_t length);
// Lengths the conversions above would produce, without the terminating zero.
size_t xmlUnescapedLength(const char* text, size_t length);
size_t xmlEscapedLength(const char* text, size_t length);
