// The public document calls: creation, cursor moves, child iteration and attributes. Each call
// holds the document's lock for its whole run.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "xml/xml_tree.h"

namespace {

// Holds a document's lock for one call.
class DocumentLock {
  public:
    explicit DocumentLock(XmlDocument* doc) : doc_(doc) { lockEnter(&doc_->lock); }
    ~DocumentLock() { lockLeave(&doc_->lock); }
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;

  private:
    XmlDocument* doc_;
};

// A live document always has a root and a cursor. The root is checked because it never changes
// once the document is handed out, so it can be read before taking the lock; the cursor moves.
bool usable(const XmlDocument* doc) {
    return doc && doc->root;
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// The copying rule shared by the name and value reads: zero the whole buffer, then copy; an
// empty text or one that does not fit leaves the buffer untouched.
XmlStatus copyOut(const char* text, size_t length, char* buffer, size_t size) {
    if (!text || length == 0) return XmlNotFound;
    if (length >= size) return XmlNoSpace;
    memcpy(buffer, text, length);
    memset(buffer + length, 0, size - length);
    return XmlOk;
}

// strtol rules with base 10, saturating at the 32-bit range. Blanks are those of the "C" locale
// so that the process locale cannot change how a file reads.
int32_t parseDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        text++;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') text++;
    int64_t magnitude = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    for (; *text >= '0' && *text <= '9'; text++) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

XmlNode* findChildNamed(XmlDocument* doc, XmlNode* parent, const char* name, size_t length) {
    return xmlFindChild(doc, parent, name, length);
}

XmlStatus setAttribute(XmlDocument* doc, const char* name, const char* value) {
    size_t length = strlen(name);
    if (!xmlWritableAttributeName(name, length) ||
        (value && !xmlWritableText(value, strlen(value))))
        return XmlInvalid;
    XmlAttr* attribute = xmlFindAttribute(doc, doc->cursor, name, length);
    if (!attribute) {
        char* copy = xmlArenaCopy(&doc->arena, name, length);
        if (!copy) return XmlNoSpace;
        attribute = xmlAppendAttribute(doc, doc->cursor, copy, length, xmlNameBit(name, length));
        if (!attribute) return XmlNoSpace;
    }
    bool stored = xmlStoreValue(doc, attribute, value, value ? strlen(value) : 0);
    return stored ? XmlOk : XmlNoSpace;
}

// Unlinks `attribute` from the list of `element`. The list's name mask keeps the name's bit: the
// mask only rules names out, and a stale bit costs one scan.
void unlinkAttribute(XmlNode* element, XmlAttr* attribute) {
    XmlList<XmlAttr>& list = element->attributes;
    XmlAttr* previous = nullptr;
    for (XmlAttr* n = list.first; n != attribute; n = n->next)
        previous = n;
    if (previous)
        previous->next = attribute->next;
    else
        list.first = attribute->next;
    if (list.last == attribute) list.last = previous;
    --list.count;
}

} // namespace

XmlDocument* xmlCreate(uint32_t version, XmlEncoding encoding, XmlStandalone standalone,
                       const char* rootName) {
    if (!rootName) return nullptr;
    // The parser reads no other version, nor such a root name, back.
    if (version != XML_VERSION_1_0 && version != XML_VERSION_1_1) return nullptr;
    if (!xmlWritableElementName(rootName, strlen(rootName))) return nullptr;
    return xmlTreeCreate(version, encoding, standalone, rootName, strlen(rootName), 0);
}

void xmlFree(XmlDocument* doc) {
    if (doc) xmlTreeFree(doc);
}

XmlStatus xmlMove(XmlDocument* doc, const char* path) {
    if (!usable(doc)) return XmlInvalid;
    DocumentLock hold(doc);
    if (!path) {
        doc->cursor = doc->root;
        return XmlOk;
    }
    if (isSeparator(*path)) path++;
    XmlNode* node = doc->cursor;
    while (*path) {
        const char* segment = path;
        while (*path && !isSeparator(*path))
            path++;
        size_t length = path - segment;
        if (*path) path++;
        if (length == 2 && segment[0] == '.' && segment[1] == '.') {
            if (!node->parent) {
                doc->cursor = doc->root;
                return XmlOk;
            }
            node = node->parent;
            continue;
        }
        XmlNode* child = length ? findChildNamed(doc, node, segment, length) : nullptr;
        if (!child) return XmlNotFound;
        node = child;
    }
    doc->cursor = node;
    return XmlOk;
}

XmlStatus xmlAddChild(XmlDocument* doc, const char* name) {
    if (!usable(doc) || !name) return XmlInvalid;
    DocumentLock hold(doc);
    size_t length = strlen(name);
    if (!xmlWritableElementName(name, length)) return XmlInvalid;
    if (xmlFindChild(doc, doc->cursor, name, length)) return XmlOk;
    if (xmlDepthOf(doc->cursor) >= XML_MAX_DEPTH) return XmlNoSpace;
    char* copy = xmlArenaCopy(&doc->arena, name, length);
    if (!copy || !xmlAppendChild(doc, doc->cursor, copy, length, xmlNameBit(name, length))) {
        return XmlNoSpace;
    }
    return XmlOk;
}

XmlStatus xmlGetName(XmlDocument* doc, char* buffer, size_t size) {
    if (!usable(doc) || !buffer) return XmlInvalid;
    DocumentLock hold(doc);
    return copyOut(doc->cursor->name, doc->cursor->nameLength, buffer, size);
}

XmlStatus xmlFirstChild(XmlDocument* doc, XmlIterator* iterator) {
    if (!usable(doc) || !iterator) return XmlInvalid;
    DocumentLock hold(doc);
    *iterator = doc->cursor->children.first;
    return *iterator ? XmlOk : XmlNoNode;
}

XmlStatus xmlNextSibling(XmlDocument* doc, XmlIterator* iterator) {
    if (!usable(doc) || !iterator) return XmlInvalid;
    DocumentLock hold(doc);
    if (!*iterator) return XmlNoNode;
    *iterator = (*iterator)->next;
    return *iterator ? XmlOk : XmlNoNode;
}

XmlStatus xmlIterName(XmlDocument* doc, XmlIterator* iterator, char* buffer, size_t size) {
    if (!usable(doc) || !iterator || !buffer) return XmlInvalid;
    DocumentLock hold(doc);
    if (!*iterator) return XmlNoNode;
    return copyOut((*iterator)->name, (*iterator)->nameLength, buffer, size);
}

XmlStatus xmlGetAttr(XmlDocument* doc, const char* name, char* buffer, size_t size) {
    if (!usable(doc) || !name || !buffer) return XmlInvalid;
    DocumentLock hold(doc);
    size_t length = strlen(name);
    XmlAttr* attribute = xmlFindAttribute(doc, doc->cursor, name, length);
    if (!attribute) return XmlNotFound;
    return copyOut(attribute->value, attribute->valueLength, buffer, size);
}

XmlStatus xmlGetAttrInt(XmlDocument* doc, const char* name, int32_t* number) {
    if (!usable(doc) || !name || !number) return XmlInvalid;
    char text[128];
    XmlStatus status = xmlGetAttr(doc, name, text, sizeof text);
    if (status == XmlOk) *number = parseDecimal(text);
    return status;
}

XmlStatus xmlSetAttr(XmlDocument* doc, const char* name, const char* value) {
    if (!usable(doc) || !name) return XmlInvalid;
    DocumentLock hold(doc);
    return setAttribute(doc, name, value);
}

XmlStatus xmlRemoveAttr(XmlDocument* doc, const char* name) {
    if (!usable(doc) || !name) return XmlInvalid;
    DocumentLock hold(doc);
    XmlNode* element = doc->cursor;
    XmlAttr* attribute = xmlFindAttribute(doc, element, name, strlen(name));
    if (!attribute) return XmlNotFound;
    if (element->attributes.indexed) return XmlInvalid;
    unlinkAttribute(element, attribute);
    return XmlOk;
}

XmlStatus xmlSetAttrInt(XmlDocument* doc, const char* name, int32_t number) {
    char text[16];
    snprintf(text, sizeof text, "%" PRId32, number);
    return xmlSetAttr(doc, name, text);
}

XmlStatus xmlSetAttrUInt(XmlDocument* doc, const char* name, uint32_t number) {
    char text[16];
    snprintf(text, sizeof text, "%" PRIu32, number);
    return xmlSetAttr(doc, name, text);
}
