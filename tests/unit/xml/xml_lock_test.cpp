// Single calls on one document from several threads: each call holds the document's lock.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "xml_test_util.h"

namespace {

struct Writer {
    XmlDocument* doc;
    int first;
    bool ok;
};

constexpr int PER_THREAD = 500;

void writeNumbers(void* arg) {
    Writer* w = static_cast<Writer*>(arg);
    w->ok = true;
    for (int i = w->first; i < w->first + PER_THREAD; i++) {
        std::string name = "n" + std::to_string(i);
        w->ok = w->ok && xmlSetAttrInt(w->doc, name.c_str(), i) == XmlOk;
        w->ok = w->ok && xmlAddChild(w->doc, name.c_str()) == XmlOk;
        int32_t number = -1;
        w->ok = w->ok && xmlGetAttrInt(w->doc, name.c_str(), &number) == XmlOk && number == i;
    }
}

TEST(XmlLock, CallsFromTwoThreadsDoNotLoseUpdates) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    Writer writers[2] = {{doc.get(), 0, false}, {doc.get(), PER_THREAD, false}};
    PlatformThread threads[2];
    for (int t = 0; t < 2; t++) {
        ASSERT_TRUE(threadStart(&threads[t], writeNumbers, &writers[t], PRIORITY_NORMAL));
    }
    for (PlatformThread& thread : threads)
        threadJoin(&thread);
    EXPECT_TRUE(writers[0].ok);
    EXPECT_TRUE(writers[1].ok);
    int children = 0;
    XmlIterator it = nullptr;
    for (XmlStatus s = xmlFirstChild(doc.get(), &it); s == XmlOk;
         s = xmlNextSibling(doc.get(), &it)) {
        children++;
    }
    EXPECT_EQ(children, 2 * PER_THREAD);
    EXPECT_EQ(attr(doc.get(), "n999"), "999");
}

} // namespace
