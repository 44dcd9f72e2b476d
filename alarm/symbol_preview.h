// The picture of an alarm symbol as the alarm dialog previews it: the symbol centred on a pale
// lilac ground. User-interface thread only.
#pragma once

#include <cstdint>

class CBitMap;

// Ground colour of the preview.
constexpr uint32_t SYMBOL_PREVIEW_GROUND = 0xDCC8E6;

// Fills `surface` with the ground, draws symbol `symbol` (0..6; any other value draws only the
// ground) centred on it and flips, so the front buffer holds the new picture.
void paintSymbolPreview(CBitMap* surface, uint32_t symbol);
