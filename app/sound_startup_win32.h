// Opening and closing the audio engine around the watch's life.
#pragma once

struct WatchSettings;

// Opens the engine with the settings' output format (engine defaults without settings),
// registers the codecs and sets the master volume. Without a sound device the watch runs silent.
void startSoundEngine(const WatchSettings* settings);
// Closes the engine and frees the memory block it lived in.
void stopSoundEngine();
