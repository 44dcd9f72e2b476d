// The pieces of one popup frame that do not need the analyzer: the player panel, the alarm
// symbol, the time readout and the progress bar, drawn into the popup's back buffer.
#pragma once

#include <cstdint>

#include "player/popup_layout.h"

struct BitmapInfoHeader;
class CBitMap;

// Bar colours, 0xRRGGBB.
constexpr uint32_t PROGRESS_PLAYED_COLOUR = 0xF028C8;
constexpr uint32_t PROGRESS_REST_COLOUR = 0x323232;
constexpr uint32_t PROGRESS_PREVIEW_COLOUR = 0x14B4C8;
// The snooze mark takes the colour of the bar's seek preview: both show what a click will do.
constexpr uint32_t SNOOZE_MARK_COLOUR = PROGRESS_PREVIEW_COLOUR;

// Copies the whole player panel, black pixels included, over the previous frame.
void drawPopupPanel(CBitMap* surface, const BitmapInfoHeader* panel);
// The alarm symbol at (4, 10); a null symbol draws nothing.
void drawPopupSymbol(CBitMap* surface, const BitmapInfoHeader* symbol);
// The "Zz" mark over the symbol's top right corner that shows a click there snoozes.
void drawSnoozeMark(CBitMap* surface);
// The readout in large black digits from (38, 15), its AM/PM mark at y 27.
void drawPopupReadout(CBitMap* surface, const PopupReadout& readout);
// The bar: played columns up to `playedEnd`, the rest after it, and with `preview` the part
// between `playedEnd` and `previewEnd` in the seek colour.
void drawProgressBar(CBitMap* surface, int32_t playedEnd, bool preview, int32_t previewEnd);
