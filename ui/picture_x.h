// The X objects behind the three pictures, for the code that copies them
// into windows (the shell's canvases) and for tests that read them back.
#pragma once
#include <X11/Xlib.h>

#include "ui/picture.h"

extern Pixmap thePixmap, the1Pixmap, the2Pixmap;  // graph, alignment output, dot matrix
extern GC gcp, gcp1, gcp2;                        // one GC per pixmap, created on it
