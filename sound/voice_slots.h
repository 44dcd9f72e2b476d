// Voice slot bookkeeping shared by the voice calls and the engine threads. All of these run
// under the engine's state lock.
#pragma once

#include "sound/engine_internal.h"

// Takes a free slot and resets it for a new voice; null when all are in use.
SoundVoice* voiceAllocate(SoundEngine* engine);
// Returns the slot to the free part of the voice list.
void voiceFreeSlot(SoundEngine* engine, SoundVoice* voice);
// The live voice `handle` names, or null.
SoundVoice* voiceFromHandle(SoundEngine* engine, VoiceHandle handle);
inline VoiceHandle voiceHandleOf(SoundEngine* engine, const SoundVoice* voice) {
    return static_cast<VoiceHandle>(voice - engine->voices + 1) |
           (static_cast<VoiceHandle>(voice->generation) << 16);
}
// Kills the voice's handle and asks the stream thread to release it.
inline void voiceRequestClose(SoundVoice* voice) {
    ++voice->generation;
    voice->requestFlags = static_cast<uint16_t>((voice->requestFlags & ~VR_RUNNING) | VR_CLOSE);
}
