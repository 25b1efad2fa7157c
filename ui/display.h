// The platform layer's display connection, event dispatch, main-window test
// and program end.
//
// Without a display (dpy == nullptr: the batch tool, most tests) dispatch does
// nothing, the main window counts as shown and every drawing step is skipped.
#pragma once
#include <X11/Xlib.h>

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

// Dispatches pending toolkit events. Cheap enough to be called every 20
// cells: headless it does nothing; with a display it dispatches for real only
// when the dispatch interval has passed since the last real dispatch.
void notify_dispatch();
void set_dispatch_interval_ms(int ms);   // default a few ms; tests set 0
long dispatch_count();                   // real dispatches so far (for tests)

// True while the main window is shown: the registered test decides; without
// one (headless, or before the shell registers its main window) always true.
bool main_window_shown();
// The shell registers the test; nullptr restores "always shown".
void set_main_window_test(bool (*shown)());

// Ends the program: frees the pixmaps and GCs, then exits with status 0.
// A test may install a hook that runs instead of the exit (it must not return
// into the engine: tests throw from it or longjmp).
[[noreturn]] void alles_aus();
void set_exit_hook(void (*hook)());

// Flushes the display (nothing when headless).
void flush_display();

// Restores the settings of the platform layer to their start values: dispatch
// interval, main-window test, exit hook, progress observer, window hooks and
// progress bar state. The display stays open or closed as it is. Tests call it.
void ui_reset();
