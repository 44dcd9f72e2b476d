// What a plug-in tells about itself through its information export (plugin_info.cpp).
#pragma once

struct DecoderPluginTexts {
    const char* name;          // system code page (ASCII)
    const char* description;   // UTF-8
    const wchar_t* extensions; // UTF-16, "*.ext" patterns separated by ';'
};

// Each plug-in defines its own.
extern const DecoderPluginTexts PLUGIN_TEXTS;
