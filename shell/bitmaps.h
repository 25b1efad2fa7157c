// The bitmaps of the window program (data in bitmaps.cpp).
#pragma once

extern const unsigned char cursor_bits[32];   // 16 x 16 ring: the graph canvas (hot spot 7, 7)
extern const unsigned char cursor2_bits[32];  // 16 x 16 arrow: the other canvases (hot spot 1, 1)
extern const unsigned char icon_bits[512];    // 64 x 64 icon
