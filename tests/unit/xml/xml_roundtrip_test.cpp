// Random documents written and read back must come back equal, line ends in values aside.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "xml/xml_tree.h"
#include "xml_test_util.h"

namespace {

// Pieces that a name may hold: everything the writer must escape, plus plain and non-ASCII text.
const char* const NAME_PIECES[] = {
    "a", "Z", "0", "_", "-", ".", " ",    "\t", "\"", "'",     "&",      "<",    ">",
    "=", "!", "#", "$", "%", "(", ")",    "*",  ":",  ";",     "?",      "@",    "^",
    "{", "}", "[", "|", "~", "é", "時計", "€",  "😀",  "&amp;", "&#010;", "<!--", "-->",
};
// Values may also hold path separators and every kind of line end.
const char* const VALUE_EXTRA[] = {"/", "\\", "\r\n", "\n", "\r", "/>", "\n\r", "</"};

struct Generator {
    std::mt19937 random;

    int below(int n) { return static_cast<int>(random() % n); }

    std::string name() {
        std::string text;
        int pieces = 1 + below(6);
        for (int i = 0; i < pieces; i++)
            text += NAME_PIECES[below(std::size(NAME_PIECES))];
        return text;
    }

    std::string value() {
        std::string text;
        int pieces = below(8);
        for (int i = 0; i < pieces; i++) {
            if (below(4) == 0) {
                text += VALUE_EXTRA[below(std::size(VALUE_EXTRA))];
            } else {
                text += NAME_PIECES[below(std::size(NAME_PIECES))];
            }
        }
        return text;
    }

    // Fills the cursor element and returns with the cursor back on it.
    void fill(XmlDocument* doc, int depth) {
        int attributes = below(5);
        for (int i = 0; i < attributes; i++)
            xmlSetAttr(doc, name().c_str(), value().c_str());
        if (depth == 0) return;
        int children = below(4);
        for (int i = 0; i < children; i++) {
            std::string child = name();
            xmlAddChild(doc, child.c_str());
            XmlIterator it = nullptr;
            xmlFirstChild(doc, &it);
            while (it->next)
                it = it->next;
            // Step into the newest child directly: the path syntax cannot name every child.
            if (it->nameLength != child.size()) continue;
            doc->cursor = it;
            fill(doc, depth - 1);
            doc->cursor = it->parent;
        }
    }
};

// Every line end form in a value reads back as CR LF.
std::string normalizedLineEnds(const char* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; i++) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') i++;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

void expectSameElement(const XmlNode* written, const XmlNode* read) {
    ASSERT_EQ(std::string(written->name, written->nameLength),
              std::string(read->name, read->nameLength));
    const XmlAttr* a = written->attributes.first;
    const XmlAttr* b = read->attributes.first;
    for (; a && b; a = a->next, b = b->next) {
        EXPECT_EQ(std::string(a->name, a->nameLength), std::string(b->name, b->nameLength));
        EXPECT_EQ(normalizedLineEnds(a->value, a->valueLength),
                  std::string(b->value ? b->value : "", b->valueLength));
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
    const XmlNode* x = written->children.first;
    const XmlNode* y = read->children.first;
    for (; x && y; x = x->next, y = y->next)
        expectSameElement(x, y);
    EXPECT_EQ(x, nullptr);
    EXPECT_EQ(y, nullptr);
}

TEST(XmlRoundTrip, RandomDocumentsReadBackEqual) {
    Generator generator{std::mt19937(20261208)};
    for (int round = 0; round < 300; round++) {
        std::string rootName = generator.name();
        XmlDocumentPtr doc(xmlCreate(XML_VERSION_1_0, static_cast<XmlEncoding>(round % 5),
                                     static_cast<XmlStandalone>(round % 3), rootName.c_str()));
        generator.fill(doc.get(), 3);
        std::string text = serializeText(doc.get());
        XmlDocumentPtr back = parseText(text);
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(back->encoding, doc->encoding);
        EXPECT_EQ(back->standalone, doc->standalone);
        expectSameElement(doc->root, back->root);
        // Once read, the text is stable: writing the read tree gives the same bytes.
        EXPECT_EQ(serializeText(back.get()), text);
        if (HasFailure()) break;
    }
}

} // namespace
