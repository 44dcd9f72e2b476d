// The tokenizing parser: what it accepts, what it rejects, and its limits on hostile input.
#include <gtest/gtest.h>

#include <string>

#include "xml/xml_tree.h"
#include "xml_test_util.h"

namespace {

const char* const DECLARATION = "<?xml version=\"1.0\" standalone=\"yes\" ?>";

std::string withDeclaration(const std::string& body) {
    return std::string(DECLARATION) + "\r\n" + body;
}

TEST(XmlParse, ReadsTheWritersLayout) {
    XmlDocumentPtr doc = parseText(crlfLines(
        {DECLARATION, "<Alarm", " version = \"1.00\"", ">", " <Edit>", "  <0", "   Enable = \"1\"",
         "   Symbol = \"3\"", "  >", "  </0>", " </Edit>", "</Alarm>"}));
    ASSERT_TRUE(doc);
    XmlDocument* d = doc.get();
    EXPECT_EQ(cursorName(d), "Alarm");
    EXPECT_EQ(attr(d, "version"), "1.00");
    ASSERT_EQ(xmlMove(d, "Edit/0"), XmlOk);
    EXPECT_EQ(attr(d, "Enable"), "1");
    EXPECT_EQ(attr(d, "Symbol"), "3");
    EXPECT_EQ(d->version, XML_VERSION_1_0);
    EXPECT_EQ(d->encoding, XML_ENCODING_NONE);
    EXPECT_EQ(d->standalone, XML_STANDALONE_YES);
}

TEST(XmlParse, ByteOrderMarkIsOptional) {
    std::string text = withDeclaration("<r a=\"1\" ></r>");
    XmlDocumentPtr plain = parseText(text);
    XmlDocumentPtr marked = parseText("\xEF\xBB\xBF" + text);
    ASSERT_TRUE(plain);
    ASSERT_TRUE(marked);
    EXPECT_EQ(serializeText(plain.get()), serializeText(marked.get()));
}

TEST(XmlParse, DeclarationForms) {
    struct Case {
        const char* declaration;
        bool accepted;
        uint32_t version;
        XmlEncoding encoding;
        XmlStandalone standalone;
    } cases[] = {
        {"<?xml version=\"1.0\" ?>", true, XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_NONE},
        {"<?xml version='1.1' encoding=\"UTF-8\" standalone=\"no\" ?>", true, XML_VERSION_1_1,
         XML_ENCODING_UTF8, XML_STANDALONE_NO},
        {"<?xml encoding = \"Shift_JIS\" version=\"1.0\" encoding=\"EUC-JP\" ?>", true,
         XML_VERSION_1_0, XML_ENCODING_EUC_JP, XML_STANDALONE_NONE},
        {"<?xml encoding=\"UTF-16\" ?>", true, XML_VERSION_1_0, XML_ENCODING_UTF16,
         XML_STANDALONE_NONE},
        {"<?xml version=\"1.0\"?>", false, 0, XML_ENCODING_NONE, XML_STANDALONE_NONE},
        {"<?xml version=\"1.0\" encoding=\"utf-8\" ?>", false, 0, XML_ENCODING_NONE,
         XML_STANDALONE_NONE},
        {"<?xml version=\"2.0\" ?>", false, 0, XML_ENCODING_NONE, XML_STANDALONE_NONE},
        {"<?xml version \"1.0\" ?>", false, 0, XML_ENCODING_NONE, XML_STANDALONE_NONE},
        {"<?xml version=\"1.0\" other=\"x\" ?>", false, 0, XML_ENCODING_NONE, XML_STANDALONE_NONE},
        {"<?xmlish version=\"1.0\" ?>", true, XML_VERSION_1_0, XML_ENCODING_NONE,
         XML_STANDALONE_NONE},
        {"<xml version=\"1.0\" ?>", false, 0, XML_ENCODING_NONE, XML_STANDALONE_NONE},
    };
    for (const Case& c : cases) {
        XmlDocumentPtr doc = parseText(std::string(c.declaration) + "\n<root ></root>");
        ASSERT_EQ(doc != nullptr, c.accepted) << c.declaration;
        if (!doc) continue;
        EXPECT_EQ(doc->version, c.version) << c.declaration;
        EXPECT_EQ(doc->encoding, c.encoding) << c.declaration;
        EXPECT_EQ(doc->standalone, c.standalone) << c.declaration;
    }
}

TEST(XmlParse, ADeclarationWithoutVersionIsWrittenBackAsOnePointZero) {
    XmlDocumentPtr doc = parseText("<?xml standalone=\"yes\" ?>\n<root ></root>");
    ASSERT_TRUE(doc);
    std::string text = serializeText(doc.get());
    std::string declaration = "\xEF\xBB\xBF<?xml version=\"1.0\" standalone=\"yes\" ?>\r\n";
    EXPECT_EQ(text.substr(0, declaration.size()), declaration);
    EXPECT_TRUE(parseText(text));
}

TEST(XmlParse, RepeatedSiblingsMergeIntoOneElement) {
    XmlDocumentPtr doc = parseText(withDeclaration(
        "<r>\n<g a=\"1\" b=\"2\" >\n<x/>\n</g>\n<g b=\"3\" c=\"4\" >\n<y/>\n</g>\n</r>"));
    ASSERT_TRUE(doc);
    XmlDocument* d = doc.get();
    ASSERT_EQ(xmlMove(d, "g"), XmlOk);
    EXPECT_EQ(attr(d, "a"), "1");
    EXPECT_EQ(attr(d, "b"), "3");
    EXPECT_EQ(attr(d, "c"), "4");
    EXPECT_EQ(xmlMove(d, "x/../y"), XmlOk);
    xmlMove(d, nullptr);
    XmlIterator it = nullptr;
    xmlFirstChild(d, &it);
    EXPECT_EQ(xmlNextSibling(d, &it), XmlNoNode);
}

// Names and values are decoded inside the document's own copy of the text: the caller's bytes stay
// as they were, a repeated attribute takes its last value whatever the lengths, and values read
// in place can be replaced by shorter and longer ones.
TEST(XmlParse, DecodesInItsOwnCopyOfTheText) {
    const std::string text = withDeclaration(
        "<r>\r\n <a&#033;b\r\n  v = \"x&nbsp;y&amp;z\"\r\n  w = \"long&nbsp;value\"\r\n"
        "  w = \"&lt;\"\r\n  v = \"plain\"\r\n >\r\n </a&#033;b>\r\n</r>");
    std::string callers = text;
    XmlDocumentPtr doc(xmlParse(callers.data(), callers.size()));
    ASSERT_TRUE(doc);
    EXPECT_EQ(callers, text);
    XmlDocument* d = doc.get();
    ASSERT_EQ(xmlMove(d, "a!b"), XmlOk);
    EXPECT_EQ(attr(d, "v"), "plain");
    EXPECT_EQ(attr(d, "w"), "<");
    ASSERT_EQ(xmlSetAttr(d, "v", "pl"), XmlOk);
    ASSERT_EQ(xmlSetAttr(d, "w", "longer than any value before"), XmlOk);
    std::string written = serializeText(d);
    EXPECT_NE(written.find(" <a&#033;b\r\n  v = \"pl\"\r\n  w = \"longer&nbsp;than"),
              std::string::npos);
    XmlDocumentPtr again = parseText(written);
    ASSERT_TRUE(again);
    EXPECT_EQ(serializeText(again.get()), written);
}

TEST(XmlParse, EmptyElementTagsAndComments) {
    XmlDocumentPtr doc = parseText(withDeclaration("<!-- a -->\r\n<r>\n<a x=\"1\" />\n<!--b-->\n"
                                                   "<b/>\n<c\n/>\n<!---->\n</r> trailing junk"));
    ASSERT_TRUE(doc);
    XmlDocument* d = doc.get();
    EXPECT_EQ(xmlMove(d, "a"), XmlOk);
    EXPECT_EQ(attr(d, "x"), "1");
    EXPECT_EQ(xmlMove(d, "../b"), XmlOk);
    EXPECT_EQ(xmlMove(d, "../c"), XmlOk);
    // A whole document can be one empty root element.
    EXPECT_TRUE(parseText(withDeclaration("<r k=\"v\" />")));
}

TEST(XmlParse, RejectsWhatTheTokenizerCannotRead) {
    const char* bodies[] = {
        "\t<r></r>",                 // tab is not whitespace
        "<r>\n\t<a/>\n</r>",         // nor inside content
        "<r a=\"1\"></r>",           // ">" glued to the last value
        "<r a=\"1\"/>",              // "/>" glued to the last value
        "<r a=1 ></r>",              // value without quotes
        "<r a ></r>",                // attribute without "="
        "<r>\ntext\n</r>",           // character data
        "<r>\n<a>\n</b>\n</r>",      // closing tag names another element
        "<r>\n<a>\n</a>",            // root never closed
        "<\n=\"1\" >\n</>",          // empty name token
        "<r>\n</rr>",                // closing name continues
        "<r >\n<![CDATA[x]]>\n</r>", // no CDATA sections
        "<!DOCTYPE r>\n<r ></r>",    // no document types
    };
    for (const char* body : bodies) {
        EXPECT_FALSE(parseText(withDeclaration(body))) << body;
    }
    // The text ends at a zero byte.
    EXPECT_FALSE(parseText(withDeclaration(std::string("<r ></r\0>", 9))));
    EXPECT_TRUE(parseText(withDeclaration(std::string("<r ></r>\0junk", 13))));
    EXPECT_FALSE(parseText("<r ></r>\n<!-- no declaration -->"));
}

TEST(XmlParse, ShortInputsAreNotExamined) {
    EXPECT_EQ(xmlParse(nullptr, 100), nullptr);
    EXPECT_EQ(xmlParse("<?xml ?><r/>    ", 16), nullptr);
    EXPECT_TRUE(XmlDocumentPtr(xmlParse("<?xml ?>\n<r/>    ", 17)));
}

TEST(XmlParse, NeverReadsPastTheGivenLength) {
    std::string text = withDeclaration("<r ></r>");
    // A copy on the heap of exactly that size lets the address sanitizer catch any overread.
    for (size_t cut = 17; cut <= text.size(); cut++) {
        std::unique_ptr<char[]> exact(new char[cut]);
        memcpy(exact.get(), text.data(), cut);
        XmlDocumentPtr doc(xmlParse(exact.get(), cut));
        EXPECT_EQ(doc != nullptr, cut == text.size()) << cut;
    }
}

TEST(XmlParse, InvalidUtf8BetweenTokensIsSkippedAndEndsTokens) {
    XmlDocumentPtr doc = parseText(withDeclaration("\xFF\x80<r \xC0 a=\"\xE6\x99\x82\" ></r>"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(attr(doc.get(), "a"), "\xE6\x99\x82");
    // A truncated sequence ends the value token before its closing quote.
    EXPECT_FALSE(parseText(withDeclaration("<r a=\"\xE6\x99\" ></r>")));
}

TEST(XmlParse, NestingIsBoundedAndDeepInputFailsCleanly) {
    auto nested = [](int depth) {
        std::string text = std::string(DECLARATION) + "\n";
        for (int i = 0; i < depth; i++)
            text += "<a>\n";
        for (int i = 0; i < depth; i++)
            text += "</a>\n";
        return text;
    };
    EXPECT_TRUE(parseText(nested(32)));
    EXPECT_FALSE(parseText(nested(33)));
    EXPECT_FALSE(parseText(nested(200000)));
    std::string unclosed = std::string(DECLARATION) + "\n";
    for (int i = 0; i < 200000; i++)
        unclosed += "<a>\n";
    EXPECT_FALSE(parseText(unclosed));
}

TEST(XmlParse, ListsAreBoundedAndLongOnesLoadInLinearTime) {
    auto file = [](uint32_t count) {
        std::string text = std::string(DECLARATION) + "\n<r\n";
        for (uint32_t i = 0; i < count; i++)
            text += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"\n";
        text += ">\n";
        for (uint32_t i = 0; i < count; i++)
            text += "<e" + std::to_string(i) + "/>\n";
        return text + "</r>\n";
    };
    XmlDocumentPtr doc = parseText(file(XML_MAX_LIST));
    ASSERT_TRUE(doc);
    std::string last = std::to_string(XML_MAX_LIST - 1);
    EXPECT_EQ(attr(doc.get(), ("a" + last).c_str()), last);
    EXPECT_EQ(xmlMove(doc.get(), ("e" + last).c_str()), XmlOk);
    // Each lookup and placement looks at a few slots, not at a run of them.
    EXPECT_LT(doc->index.probes, 4 * doc->index.searches);
    EXPECT_FALSE(parseText(file(XML_MAX_LIST + 1)));
}

TEST(XmlParse, RefusesElementNamesTheWriterCannotCarry) {
    EXPECT_FALSE(parseText(withDeclaration("<r >\r\n<a//>\r\n</r>")));
    EXPECT_FALSE(parseText(withDeclaration("<r >\r\n< /a>\r\n</ /a>\r\n</r>")));
    EXPECT_FALSE(parseText(withDeclaration("<r >\r\n<> </>\r\n</r>")));
    EXPECT_FALSE(parseText(withDeclaration("<r/ />")));
    EXPECT_TRUE(parseText(withDeclaration("<r >\r\n<a/b />\r\n</r>")));
}

} // namespace
