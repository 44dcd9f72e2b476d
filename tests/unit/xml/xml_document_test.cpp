// The document model: cursor moves, children, attributes and the copy-out rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "xml_test_util.h"

namespace {

// root > a > b, root > c
XmlDocumentPtr smallTree() {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "root"));
    xmlAddChild(doc.get(), "a");
    xmlAddChild(doc.get(), "c");
    xmlMove(doc.get(), "a");
    xmlAddChild(doc.get(), "b");
    xmlMove(doc.get(), nullptr);
    return doc;
}

TEST(XmlMove, WalksPathsRelativeToTheCursor) {
    XmlDocumentPtr doc = smallTree();
    XmlDocument* d = doc.get();
    EXPECT_EQ(xmlMove(d, "a/b"), XmlOk);
    EXPECT_EQ(cursorName(d), "b");
    EXPECT_EQ(xmlMove(d, "../../c"), XmlOk);
    EXPECT_EQ(cursorName(d), "c");
    EXPECT_EQ(xmlMove(d, "..\\a\\b\\"), XmlOk);
    EXPECT_EQ(cursorName(d), "b");
    // A leading separator is skipped, not taken as the root.
    EXPECT_EQ(xmlMove(d, "/.."), XmlOk);
    EXPECT_EQ(cursorName(d), "a");
    EXPECT_EQ(xmlMove(d, "/b"), XmlOk);
    EXPECT_EQ(cursorName(d), "b");
    EXPECT_EQ(xmlMove(d, nullptr), XmlOk);
    EXPECT_EQ(cursorName(d), "root");
    EXPECT_EQ(xmlMove(d, ""), XmlOk);
    EXPECT_EQ(cursorName(d), "root");
}

TEST(XmlMove, ParentOfTheRootStopsTheWalkAtTheRoot) {
    XmlDocumentPtr doc = smallTree();
    EXPECT_EQ(xmlMove(doc.get(), "../"), XmlOk);
    EXPECT_EQ(cursorName(doc.get()), "root");
    // The rest of the path is ignored once the walk passed the root.
    xmlMove(doc.get(), "a");
    EXPECT_EQ(xmlMove(doc.get(), "../../a/b"), XmlOk);
    EXPECT_EQ(cursorName(doc.get()), "root");
}

TEST(XmlMove, AMissingSegmentLeavesTheCursorWhereItWas) {
    XmlDocumentPtr doc = smallTree();
    XmlDocument* d = doc.get();
    xmlMove(d, "a");
    EXPECT_EQ(xmlMove(d, "x"), XmlNotFound);
    EXPECT_EQ(cursorName(d), "a");
    EXPECT_EQ(xmlMove(d, "b/x"), XmlNotFound);
    EXPECT_EQ(cursorName(d), "a");
    EXPECT_EQ(xmlMove(d, "../c/b"), XmlNotFound);
    EXPECT_EQ(cursorName(d), "a");
    // Two separators in a row name no child, even one with an empty name.
    xmlAddChild(d, "");
    EXPECT_EQ(xmlMove(d, "b//"), XmlNotFound);
    EXPECT_EQ(xmlMove(d, "//"), XmlNotFound);
    EXPECT_EQ(cursorName(d), "a");
    // Names compare as exact bytes.
    EXPECT_EQ(xmlMove(d, "B"), XmlNotFound);
}

TEST(XmlAddChild, KeepsOneChildPerNameInInsertionOrder) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    EXPECT_EQ(xmlAddChild(d, "x"), XmlOk);
    EXPECT_EQ(xmlAddChild(d, "y"), XmlOk);
    EXPECT_EQ(xmlAddChild(d, "x"), XmlOk);
    EXPECT_EQ(cursorName(d), "r");
    XmlIterator it = nullptr;
    char name[8];
    ASSERT_EQ(xmlFirstChild(d, &it), XmlOk);
    ASSERT_EQ(xmlIterName(d, &it, name, sizeof name), XmlOk);
    EXPECT_STREQ(name, "x");
    ASSERT_EQ(xmlNextSibling(d, &it), XmlOk);
    ASSERT_EQ(xmlIterName(d, &it, name, sizeof name), XmlOk);
    EXPECT_STREQ(name, "y");
    EXPECT_EQ(xmlNextSibling(d, &it), XmlNoNode);
    EXPECT_EQ(it, nullptr);
    EXPECT_EQ(xmlNextSibling(d, &it), XmlNoNode);
    EXPECT_EQ(xmlIterName(d, &it, name, sizeof name), XmlNoNode);
}

TEST(XmlIteration, AnElementWithoutChildrenHasNoFirstChild) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlIterator it = reinterpret_cast<XmlIterator>(&it);
    EXPECT_EQ(xmlFirstChild(doc.get(), &it), XmlNoNode);
    EXPECT_EQ(it, nullptr);
}

