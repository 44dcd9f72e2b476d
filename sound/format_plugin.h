// A loaded decoder plug-in as the engine sees it: its information texts and its format entry
// points, and the adapters that make it a codec. The adapters call the plug-in only through the
// entry points recorded here, so any set of functions (a DLL's exports or in-process ones) can
// act as a plug-in.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "sound/plugin_records.h"

struct CodecContext;

constexpr int PLUGIN_TEXT_COUNT = 6;
constexpr int PLUGIN_TEXT_UNITS = 64;
// Information text index that carries the interface version.
constexpr int PLUGIN_TEXT_VERSION = 3;

using PluginInfoFn = int32_t(PLUGIN_CALL*)(uint32_t index, void* buffer, uint32_t size);
using PluginCheckFn = int32_t(PLUGIN_CALL*)(PluginCheckRecord* record);
using PluginFormatSeekFn = int32_t(PLUGIN_CALL*)(PluginSeekRecord* record);
using PluginPcmLoadFn = int32_t(PLUGIN_CALL*)(PluginLoadRecord* record);
using PluginDeleteFn = void(PLUGIN_CALL*)(PluginDeleteRecord* record);

struct FormatPlugin {
    void* module; // owned; released by whoever loaded the plug-in
    char16 texts[PLUGIN_TEXT_COUNT][PLUGIN_TEXT_UNITS];
    PluginCheckFn check;
    PluginFormatSeekFn seek;
    PluginPcmLoadFn load;
    PluginDeleteFn remove;
};

// The probe to register with EngineRegisterCodec, with the FormatPlugin as its context.
int32_t pluginProbe(CodecContext* context, uint32_t reserved);
// The hooks the probe installs for an accepted file.
int32_t pluginSeekHook(CodecContext* context, uint64_t* frame, uint64_t* byte);
size_t pluginReadHook(CodecContext* context, void* buffer, size_t size);
void pluginReleaseHook(CodecContext* context);
