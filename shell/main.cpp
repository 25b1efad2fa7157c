// vardane: the window program. Toolkit options (-display, -geometry, ...)
// come first; an argument after them names a file for the text window.
#include <FL/Fl.H>

#include <cstdio>

#include "cost/cost.h"
#include "shell/shell.h"
#include "ui/display.h"

int main(int argc, char** argv) {
  install_rescue_handler();
  int i = 1;
  if (!Fl::args(argc, argv, i) || i < argc - 1) {
    std::fprintf(stderr, "usage: vardane [toolkit options] [FILE]\n");
    return 1;
  }
  if (!open_display() || !attach_toolkit()) {
    std::fprintf(stderr, "vardane: cannot open the X display (is DISPLAY set?)\n");
    return 1;
  }
  build_windows();
  fp_err_handler();
  if (i < argc) textsw->load(argv[i]);
  show_main_window();
  run_driver();
}