TEST(XmlAttributes, SettingTwiceKeepsThePositionAndTheLastValue) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    xmlSetAttr(d, "a", "1");
    xmlSetAttr(d, "b", "2");
    xmlSetAttr(d, "a", "a much longer value than before");
    xmlSetAttr(d, "b", "3");
    EXPECT_EQ(attr(d, "a"), "a much longer value than before");
    EXPECT_EQ(attr(d, "b"), "3");
    std::string text = serializeText(d);
    EXPECT_LT(text.find("a = "), text.find("b = "));
    EXPECT_EQ(text.find("a = ", text.find("a = ") + 1), std::string::npos);
}

TEST(XmlAttributes, EmptyMissingAndValuelessAttributesAreNotFound) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    EXPECT_EQ(xmlSetAttr(d, "empty", ""), XmlOk);
    EXPECT_EQ(xmlSetAttr(d, "none", nullptr), XmlOk);
    EXPECT_EQ(attr(d, "empty"), "<status 5>");
    EXPECT_EQ(attr(d, "none"), "<status 5>");
    EXPECT_EQ(attr(d, "missing"), "<status 5>");
    // A valueless attribute stays in the document and is written with an empty value.
    EXPECT_NE(serializeText(d).find(" none = \"\"\r\n"), std::string::npos);
}

// Removing the first, the last and the only attribute leaves a list that reads, grows and writes
// as if the removed ones had never been set.
TEST(XmlAttributes, RemovedAttributesAreGoneFromLookupsAndText) {
    XmlDocumentPtr doc = parseText("<?xml version=\"1.0\" standalone=\"yes\" ?>\r\n"
                                   "<r a=\"1\" b=\"2\" c=\"3\" ><e x=\"9\" ></e></r>");
    ASSERT_TRUE(doc);
    XmlDocument* d = doc.get();
    EXPECT_EQ(xmlRemoveAttr(d, "a"), XmlOk);
    EXPECT_EQ(xmlRemoveAttr(d, "c"), XmlOk);
    EXPECT_EQ(xmlRemoveAttr(d, "c"), XmlNotFound);
    EXPECT_EQ(attr(d, "a"), "<status 5>");
    EXPECT_EQ(xmlSetAttr(d, "d", "4"), XmlOk);
    EXPECT_EQ(xmlSetAttr(d, "a", "5"), XmlOk);
    std::string text = serializeText(d);
    EXPECT_NE(text.find("<r\r\n b = \"2\"\r\n d = \"4\"\r\n a = \"5\"\r\n>"), std::string::npos)
        << text;
    ASSERT_EQ(xmlMove(d, "e"), XmlOk);
    EXPECT_EQ(xmlRemoveAttr(d, "x"), XmlOk);
    EXPECT_EQ(serializeText(d).find("x = "), std::string::npos);
    // A list long enough for the lookup index keeps what it filed.
    for (int i = 0; i < 40; i++)
        xmlSetAttrInt(d, ("n" + std::to_string(i)).c_str(), i);
    EXPECT_EQ(xmlRemoveAttr(d, "n3"), XmlInvalid);
    EXPECT_EQ(attr(d, "n3"), "3");
}

TEST(XmlCopyRule, FillsTheWholeBufferOrLeavesItUntouched) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "abcd"));
    XmlDocument* d = doc.get();
    char buffer[8];
    memset(buffer, 'z', sizeof buffer);
    ASSERT_EQ(xmlGetName(d, buffer, sizeof buffer), XmlOk);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string("abcd\0\0\0\0", 8));

    // Exactly as long as the buffer: no room for the terminator.
    memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(xmlGetName(d, buffer, 4), XmlNoSpace);
    EXPECT_EQ(xmlGetName(d, buffer, 0), XmlNoSpace);
    xmlSetAttr(d, "v", "12345678");
    EXPECT_EQ(xmlGetAttr(d, "v", buffer, sizeof buffer), XmlNoSpace);
    EXPECT_EQ(xmlGetAttr(d, "w", buffer, sizeof buffer), XmlNotFound);
    EXPECT_EQ(std::string(buffer, sizeof buffer), "zzzzzzzz");
    char larger[9];
    EXPECT_EQ(xmlGetAttr(d, "v", larger, sizeof larger), XmlOk);
}

TEST(XmlGetAttrInt, ReadsLikeStrtol) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    struct Case {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"0012", 12},
        {"-5", -5},
        {"12abc", 12},
        {"abc", 0},
        {"  \t+7", 7},
        {"\r\n-0", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"99999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-99999999999", INT32_MIN},
        {"- 5", 0},
        {"4294967295", INT32_MAX},
    };
    for (const Case& c : cases) {
        xmlSetAttr(d, "n", c.text);
        int32_t number = 77;
        EXPECT_EQ(xmlGetAttrInt(d, "n", &number), XmlOk) << c.text;
        EXPECT_EQ(number, c.expected) << c.text;
    }
    xmlSetAttr(d, "n", "-5");
    uint32_t asUnsigned = 0;
    xmlGetAttrInt(d, "n", reinterpret_cast<int32_t*>(&asUnsigned));
    EXPECT_EQ(asUnsigned, 4294967291u);
}

