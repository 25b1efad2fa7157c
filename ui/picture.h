// Depth-1 pixmaps for the three pictures and their GCs, drawn with Xlib.
// Every call does nothing when headless or when the picture could not be
// created (a side beyond the X limit of 32767 pixels): results stay complete,
// only the picture is skipped.
#pragma once

enum class Picture { graph, output, dot };

// Frees the picture's pixmap and creates a new w x h one (depth 1), cleared
// to 0. Returns false when headless, when w or h is outside 1..32767, or when
// the server cannot allocate it; the picture is then invalid (drawing does
// nothing, width and height read 0) and its pixmap is a blank 1 x 1 one, so
// that copying it into a window never refers to a freed pixmap.
bool picture_new(Picture p, int w, int h);
bool picture_valid(Picture p);
int picture_width(Picture p);
int picture_height(Picture p);

void normal_color(Picture p);   // GXcopy, foreground 1, background 0
void reverse_color(Picture p);  // foreground 0, background 1
void xor_color(Picture p);      // GXxor

// Coordinates travel as 16-bit values in the X protocol: a filled rectangle
// is clipped to the picture, any other shape whose coordinates do not fit
// (or whose width or height is negative) is not drawn rather than wrapped.
void picture_fill_rect(Picture p, int x, int y, int w, int h);
void picture_line(Picture p, int x1, int y1, int x2, int y2);
void picture_rect(Picture p, int x, int y, int w, int h);
void picture_arc(Picture p, int x, int y, int w, int h, int a1, int a2);  // angles in 1/64 degree
void picture_string(Picture p, int x, int y, const char* s, int len);  // stops at a NUL
// Puts a w x h block of bits at (x, y), rows of `row_bytes` bytes in XBM
// order (least significant bit leftmost): a set bit becomes 1, a clear bit 0
// (with normal_color). Not drawn unless the block lies inside the picture.
void picture_put_bits(Picture p, int x, int y, int w, int h, const unsigned char* bits,
                      int row_bytes);

// Reads pixel (x, y) of the picture back from the server (tests); -1 when
// there is no picture or (x, y) lies outside it.
int picture_pixel(Picture p, int x, int y);

// Creates the three 1 x 1 pictures and their GCs on the open display, and
// frees them again (open_display, close_display and alles_aus call these).
void pictures_create();
void pictures_free();
