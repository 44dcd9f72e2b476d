// Any bytes given to xmlParse: no crash, no hang, no leak; and what it accepts must write out as
// text that reads back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "xml/xml_tree.h"

namespace {

// Walks the cursor over the root's children and reads each one's name and a number.
void touch(XmlDocument* doc) {
    XmlIterator it = nullptr;
    char name[64];
    int32_t number = 0;
    for (XmlStatus s = xmlFirstChild(doc, &it); s == XmlOk; s = xmlNextSibling(doc, &it)) {
        if (xmlIterName(doc, &it, name, sizeof name) == XmlOk && xmlMove(doc, name) == XmlOk) {
            xmlGetAttrInt(doc, "x", &number);
            xmlMove(doc, "../");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    XmlDocument* doc = xmlParse(data, size);
    if (!doc) return 0;
    touch(doc);
    const char* text = nullptr;
    size_t length = 0;
    if (xmlSerialize(doc, &text, &length) != XmlOk) abort();
    XmlDocument* again = xmlParse(text, length);
    if (!again) abort();
    const char* second = nullptr;
    size_t secondLength = 0;
    if (xmlSerialize(again, &second, &secondLength) != XmlOk) abort();
    if (secondLength != length || memcmp(text, second, length) != 0) abort();
    xmlFree(again);
    xmlReleaseText(doc);
    xmlFree(doc);
    return 0;
}
