// The writer: the exact text of the settings and alarm files. Byte order mark, a one-line
// declaration, then one tag or attribute per line, one space of indent per level, CR LF line
// ends; every name and value escaped so the tokenizing parser reads it back.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xml/xml_tree.h"

namespace {

constexpr size_t FIRST_OUTPUT = 4096;

// The text being built; on a failed growth `failed` is set and nothing more is written.
struct Output {
    char* text;
    size_t length;
    size_t capacity;
    bool failed;
};

bool reserve(Output* out, size_t more) {
    if (out->failed) return false;
    if (out->capacity - out->length > more) return true;
    size_t capacity = out->capacity ? out->capacity : FIRST_OUTPUT;
    while (capacity - out->length <= more) {
        if (capacity > SIZE_MAX / 2) {
            out->failed = true;
            return false;
        }
        capacity *= 2;
    }
    char* grown = static_cast<char*>(realloc(out->text, capacity));
    if (!grown) {
        out->failed = true;
        return false;
    }
    out->text = grown;
    out->capacity = capacity;
    return true;
}

void put(Output* out, const char* text, size_t length) {
    if (!reserve(out, length)) return;
    memcpy(out->text + out->length, text, length);
    out->length += length;
}

void putText(Output* out, const char* text) {
    put(out, text, strlen(text));
}

void putEscaped(Output* out, const char* text, size_t length) {
    if (length > SIZE_MAX / XML_MAX_ESCAPE_GROWTH - 1) {
        out->failed = true;
        return;
    }
    if (!reserve(out, length * XML_MAX_ESCAPE_GROWTH)) return;
    out->length += xmlEscapeInto(text, length, out->text + out->length);
}

// A line break followed by `depth` spaces.
void newLine(Output* out, int32_t depth) {
    if (!reserve(out, 2 + static_cast<size_t>(depth))) return;
    out->text[out->length++] = '\r';
    out->text[out->length++] = '\n';
    memset(out->text + out->length, ' ', depth);
    out->length += depth;
}

void writeDeclaration(Output* out, const XmlDocument* doc) {
    static const char* const encodings[] = {"UTF-8", "UTF-16", "Shift_JIS", "EUC-JP"};
    static const char* const standalones[] = {"no", "yes"};
    char version[32];
    snprintf(version, sizeof version, "%" PRIu32 ".%" PRIu32, doc->version >> 16,
             doc->version & 0xFFFFu);
    putText(out, "\xEF\xBB\xBF<?xml version=\"");
    putText(out, version);
    putText(out, "\"");
    if (doc->encoding >= 1 && doc->encoding <= 4) {
        putText(out, " encoding=\"");
        putText(out, encodings[doc->encoding - 1]);
        putText(out, "\"");
    }
    if (doc->standalone >= 1 && doc->standalone <= 2) {
        putText(out, " standalone=\"");
        putText(out, standalones[doc->standalone - 1]);
        putText(out, "\"");
    }
    putText(out, " ?>");
}

// The start tag with one line per attribute; a tag with attributes closes on a line of its own.
void writeStartTag(Output* out, const XmlNode* element, int32_t depth) {
    newLine(out, depth);
    put(out, "<", 1);
    putEscaped(out, element->name, element->nameLength);
    for (const XmlNode* a = element->firstAttribute; a; a = a->next) {
        newLine(out, depth + 1);
        putEscaped(out, a->name, a->nameLength);
        put(out, " = \"", 4);
        putEscaped(out, a->value, a->valueLength);
        put(out, "\"", 1);
    }
    if (element->firstAttribute) newLine(out, depth);
    put(out, ">", 1);
}

void writeEndTag(Output* out, const XmlNode* element, int32_t depth) {
    newLine(out, depth);
    put(out, "</", 2);
    putEscaped(out, element->name, element->nameLength);
    put(out, ">", 1);
}

// Walks the tree in document order through the parent links, so a deep tree needs no stack.
void writeTree(Output* out, XmlDocument* doc) {
    const XmlNode* node = doc->root;
    int32_t depth = 0;
    for (;;) {
        doc->outputIndent = depth;
        writeStartTag(out, node, depth);
        if (node->firstChild) {
            node = node->firstChild;
            depth++;
            continue;
        }
        for (;;) {
            writeEndTag(out, node, depth);
            if (node == doc->root) return;
            if (node->next) {
                node = node->next;
                break;
            }
            node = node->parent;
            depth--;
        }
    }
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
    if (!doc || !doc->cursor || !text || !length) return XmlInvalid;
    lockEnter(&doc->lock);
    // The previous text's block is reused: callers serialise the same document again and again.
    Output out{doc->outputText, 0, doc->outputCapacity, false};
    doc->outputText = nullptr;
    releaseOutput(doc);
    writeDeclaration(&out, doc);
    writeTree(&out, doc);
    newLine(&out, 0);
    if (reserve(&out, 1)) out.text[out.length] = 0;
    XmlStatus status = XmlNoSpace;
    if (out.failed) {
        free(out.text);
    } else {
        doc->outputText = out.text;
        doc->outputSize = out.length + 1;
        doc->outputCapacity = out.capacity;
        doc->outputIndent = 0;
        *text = out.text;
        *length = out.length;
        status = XmlOk;
    }
    lockLeave(&doc->lock);
    return status;
}

XmlStatus xmlReleaseText(XmlDocument* doc) {
    if (!doc || !doc->cursor) return XmlInvalid;
    lockEnter(&doc->lock);
    releaseOutput(doc);
    lockLeave(&doc->lock);
    return XmlOk;
}
