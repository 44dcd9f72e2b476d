// The writer's exact layout.
#include <gtest/gtest.h>

#include <string>

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

TEST(XmlSerialize, DeepTreesAreWrittenWithoutRecursion) {
    XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "r"));
    XmlDocument* d = doc.get();
    const int depth = 3000;
    for (int i = 0; i < depth; i++) {
        xmlAddChild(d, "n");
        xmlMove(d, "n");
    }
    std::string text = serializeText(d);
    ASSERT_NE(text, "<failed>");
    std::string deepest =
        "\r\n" + std::string(depth, ' ') + "</n>\r\n" + std::string(depth - 1, ' ') + "</n>";
    EXPECT_NE(text.find(deepest), std::string::npos);
}

} // namespace
