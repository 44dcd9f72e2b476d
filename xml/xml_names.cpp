// Which names and values the text form can carry: the writer's text must always read back, so
// the calls that name elements and attributes refuse what the tokenizer could not read.
#include "xml/xml_tree.h"

bool xmlWritableText(const char* text, size_t length) {
    if (length > XML_MAX_TEXT) return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        size_t n = xmlSequenceLength(p, end);
        if (n == 0) return false;
        p += n;
    }
    return true;
}

bool xmlWritableElementName(const char* name, size_t length) {
    return length > 0 && name[0] != '/' && name[length - 1] != '/' && xmlWritableText(name, length);
}

bool xmlWritableAttributeName(const char* name, size_t length) {
    return length > 0 && xmlWritableText(name, length);
}

int xmlDepthOf(const XmlNode* element) {
    int depth = 0;
    for (; element; element = element->parent)
        depth++;
    return depth;
}
