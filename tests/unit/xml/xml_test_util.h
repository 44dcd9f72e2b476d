// Small helpers shared by the XML library tests.
#pragma once

#include <memory>
#include <string>

#include "xml/xml.h"

struct XmlDocumentDeleter {
    void operator()(XmlDocument* doc) const { xmlFree(doc); }
};
using XmlDocumentPtr = std::unique_ptr<XmlDocument, XmlDocumentDeleter>;

inline XmlDocumentPtr parseText(const std::string& text) {
    return XmlDocumentPtr(xmlParse(text.data(), text.size()));
}

// The serialized text, or "<failed>" when serializing fails.
inline std::string serializeText(XmlDocument* doc) {
    const char* text = nullptr;
    size_t length = 0;
    if (xmlSerialize(doc, &text, &length) != XmlOk) return "<failed>";
    std::string result(text, length);
    xmlReleaseText(doc);
    return result;
}

// The attribute's value, or "<status N>" when it cannot be read.
inline std::string attr(XmlDocument* doc, const char* name) {
    char buffer[256];
    XmlStatus status = xmlGetAttr(doc, name, buffer, sizeof buffer);
    if (status != XmlOk) return "<status " + std::to_string(status) + ">";
    return buffer;
}

inline std::string cursorName(XmlDocument* doc) {
    char buffer[256];
    if (xmlGetName(doc, buffer, sizeof buffer) != XmlOk) return "<none>";
    return buffer;
}

// Builds text from lines joined with CR LF, with the byte order mark and a final line break.
inline std::string crlfLines(std::initializer_list<const char*> lines) {
    std::string text = "\xEF\xBB\xBF";
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}
