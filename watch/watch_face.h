// The watch face: the character sprite composed once per character choice, and the date, time
// and next-alarm symbol printed over its panel on every paint. User-interface thread only.
#pragma once

#include "platform/platform.h"

#include <cstdint>

struct BitmapInfoHeader;
class CBitMap;

// Everything one paint of the face reads. The watch window fills it from its application
// object: the two surfaces, the settings' `dateFormat` and `timeFormat` (0 and 0 without a
// settings record) and the `flags` and `symbol` of the next alarm due (all zero when none).
struct WatchFace {
    CBitMap* windowSurface;
    const CBitMap* spriteSurface;
    uint32_t dateFormat;
    int32_t timeFormat;
    uint32_t alarmFlags;
    int32_t alarmSymbol;
};

// Rebuilds `sprite` as a 32-bit picture of the companion and main images (either may be null)
// standing behind `panel`, and reports where the panel's top-left corner lies. Returns false,
// with the sprite left empty and the panel position untouched, when the new surface cannot be
// allocated.
bool composeSprite(CBitMap* sprite, const BitmapInfoHeader* panel,
                   const BitmapInfoHeader* companion, int32_t companionLeft,
                   const BitmapInfoHeader* mainImage, int32_t mainX, int32_t panelDrop,
                   int32_t* panelX, int32_t* panelY);

// composeSprite for row `chara` of the character table (row 0 for a value outside it), with
// the ImageTable's watch panel and character pictures.
bool composeCharacterSprite(CBitMap* sprite, int32_t chara, int32_t* panelX, int32_t* panelY);

// Draws the whole face for `now`: the sprite copied to the window surface, the date line at
// (x, y), the time line at (x + 6, y + 17) and the alarm symbol at (x + 109, y + 11). The watch
// window passes the panel position plus 6.
void renderWatchFace(const WatchFace& face, const SystemTime& now, int32_t x, int32_t y);

// True when the face for `now` would look exactly like the one painted for `painted` at
// `paintedAt`: the same surfaces, formats and alarm symbol, and the same second of the same
// day. The 200 ms repaint skips the paint then; the face only changes once a second, and a
// paint under Wine costs about a millisecond of CPU.
bool sameFacePicture(const WatchFace& face, const SystemTime& now, const WatchFace& painted,
                     const SystemTime& paintedAt);

// The date line of `now` in the face's date format, small glyphs, from (x, y).
void drawDate(const WatchFace& face, const SystemTime& now, int32_t x, int32_t y);

// The time line of `now` in the face's time format, large glyphs, from (x, y).
void drawTime(const WatchFace& face, const SystemTime& now, int32_t x, int32_t y);
