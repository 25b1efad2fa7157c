// The buttons of a frame found and pressed by their label, as a click does.
#pragma once
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <string>

#include "ui/widgets.h"

namespace shell_test {

// The button of a frame with this label (nullptr when there is none).
inline Fl_Widget* frame_button(Frame* f, const char* label) {
  for (int i = 0; i < f->fl()->children(); ++i) {
    Fl_Widget* w = f->fl()->child(i);
    if (w->label() && std::string(w->label()) == label && dynamic_cast<Fl_Button*>(w)) return w;
  }
  return nullptr;
}

inline void press(Frame* f, const char* label) {
  Fl_Widget* b = frame_button(f, label);
  ASSERT_NE(b, nullptr) << label;
  b->do_callback();
}

}  // namespace shell_test
