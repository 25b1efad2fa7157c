// Event dispatch, the main-window test and the program end, without X
// headers: what the engines need of the platform layer while they compute.
//
// Without a display (the batch tool, most tests) dispatch does nothing and
// the main window counts as shown.
#pragma once

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

// The keep-alive step of every long computation: dispatch, and end the
// program when the user has closed the main window meanwhile.
inline void keep_alive() {
  notify_dispatch();
  if (!main_window_shown()) alles_aus();
}
