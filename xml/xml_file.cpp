#include "xml/xml_file.h"

#include <cstdlib>

#include "util/debug_log.h"

namespace {

XmlDocument* parseChecked(const char* bytes, uint32_t count, XmlDocumentCheck check) {
    XmlDocument* doc = xmlParse(bytes, count);
    if (doc && check && !check(doc)) {
        xmlFree(doc);
        doc = nullptr;
    }
    return doc;
}

// The document of "<path>.new", the text a save wrote just before it would have renamed it into
// place, or null when there is none or it is incomplete (a crash while it was written).
XmlDocument* readNewCopy(const char16* path, uint32_t limit, XmlDocumentCheck check) {
    char16 newPath[PATH_UNITS];
    char* bytes = nullptr;
    uint32_t count = 0;
    if (!newCopyPath(path, newPath) ||
        readFileBytes(newPath, limit, &bytes, &count) != FILE_READ_OK)
        return nullptr;
    XmlDocument* doc = parseChecked(bytes, count, check);
    free(bytes);
    return doc;
}

} // namespace

XmlDocument* xmlReadOwnFile(const char16* path, uint32_t limit, XmlDocumentCheck check,
                            const char* name, bool* keep, bool* setAside) {
    char* bytes = nullptr;
    uint32_t count = 0;
    FileRead read = readFileBytes(path, limit, &bytes, &count);
    if (read == FILE_READ_TOO_LARGE || read == FILE_READ_FAILED) {
        debugLog(read == FILE_READ_FAILED ? "%s could not be read" : "%s refused: too large", name);
        *keep = true;
        return nullptr;
    }
    if (read == FILE_READ_OK) {
        XmlDocument* doc = parseChecked(bytes, count, check);
        if (!doc) {
            *setAside = keepBadCopy(path, bytes, count);
            *keep = !*setAside;
            if (*keep) debugLog("%s rejected; no .bad copy made", name);
        }
        free(bytes);
        if (doc || *keep) return doc;
    }
    XmlDocument* adopted = readNewCopy(path, limit, check);
    if (adopted && !adoptNewCopy(path)) debugLog("%s.new read, but not renamed", name);
    return adopted;
}
