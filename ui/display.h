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
bool open_display(const char* name = nullptr);
// Closes the display (frees pixmaps and GCs first); afterwards headless again.
void close_display();

// Dispatches pending toolkit events. Cheap enough to be called every 20
// cells: headless it does nothing; with a display it dispatches for real only
// when the dispatch interval has passed since the last real dispatch.
void notify_dispatch();
void set_dispatch_interval_ms(int ms);   // default a few ms; tests set 0
long dispatch_count();                   // real dispatches so far (for tests)

// True while the main window is shown (always true headless, and until the
// shell registers its main window).
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
