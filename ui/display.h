// The platform layer's display connection (with dispatch, the main-window
// test and the program end of ui/dispatch.h).
//
// Without a display (dpy == nullptr: the batch tool, most tests) dispatch does
// nothing, the main window counts as shown and every drawing step is skipped.
#pragma once
#include <X11/Xlib.h>

#include "ui/dispatch.h"

extern Display* dpy;   // the display connection; nullptr when headless
extern GC gc;          // the screen's default GC (valid only with a display)

// Opens the display named by $DISPLAY (or `name`) and creates the picture
// pixmaps and their GCs. Returns false and stays headless when it cannot.
// Returns true at once when a display is already open.
bool open_display(const char* name = nullptr);
// Closes the display (frees pixmaps and GCs first); afterwards headless again.
// A connection that was handed to FLTK (attach_toolkit) stays open for FLTK,
// and the next open_display takes it up again.
void close_display();

// Lets FLTK work on our connection, so that its windows and our pixmaps live
// on the same display and one dispatch serves both. The shell calls it before
// creating windows; the notice window calls it too. False when headless or
// when FLTK already uses another connection.
bool attach_toolkit();

// Restores the settings of the platform layer to their start values: dispatch
// interval, main-window test, exit hook, progress observer, window hooks and
// progress bar state. The display stays open or closed as it is. Tests call it.
void ui_reset();
