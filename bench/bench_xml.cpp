// Parse plus serialize of the two files the program keeps, the settings and a 32-alarm list, and
// of a hostile file of colliding names, through our XML library and through pugixml and tinyxml2
// on the same trees.
//
// Each library reads its own text form of the tree: ours the line-per-attribute file the program
// writes, the peers standard XML written by pugixml (alarm elements named "0", "1"... take an "n"
// in front there, since XML names cannot start with a digit).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <string>
#include <tinyxml2.h>

#include "xml/xml_tree.h"

namespace {

const char* const ALARM_FIELDS[] = {"Enable",   "Symbol",  "Repeat",    "Loop",    "WeekMon",
                                    "WeekTues", "WeekWed", "WeekThurs", "WeekFri", "WeekSat",
                                    "WeekSun",  "Hour",    "Minute",    "Second",  "Play"};

std::string serialized(XmlDocument* doc) {
    const char* text = nullptr;
    size_t length = 0;
    xmlSerialize(doc, &text, &length);
    std::string result(text, length);
    xmlReleaseText(doc);
    return result;
}

std::string settingsText() {
    std::ifstream in(std::string(VESK_SOURCE_DIR) + "/tests/data/app/Setting.default.xml",
                     std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file the alarm list writes for 32 alarms, built the way the list saves it.
std::string alarmText() {
    XmlDocument* doc = xmlCreate(XML_VERSION_1_0, XML_ENCODING_NONE, XML_STANDALONE_YES, "Alarm");
    xmlSetAttr(doc, "version", "1.00");
    xmlAddChild(doc, "Edit");
    xmlMove(doc, "Edit");
    for (uint32_t i = 0; i < 32; i++) {
        char name[16];
        snprintf(name, sizeof name, "%u", i);
        xmlAddChild(doc, name);
        xmlMove(doc, name);
        for (uint32_t f = 0; f < 15; f++)
            xmlSetAttrUInt(doc, ALARM_FIELDS[f], (i * 7 + f) % 24);
        char file[96];
        snprintf(file, sizeof file,
                 i % 2 ? "C:\\Users\\me\\Music\\alarm %02u.wav" : "sounds\\ベルの音 %u.wav", i);
        xmlSetAttr(doc, "File", file);
        xmlMove(doc, "../");
    }
    std::string text = serialized(doc);
    xmlFree(doc);
    return text;
}

// A hostile file: four elements of 16,000 attributes each, whose names all agree in the low 18
// bits of a plain 32-bit FNV-1a hash (names made of four-byte blocks that leave those bits of its
// state unchanged). The name index must not let such names pile up in one probe run.
std::string collidingText() {
    static const char blocks[] =
        "BhbhCHevDPHdDUtuENv3FYK6Gm5kGnWZIHDGK6VALZdBLdvvLnsCMOT4MR3pNvGAOj5lO3K3PIanRJRjSjDSTo1h"
        "VZUSWgpnXS5LXheoYYXzYmqyZX33ZgZKaTXWaWdXccCgc20wfG09g9iKhoTsjAzMjZc5jmCNlH2VlMRgoVqLpccB"
        "r7UntqLiuilrvAmhvcODx6F80JZx12ha3y2n4zYa5DXk606070TU8JbH";
    const size_t count = (sizeof blocks - 1) / 4;
    std::string text = "\xEF\xBB\xBF<?xml version=\"1.0\" standalone=\"yes\" ?>\r\n<r>";
    for (int e = 0; e < 4; e++) {
        text += "\r\n <e" + std::to_string(e);
        for (size_t i = 0, made = 0; made < 16000; i++) {
            // Standard XML names, for the peers, cannot begin with a digit.
            if (blocks[4 * (i % count)] <= '9') continue;
            made++;
            text += "\r\n  ";
            for (size_t part = 0, rest = i; part < 3; part++, rest /= count)
                text.append(blocks + 4 * (rest % count), 4);
            text += " = \"" + std::to_string(i) + "\"";
        }
        text += "\r\n >\r\n </e" + std::to_string(e) + ">";
    }
    return text + "\r\n</r>\r\n";
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

void copyInto(pugi::xml_node out, const XmlNode* element) {
    std::string name(element->name, element->nameLength);
    if (!name.empty() && name[0] >= '0' && name[0] <= '9') name = "n" + name;
    pugi::xml_node node = out.append_child(name.c_str());
    for (const XmlAttr* a = element->attributes.first; a; a = a->next) {
        node.append_attribute(std::string(a->name, a->nameLength).c_str())
            .set_value(std::string(a->value ? a->value : "", a->valueLength).c_str());
    }
    for (const XmlNode* c = element->children.first; c; c = c->next)
        copyInto(node, c);
}

// The same tree as standard XML, as pugixml writes it.
std::string peerText(const std::string& ours) {
    XmlDocument* doc = xmlParse(ours.data(), ours.size());
    pugi::xml_document peer;
    pugi::xml_node declaration = peer.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("standalone") = "yes";
    copyInto(peer, doc->root);
    xmlFree(doc);
    StringWriter collect;
    peer.save(collect, " ", pugi::format_default | pugi::format_write_bom);
    return collect.text;
}

void runOurs(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        XmlDocument* doc = xmlParse(text.data(), text.size());
        if (!doc) {
            state.SkipWithError("parse failed");
            break;
        }
        const char* out = nullptr;
        size_t length = 0;
        xmlSerialize(doc, &out, &length);
        benchmark::DoNotOptimize(out);
        xmlReleaseText(doc);
        xmlFree(doc);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.counters["text_bytes"] = static_cast<double>(text.size());
}

void runPugixml(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_buffer(text.data(), text.size())) {
            state.SkipWithError("parse failed");
            break;
        }
        StringWriter out;
        doc.save(out, " ");
        benchmark::DoNotOptimize(out.text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.counters["text_bytes"] = static_cast<double>(text.size());
}

void runTinyxml2(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        tinyxml2::XMLDocument doc;
        if (doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
            state.SkipWithError("parse failed");
            break;
        }
        tinyxml2::XMLPrinter printer;
        doc.Print(&printer);
        benchmark::DoNotOptimize(printer.CStr());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.counters["text_bytes"] = static_cast<double>(text.size());
}

// Made before any benchmark runs, so that a single timed iteration holds only the work itself.
const std::string SETTINGS = settingsText();
const std::string ALARMS = alarmText();
const std::string PEER_SETTINGS = peerText(SETTINGS);
const std::string PEER_ALARMS = peerText(ALARMS);
const std::string COLLIDING = collidingText();
const std::string PEER_COLLIDING = peerText(COLLIDING);

void BM_Settings_Ours(benchmark::State& state) {
    runOurs(state, SETTINGS);
}
void BM_Settings_Pugixml(benchmark::State& state) {
    runPugixml(state, PEER_SETTINGS);
}
void BM_Settings_Tinyxml2(benchmark::State& state) {
    runTinyxml2(state, PEER_SETTINGS);
}
void BM_Alarms32_Ours(benchmark::State& state) {
    runOurs(state, ALARMS);
}
void BM_Alarms32_Pugixml(benchmark::State& state) {
    runPugixml(state, PEER_ALARMS);
}
void BM_Alarms32_Tinyxml2(benchmark::State& state) {
    runTinyxml2(state, PEER_ALARMS);
}
void BM_CollidingNames_Ours(benchmark::State& state) {
    runOurs(state, COLLIDING);
}
void BM_CollidingNames_Pugixml(benchmark::State& state) {
    runPugixml(state, PEER_COLLIDING);
}
void BM_CollidingNames_Tinyxml2(benchmark::State& state) {
    runTinyxml2(state, PEER_COLLIDING);
}

BENCHMARK(BM_Settings_Ours);
BENCHMARK(BM_Settings_Pugixml);
BENCHMARK(BM_Settings_Tinyxml2);
BENCHMARK(BM_Alarms32_Ours);
BENCHMARK(BM_Alarms32_Pugixml);
BENCHMARK(BM_Alarms32_Tinyxml2);
BENCHMARK(BM_CollidingNames_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollidingNames_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollidingNames_Tinyxml2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
