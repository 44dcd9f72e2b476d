// Reading one of the program's own XML files (Setting.xml, Alarm.xml) so that nothing the user
// wrote is lost: a file that is there but cannot be read is never saved over, one that is not
// the expected document is kept as a numbered ".bad" copy, and where the file is missing or was
// set aside, the complete "<path>.new" of an interrupted save takes its place.
#pragma once

#include <cstdint>

#include "util/file_util.h"
#include "xml/xml.h"

// True when a parsed document is the kind the caller reads (its root element, say).
using XmlDocumentCheck = bool (*)(XmlDocument* doc);

// The document of the file at `path`, of at most `limit` bytes, that `check` accepts (null takes
// any), or null when there is none. `*keep` is set when the file is there but could not be read
// or set aside, so that no save replaces or deletes it; `*setAside` when it was kept as
// "<path>.bad". `name` names the file in the debugger output.
XmlDocument* xmlReadOwnFile(const char16* path, uint32_t limit, XmlDocumentCheck check,
                            const char* name, bool* keep, bool* setAside);
