// Reading PRIMARY goes through FLTK: a request to the holder, answered by an
// FL_PASTE event to our receiver (at once when we hold it ourselves).
#include "ui/selection.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "ui/widgets.h"

namespace {

class PasteReceiver : public Fl_Widget {
 public:
  PasteReceiver() : Fl_Widget(0, 0, 0, 0) {}
  void draw() override {}
  int handle(int e) override {
    if (e != FL_PASTE) return 0;
    text.assign(Fl::event_text() ? Fl::event_text() : "", static_cast<size_t>(Fl::event_length()));
    received = true;
    return 1;
  }
  std::string text;
  bool received = false;
};

PasteReceiver* receiver() {
  static PasteReceiver* r = [] {
    Fl_Group* cur = Fl_Group::current();
    Fl_Group::current(nullptr);
    auto* p = new PasteReceiver;
    Fl_Group::current(cur);
    return p;
  }();
  return r;
}

}  // namespace

std::string read_primary_selection(double timeout) {
  if (!fl_display || !Fl::first_window()) return "";
  if (XGetSelectionOwner(fl_display, XA_PRIMARY) == None) return "";
  PasteReceiver* r = receiver();
  r->received = false;
  r->text.clear();
  Fl::paste(*r, 0);
  if (!wait_until([r] { return r->received; }, timeout)) return "";
  return r->text;
}

void own_primary_selection(const std::string& text) {
  if (!fl_display) return;
  Fl::copy(text.data(), static_cast<int>(text.size()), 0);
}
