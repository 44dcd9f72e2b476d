// The writer's exact layout.
#include <gtest/gtest.h>

#include <string>

#include "xml/xml_tree.h"
#include "xml_test_util.h"

namespace {

TEST(XmlSerialize, WritesOneTagOrAttributePerLine) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "Alarm"));
    XmlDocument* d = doc.get();
    xmlSetAttr(d, "version", "1.00");
    xmlAddChild(d, "Edit");
    xmlMove(d, "Edit");
    xmlAddChild(d, "0");
    xmlMove(d, "0");
    xmlSetAttrUInt(d, "Enable", 1);
    xmlSetAttrUInt(d, "Symbol", 3);
    EXPECT_EQ(serializeText(d),
              crlfLines({"<?xml version=\"1.0\" standalone=\"yes\" ?>", "<Alarm",
                         " version = \"1.00\"", ">", " <Edit>", "  <0", "   Enable = \"1\"",
                         "   Symbol = \"3\"", "  >", "  </0>", " </Edit>", "</Alarm>"}));
    // The cursor plays no part and does not move.
    EXPECT_EQ(cursorName(d), "0");
}

TEST(XmlSerialize, DeclarationCarriesOnlyWhatIsDeclared) {
    XmlDocumentPtr bare(xmlCreate(XML_VERSION_1_1, XML_ENCODING_NONE, XML_STANDALONE_NONE, "r"));
    EXPECT_EQ(serializeText(bare.get()), crlfLines({"<?xml version=\"1.1\" ?>", "<r>", "</r>"}));
    XmlDocumentPtr full(xmlCreate(XML_VERSION_1_0, XML_ENCODING_SHIFT_JIS, XML_STANDALONE_NO, "r"));
    EXPECT_EQ(serializeText(full.get()).substr(3, 59),
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"no\" ?>");
}

TEST(XmlSerialize, EscapesNamesAndValues) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "a b"));
    XmlDocument* d = doc.get();
    xmlSetAttr(d, "File", "C:\\My Music\\時計.wav");
    xmlSetAttr(d, "Empty", "");
    xmlSetAttr(d, "Lines", "1\r\n2\n3");
    xmlSetAttr(d, "Amp", "&");
    EXPECT_EQ(serializeText(d),
              crlfLines({"<?xml version=\"1.0\" standalone=\"yes\" ?>", "<a&nbsp;b",
                         " File = \"C&#058;\\My&nbsp;Music\\時計.wav\"", " Empty = \"\"",
                         " Lines = \"1&#010;2&#010;3\"", " Amp = \"&amp;\"", ">", "</a&nbsp;b>"}));
}

TEST(XmlSerialize, LengthAndRepeatedCalls) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    const char* first = nullptr;
    size_t firstLength = 0;
    ASSERT_EQ(xmlSerialize(d, &first, &firstLength), XmlOk);
    std::string copy(first, firstLength);
    EXPECT_EQ(firstLength, copy.size());
    EXPECT_EQ(first[firstLength], '\0');
    EXPECT_EQ(copy, crlfLines({"<?xml version=\"1.0\" standalone=\"yes\" ?>", "<r>", "</r>"}));
    const char* second = nullptr;
    size_t secondLength = 0;
    ASSERT_EQ(xmlSerialize(d, &second, &secondLength), XmlOk);
    EXPECT_EQ(std::string(second, secondLength), copy);
    EXPECT_EQ(xmlReleaseText(d), XmlOk);
    EXPECT_EQ(xmlReleaseText(d), XmlOk);
}

TEST(XmlSerialize, NeverWritesWhatTheParserRefuses) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    // Names a tag cannot carry, and text that is not UTF-8, are refused where they come in.
    for (const char* name : {"", "/", "a/", "/a"})
        EXPECT_EQ(xmlAddChild(d, name), XmlInvalid) << name;
    EXPECT_EQ(xmlSetAttr(d, "", "v"), XmlInvalid);
    EXPECT_EQ(xmlSetAttr(d, "a\xFF", "v"), XmlInvalid);
    EXPECT_EQ(xmlSetAttr(d, "a", "\xE6\x99"), XmlInvalid);
    EXPECT_EQ(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r/"), nullptr);
    EXPECT_EQ(xmlCreate(0x20000, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"), nullptr);
    // A name with "/" inside is fine: only xmlMove cannot reach it.
    EXPECT_EQ(xmlSetAttr(d, "a/b", "v"), XmlOk);
    // The tree grows as deep as the parser reads, and no deeper.
    for (int depth = 1; depth < XML_MAX_DEPTH; depth++) {
        ASSERT_EQ(xmlAddChild(d, "n"), XmlOk);
        ASSERT_EQ(xmlMove(d, "n"), XmlOk);
    }
    EXPECT_EQ(xmlAddChild(d, "n"), XmlNoSpace);
    std::string text = serializeText(d);
    XmlDocumentPtr back = parseText(text);
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(serializeText(back.get()), text);
}

} // namespace