TEST(XmlGetAttrInt, LeavesTheCallersValueUntouchedOnFailure) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    xmlSetAttr(d, "empty", "");
    xmlSetAttr(d, "long", std::string(128, '1').c_str());
    xmlSetAttr(d, "fits", std::string(127, '0').c_str());
    int32_t number = 41;
    EXPECT_EQ(xmlGetAttrInt(d, "missing", &number), XmlNotFound);
    EXPECT_EQ(xmlGetAttrInt(d, "empty", &number), XmlNotFound);
    EXPECT_EQ(xmlGetAttrInt(d, "long", &number), XmlNoSpace);
    EXPECT_EQ(xmlGetAttrInt(nullptr, "fits", &number), XmlInvalid);
    EXPECT_EQ(number, 41);
    EXPECT_EQ(xmlGetAttrInt(d, "fits", &number), XmlOk);
    EXPECT_EQ(number, 0);
}

TEST(XmlSetAttrNumbers, FormatSignedAndUnsignedDecimal) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    xmlSetAttrInt(d, "s", -20);
    xmlSetAttrInt(d, "min", INT32_MIN);
    xmlSetAttrUInt(d, "u", 4294967291u);
    EXPECT_EQ(attr(d, "s"), "-20");
    EXPECT_EQ(attr(d, "min"), "-2147483648");
    EXPECT_EQ(attr(d, "u"), "4294967291");
}

TEST(XmlArguments, NullPointersAreInvalidAndChangeNothing) {
    XmlDocumentPtr doc = smallTree();
    XmlDocument* d = doc.get();
    char buffer[8];
    XmlIterator it = nullptr;
    const char* text = nullptr;
    size_t length = 0;
    EXPECT_EQ(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, nullptr), nullptr);
    EXPECT_EQ(xmlMove(nullptr, "a"), XmlInvalid);
    EXPECT_EQ(xmlAddChild(nullptr, "a"), XmlInvalid);
    EXPECT_EQ(xmlAddChild(d, nullptr), XmlInvalid);
    EXPECT_EQ(xmlGetName(nullptr, buffer, sizeof buffer), XmlInvalid);
    EXPECT_EQ(xmlGetName(d, nullptr, 8), XmlInvalid);
    EXPECT_EQ(xmlFirstChild(d, nullptr), XmlInvalid);
    EXPECT_EQ(xmlNextSibling(nullptr, &it), XmlInvalid);
    EXPECT_EQ(xmlIterName(d, nullptr, buffer, sizeof buffer), XmlInvalid);
    EXPECT_EQ(xmlGetAttr(d, nullptr, buffer, sizeof buffer), XmlInvalid);
    EXPECT_EQ(xmlGetAttrInt(d, "a", nullptr), XmlInvalid);
    EXPECT_EQ(xmlSetAttr(d, nullptr, "v"), XmlInvalid);
    EXPECT_EQ(xmlSetAttrInt(nullptr, "a", 1), XmlInvalid);
    EXPECT_EQ(xmlSerialize(d, nullptr, &length), XmlInvalid);
    EXPECT_EQ(xmlSerialize(d, &text, nullptr), XmlInvalid);
    EXPECT_EQ(xmlSerialize(nullptr, &text, &length), XmlInvalid);
    EXPECT_EQ(xmlReleaseText(nullptr), XmlInvalid);
    xmlFree(nullptr);
    EXPECT_EQ(cursorName(d), "root");
}

TEST(XmlIndex, ManyChildrenAndAttributesStayFindable) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    for (int i = 0; i < 2000; i++) {
        std::string name = std::to_string(i);
        ASSERT_EQ(xmlAddChild(d, name.c_str()), XmlOk);
        ASSERT_EQ(xmlSetAttrInt(d, ("a" + name).c_str(), i), XmlOk);
    }
    for (int i = 0; i < 2000; i += 7) {
        std::string name = std::to_string(i);
        int32_t number = -1;
        ASSERT_EQ(xmlGetAttrInt(d, ("a" + name).c_str(), &number), XmlOk);
        EXPECT_EQ(number, i);
        ASSERT_EQ(xmlMove(d, name.c_str()), XmlOk);
        EXPECT_EQ(cursorName(d), name);
        xmlMove(d, "..");
    }
    // Names already present are found again, so nothing is added twice.
    for (int i = 0; i < 2000; i += 13) {
        ASSERT_EQ(xmlAddChild(d, std::to_string(i).c_str()), XmlOk);
        ASSERT_EQ(xmlSetAttrInt(d, ("a" + std::to_string(i)).c_str(), -i), XmlOk);
    }
    int children = 0;
    XmlIterator it = nullptr;
    for (XmlStatus s = xmlFirstChild(d, &it); s == XmlOk; s = xmlNextSibling(d, &it))
        children++;
    EXPECT_EQ(children, 2000);
    EXPECT_EQ(attr(d, "a13"), "-13");
    // Children and attributes of the same name do not stand in for each other.
    EXPECT_EQ(xmlMove(d, "a5"), XmlNotFound);
    EXPECT_EQ(attr(d, "5"), "<status 5>");
}

} // namespace
