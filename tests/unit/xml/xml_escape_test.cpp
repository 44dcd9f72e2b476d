// Entity escapes in both directions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "xml/xml.h"

namespace {

std::string escaped(const std::string& raw) {
    char* text = xmlEscape(raw.data(), raw.size());
    std::string result(text);
    free(text);
    EXPECT_EQ(xmlEscapedLength(raw.data(), raw.size()), result.size()) << raw;
    return result;
}

std::string unescaped(const std::string& text) {
    char* raw = xmlUnescape(text.data(), text.size());
    std::string result(raw);
    free(raw);
    EXPECT_EQ(xmlUnescapedLength(text.data(), text.size()), result.size()) << text;
    return result;
}

TEST(XmlEscape, UsesNamedEntitiesWhereTheTableHasThem) {
    EXPECT_EQ(escaped("C:\\My Music"), "C&#058;\\My&nbsp;Music");
    EXPECT_EQ(escaped("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(escaped("\t!#$%()*;=?@^{}"),
              "&#009;&#033;&#035;&#036;&#037;&#040;&#041;&#042;&#059;&#061;&#063;&#064;&#094;"
              "&#123;&#125;");
    EXPECT_EQ(escaped("/-_.,[]|~+`"), "/-_.,[]|~+`");
    EXPECT_EQ(escaped("時計 é"), "時計&nbsp;é");
}

TEST(XmlEscape, EveryLineEndBecomesOneReference) {
    EXPECT_EQ(escaped("a\r\nb\nc\rd\n\re"), "a&#010;b&#010;c&#010;d&#010;&#010;e");
}

TEST(XmlEscape, ZeroLengthMeansTheWholeText) {
    char* text = xmlEscape("a b", 0);
    EXPECT_STREQ(text, "a&nbsp;b");
    free(text);
    text = xmlUnescape("a&nbsp;b", 0);
    EXPECT_STREQ(text, "a b");
    free(text);
    EXPECT_EQ(xmlEscape(nullptr, 0), nullptr);
}

TEST(XmlUnescape, DecodesNamedAndNumericForms) {
    EXPECT_EQ(unescaped("&#010;"), "\r\n");
    EXPECT_EQ(unescaped("&#160;&nbsp;"), "  ");
    EXPECT_EQ(unescaped("&lt;&#060;&gt;&#062;&amp;&#038;&quot;&apos;&#039;"), "<<>>&&\"''");
    EXPECT_EQ(unescaped("&#058;&#009;&#125;"), ":\t}");
}

TEST(XmlUnescape, LeavesAnythingOutsideTheTableAsWritten) {
    EXPECT_EQ(unescaped("&#032;"), "&#032;");
    EXPECT_EQ(unescaped("&copy;&#x41;&#10;&"), "&copy;&#x41;&#10;&");
    EXPECT_EQ(unescaped("&amp"), "&amp");
    EXPECT_EQ(unescaped("&#01"), "&#01");
    EXPECT_EQ(unescaped("&&amp;"), "&&");
    // Decoding continues after the entity, so an escaped "&" does not start another entity.
    EXPECT_EQ(unescaped("&amp;lt;"), "&lt;");
}

TEST(XmlEscape, UnescapeUndoesEscapeForEveryByte) {
    std::string all;
    for (int c = 1; c < 256; c++)
        all += static_cast<char>(c);
    std::string expected = all;
    expected.replace(expected.find('\r'), 1, "\r\n");
    expected.replace(expected.find('\n'), 1, "\r\n");
    EXPECT_EQ(unescaped(escaped(all)), expected);
}

} // namespace
