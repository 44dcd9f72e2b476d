// Files made to defeat the name index: names chosen to collide under a plain, unseeded hash.
#include <gtest/gtest.h>

#include <string>

#include "xml/xml_tree.h"
#include "xml_test_util.h"

namespace {

// Four-byte blocks that leave the low 18 bits of a 32-bit FNV-1a state where they were, from its
// usual start. Names made of them agree in those bits whatever their order, which once put every
// one of them into one probe run of the index.
const char COLLIDING_BLOCKS[] =
    "BhbhCHevDPHdDUtuENv3FYK6Gm5kGnWZIHDGK6VALZdBLdvvLnsCMOT4MR3pNvGAOj5lO3K3PIanRJRjSjDSTo1hVZUS"
    "WgpnXS5LXheoYYXzYmqyZX33ZgZKaTXWaWdXccCgc20wfG09g9iKhoTsjAzMjZc5jmCNlH2VlMRgoVqLpccBr7UntqLi"
    "uilrvAmhvcODx6F80JZx12ha3y2n4zYa5DXk606070TU8JbH";
constexpr size_t BLOCK_COUNT = (sizeof COLLIDING_BLOCKS - 1) / 4;

std::string collidingName(size_t i) {
    std::string name;
    for (int part = 0; part < 3; part++) {
        name.append(COLLIDING_BLOCKS + 4 * (i % BLOCK_COUNT), 4);
        i /= BLOCK_COUNT;
    }
    return name;
}

// `elements` elements, each with `count` attributes of colliding names.
std::string collidingFile(int elements, int count) {
    std::string text = "<?xml version=\"1.0\" ?>\r\n<r>\r\n";
    for (int e = 0; e < elements; e++) {
        text += "<e" + std::to_string(e);
        for (int i = 0; i < count; i++)
            text += "\r\n " + collidingName(i) + " = \"" + std::to_string(i) + "\"";
        text += "\r\n/>\r\n";
    }
    return text + "</r>\r\n";
}

TEST(XmlHostile, CollidingNamesLoadInLinearTime) {
    const int elements = 4;
    const int count = 16000;
    XmlDocumentPtr doc = parseText(collidingFile(elements, count));
    ASSERT_TRUE(doc);
    ASSERT_EQ(xmlMove(doc.get(), "e3"), XmlOk);
    EXPECT_EQ(attr(doc.get(), collidingName(count - 1).c_str()), std::to_string(count - 1));
    // Piled into one run, each of the 64,000 attributes would look at thousands of slots (the
    // load took seconds); spread out, a few.
    EXPECT_GT(doc->index.searches, uint64_t{elements} * count);
    EXPECT_LT(doc->index.probes, 4 * doc->index.searches);
}

} // namespace
