// Progress header and bar in the input summary strip of the main window,
// and the other drawing steps on that strip. They do nothing until the shell
// has created the strip (and always when headless); a progress observer lets
// the batch tool follow the engines' own reports.
#pragma once

extern int ber, ber1;  // current end and left end (x) of the progress bar

void show_break_it(const char* text);  // "Time to " + text + ":" and the empty bar frame
// v = 200 * rows done; ber = 140 + v / rows, at most 340 (the frame's right
// edge), rows being the phase's row count given to progress_reset (the length
// of sequence 2 for the engines' phases; 0 counts as 1). First ends the
// program when the main window is gone.
void show_time(unsigned v);
void show_ntime(unsigned v);           // the same bar, then dispatch events and the window test
// Starts a phase of `rows` rows: ber = 0, ber1 = 140.
void progress_reset(int rows);

// Clears the strip and draws one line of text at (x, y) (the "please wait"
// messages); flushes.
void summary_message(int x, int y, const char* text);

// Observer of progress reports (the batch tool's terminal bar): called with
// the whole header line as drawn ("Time to " + text + ":") by show_break_it
// (text != nullptr, fraction 0) and with the fraction done, v / (200 * rows)
// capped at 1, by show_time / show_ntime (text == nullptr).
using ProgressObserver = void (*)(const char* text, double fraction);
void set_progress_observer(ProgressObserver o);

// Hooks the shell installs once its windows exist; no-ops until then.
struct WindowHooks {
  void (*graph_scroll_size)(int w, int h) = nullptr;      // graph canvas scroll size
  void (*mark_field_bounds)(int maxx, int maxy) = nullptr; // upper bounds of the position fields
  void (*show_graph_pixmap)() = nullptr;                  // copy thePixmap to the graph canvas
  void (*summary_clear)() = nullptr;                      // clear the input summary strip
  void (*summary_draw)(int x, int y, const char* text) = nullptr;
  void (*summary_fill)(int x, int y, int w, int h) = nullptr;
  void (*summary_line)(int x1, int y1, int x2, int y2) = nullptr;
};
void set_window_hooks(const WindowHooks& h);
const WindowHooks& window_hooks();
