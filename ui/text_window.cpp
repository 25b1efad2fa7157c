#include "ui/text_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ui/notice.h"

namespace {

std::string ask_with_chooser(const char* title, const char* current, bool) {
  const char* r = fl_file_chooser(title, "*", current && *current ? current : nullptr);
  return r ? r : "";
}

TextWindow::FileAsker file_asker = ask_with_chooser;

void file_error(const char* what, const std::string& path, const std::string& why) {
  notice2(what, path + ": " + why, " Sorry ", 1, NoticeId::file_error);
}

// The whole file, or false with a notice.
bool read_file(const std::string& path, std::string* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    file_error("The file could not be read:", path, std::strerror(errno));
    return false;
  }
  out->clear();
  char buf[65536];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, got);
  const bool bad = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  if (bad) {
    file_error("The file could not be read:", path, std::strerror(err));
    return false;
  }
  if (out->find('\0') != std::string::npos) {
    file_error("The file could not be read:", path, "it is not a text file (it holds NUL bytes)");
    return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- the editor widget

class TextEditor : public Fl_Text_Editor {
 public:
  TextEditor(TextWindow* tw, int x, int y, int w, int h) : Fl_Text_Editor(x, y, w, h), tw_(tw) {}
  int handle(int e) override;

 private:
  TextWindow* tw_;
  bool shortcut(int key, bool shift);
  int selection_length() {
    int a, b;
    return buffer()->selection_position(&a, &b) ? b - a : 0;
  }
};

namespace {

void menu_load(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->load_dialog(); }
void menu_save(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->save(); }
void menu_save_as(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->save_as_dialog(); }
void menu_include(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->include_dialog(); }
void menu_find(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->find_dialog(); }
void menu_find_again(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->find_again(); }
void menu_undo(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->undo(); }
void menu_cut(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->cut(); }
void menu_copy(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->copy(); }
void menu_paste(Fl_Widget*, void* d) { static_cast<TextWindow*>(d)->paste(); }

}  // namespace

bool TextEditor::shortcut(int key, bool shift) {
  switch (key) {
    case 'o': tw_->load_dialog(); return true;
    case 's': shift ? tw_->save_as_dialog() : (void)tw_->save(); return true;
    case 'f': tw_->find_dialog(); return true;
    case 'g': tw_->find_again(); return true;
    default: return false;
  }
}

namespace {

// Keys that leave the text as it is: moving, selecting, copying, finding.
bool reads_only(int key, int state) {
  if (key >= FL_Home && key <= FL_End) return true;  // arrows, Page Up/Down, Home, End
  if (key == FL_F + 3) return true;
  const bool ctrl = (state & FL_CTRL) && !(state & (FL_ALT | FL_META));
  return ctrl && (key == 'c' || key == 'a' || key == 'f' || key == 'g' || key == 's' ||
                  key == FL_Insert || key == FL_Home || key == FL_End);
}

}  // namespace

int TextEditor::handle(int e) {
  const int state = Fl::event_state();
  if (tw_->read_only()) {
    // Nothing is pasted, dropped or moved into it; keys that would change the
    // text do nothing (Escape still closes a pop-up, Tab still moves on).
    if (e == FL_PASTE) return 1;
    if ((e == FL_KEYBOARD || e == FL_SHORTCUT) && !reads_only(Fl::event_key(), state)) {
      const int key = Fl::event_key();
      return e == FL_KEYBOARD && key != FL_Escape && key != FL_Tab ? 1 : 0;
    }
  }
  if (e == FL_KEYBOARD || e == FL_SHORTCUT) {
    const int key = Fl::event_key();
    if ((state & FL_CTRL) && !(state & (FL_ALT | FL_META)) && shortcut(key, state & FL_SHIFT))
      return 1;
    if (key == FL_F + 3 && e == FL_KEYBOARD) {
      tw_->find_again();
      return 1;
    }
  }
  if (e == FL_KEYBOARD && !(state & (FL_CTRL | FL_ALT | FL_META)) && Fl::event_length() > 0) {
    // A typed character (or Return, Tab) replaces the selection.
    const unsigned char c = static_cast<unsigned char>(Fl::event_text()[0]);
    const int key = Fl::event_key();
    const bool inserts = c >= 0x20 && c != 0x7f;
    const bool line = key == FL_Enter || key == FL_KP_Enter || key == FL_Tab;
    if ((inserts || line) &&
        buffer()->length() - selection_length() + Fl::event_length() > tw_->max_chars()) {
      fl_beep();
      return 1;
    }
  }
  if (e == FL_PASTE) {
    // Every paste (Ctrl+V, the middle button, a drop) comes here; it
    // replaces the selection.
    if (!Fl::event_text() || Fl::event_length() <= 0) return 1;
    if (!tw_->fits(static_cast<long long>(Fl::event_length()) - selection_length(), "pasted"))
      return 1;
    int a, b;
    if (buffer()->selection_position(&a, &b)) {
      buffer()->remove_selection();
      insert_position(a);
    }
    insert(std::string(Fl::event_text(), static_cast<size_t>(Fl::event_length())).c_str());
    show_insert_position();
    return 1;
  }
  if (e == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
    static const Fl_Menu_Item items[] = {
        {"Load ...       Ctrl+O", 0, menu_load, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Save           Ctrl+S", 0, menu_save, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Save as ...", 0, menu_save_as, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Include file ...", 0, menu_include, nullptr, FL_MENU_DIVIDER, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Find / Replace ...  Ctrl+F", 0, menu_find, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Find again     Ctrl+G", 0, menu_find_again, nullptr, FL_MENU_DIVIDER, 0, 0,
         WIDGET_FONT_SIZE, 0},
        {"Undo           Ctrl+Z", 0, menu_undo, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Cut            Ctrl+X", 0, menu_cut, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Copy           Ctrl+C", 0, menu_copy, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Paste          Ctrl+V", 0, menu_paste, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};
    static const Fl_Menu_Item read_only_items[] = {
        {"Save as ...", 0, menu_save_as, nullptr, FL_MENU_DIVIDER, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Find ...       Ctrl+F", 0, menu_find, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {"Find again     Ctrl+G", 0, menu_find_again, nullptr, FL_MENU_DIVIDER, 0, 0,
         WIDGET_FONT_SIZE, 0},
        {"Copy           Ctrl+C", 0, menu_copy, nullptr, 0, 0, 0, WIDGET_FONT_SIZE, 0},
        {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};
    const Fl_Menu_Item* menu = tw_->read_only() ? read_only_items : items;
    const Fl_Menu_Item* m = menu->popup(Fl::event_x(), Fl::event_y());
    if (m && m->callback()) m->callback()(this, tw_);
    return 1;
  }
  return Fl_Text_Editor::handle(e);
}

// ---------------------------------------------------------------- find dialog

class FindDialog {
 public:
  explicit FindDialog(TextWindow* tw) : tw_(tw) {
    Fl_Group* cur = Fl_Group::current();
    Fl_Group::current(nullptr);
    win_ = new Fl_Window(380, 110, "Find and replace");
    what_ = new Fl_Input(95, 10, 275, 24, "Find:");
    with_ = new Fl_Input(95, 40, 275, 24, "Replace with:");
    auto* next = new Fl_Button(10, 75, 80, 26, "Find next");
    auto* one = new Fl_Button(96, 75, 80, 26, "Replace");
    auto* all = new Fl_Button(182, 75, 96, 26, "Replace all");
    auto* close = new Fl_Button(290, 75, 80, 26, "Close");
    for (Fl_Widget* w : {static_cast<Fl_Widget*>(what_), static_cast<Fl_Widget*>(with_),
                         static_cast<Fl_Widget*>(next), static_cast<Fl_Widget*>(one),
                         static_cast<Fl_Widget*>(all), static_cast<Fl_Widget*>(close)})
      w->labelsize(WIDGET_FONT_SIZE);
    what_->textsize(WIDGET_FONT_SIZE);
    with_->textsize(WIDGET_FONT_SIZE);
    what_->when(FL_WHEN_ENTER_KEY_ALWAYS);
    what_->callback(find_next, this);
    next->callback(find_next, this);
    one->callback(replace_one, this);
    all->callback(replace_every, this);
    close->callback(hide, this);
    win_->end();
    Fl_Group::current(cur);
  }
  ~FindDialog() { delete win_; }
  void show() { win_->show(); }

 private:
  static void find_next(Fl_Widget*, void* d) {
    auto* f = static_cast<FindDialog*>(d);
    f->tw_->find(f->what_->value());
  }
  static void replace_one(Fl_Widget*, void* d) {
    auto* f = static_cast<FindDialog*>(d);
    f->tw_->replace(f->what_->value(), f->with_->value());
  }
  static void replace_every(Fl_Widget*, void* d) {
    auto* f = static_cast<FindDialog*>(d);
    f->tw_->replace_all(f->what_->value(), f->with_->value());
  }
  static void hide(Fl_Widget*, void* d) { static_cast<FindDialog*>(d)->win_->hide(); }
  TextWindow* tw_;
  Fl_Window* win_;
  Fl_Input* what_;
  Fl_Input* with_;
};

// ---------------------------------------------------------------- the text window

TextWindow::TextWindow(Frame* f, int x, int y, int w, int h, int max_chars)
    : max_chars_(max_chars) {
  buf_ = new Fl_Text_Buffer();
  Fl_Group* cur = Fl_Group::current();
  Fl_Group::current(nullptr);
  ed_ = new TextEditor(this, x, y, w, h);
  Fl_Group::current(cur);
  ed_->buffer(buf_);
  ed_->textfont(FL_COURIER);
  ed_->textsize(WIDGET_FONT_SIZE + 1);
  buf_->add_modify_callback(modify_cb, this);
  f->add(ed_);
}

TextWindow::~TextWindow() {
  delete find_;
  buf_->remove_modify_callback(modify_cb, this);
  delete ed_;
  delete buf_;
}

void TextWindow::set_file_asker(FileAsker a) { file_asker = a ? a : ask_with_chooser; }

void TextWindow::modify_cb(int, int inserted, int deleted, int, const char*, void* d) {
  auto* tw = static_cast<TextWindow*>(d);
  if (inserted || deleted) tw->changed(true);
}

void TextWindow::changed(bool by_edit) {
  if (loading_) return;
  if (by_edit) modified_ = true;
  if (change_) change_();
}

std::string TextWindow::text() const {
  char* t = buf_->text();
  std::string s(t ? t : "");
  free(t);
  return s;
}

int TextWindow::length() const { return buf_->length(); }

void TextWindow::set_text(const std::string& t) {
  buf_->text(t.substr(0, static_cast<size_t>(max_chars_)).c_str());
  ed_->insert_position(0);
}

void TextWindow::clear() {
  loading_ = true;
  buf_->text("");
  loading_ = false;
  file_name_.clear();
  modified_ = false;
  changed(false);
}

void TextWindow::show_from_start() {
  ed_->insert_position(0);
  ed_->scroll(1, 0);
}

bool TextWindow::fits(long long added, const char* what) {
  const long long now = buf_->length();
  if (now + added <= max_chars_) return true;
  notice2("The text window holds at most " + std::to_string(max_chars_) + " characters:",
          "with this text it would hold " + std::to_string(now + added) + "; nothing was " +
              what + ".",
          " Sorry ", 1, NoticeId::text_full);
  return false;
}

bool TextWindow::insert(const std::string& s) {
  if (s.empty()) return true;
  if (!fits(static_cast<long long>(s.size()), "inserted")) return false;
  const int pos = ed_->insert_position();
  buf_->insert(pos, s.c_str());
  ed_->insert_position(pos + static_cast<int>(s.size()));
  ed_->show_insert_position();
  return true;
}

int TextWindow::insertion_point() const { return ed_->insert_position(); }
void TextWindow::set_insertion_point(int pos) { ed_->insert_position(pos); }
void TextWindow::select(int from, int to) { buf_->select(from, to); }

std::string TextWindow::selected_text() const {
  char* t = buf_->selection_text();
  std::string s(t ? t : "");
  free(t);
  return s;
}

bool TextWindow::load(const std::string& path) {
  std::string content;
  if (!read_file(path, &content)) return false;
  if (static_cast<long long>(content.size()) > max_chars_) {
    notice2("The text window holds at most " + std::to_string(max_chars_) + " characters:",
            path + " has " + std::to_string(content.size()) + "; it was not loaded.", " Sorry ",
            1, NoticeId::text_full);
    return false;
  }
  loading_ = true;
  buf_->text(content.c_str());
  loading_ = false;
  ed_->insert_position(0);
  file_name_ = path;
  modified_ = false;
  changed(false);
  return true;
}

bool TextWindow::include(const std::string& path) {
  std::string content;
  if (!read_file(path, &content)) return false;
  if (!fits(static_cast<long long>(content.size()), "included")) return false;
  return insert(content);
}

bool TextWindow::save_as(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    file_error("The file could not be written:", path, std::strerror(errno));
    return false;
  }
  const std::string t = text();
  bool ok = std::fwrite(t.data(), 1, t.size(), f) == t.size();
  int err = errno;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    file_error("The file could not be written:", path, std::strerror(err));
    return false;
  }
  file_name_ = path;
  modified_ = false;
  changed(false);
  return true;
}

bool TextWindow::save() {
  if (file_name_.empty()) {
    save_as_dialog();
    return !modified_;
  }
  return save_as(file_name_);
}

void TextWindow::load_dialog() {
  if (read_only_) return;
  if (modified_ && length() > 0 &&
      notice({{"The text has changes that are not saved.", "Load another file all the same ?"},
              {{" Load ", 1}, {" Cancel ", 0}},
              NoticeId::unsaved_text}) != 1)
    return;
  std::string p = file_asker("Load file", file_name_.c_str(), false);
  if (!p.empty()) load(p);
}

void TextWindow::include_dialog() {
  if (read_only_) return;
  std::string p = file_asker("Include file", file_name_.c_str(), false);
  if (!p.empty()) include(p);
}

void TextWindow::save_as_dialog() {
  std::string p = file_asker("Save as", file_name_.c_str(), true);
  if (!p.empty()) save_as(p);
}

void TextWindow::find_dialog() {
  if (!find_) find_ = new FindDialog(this);
  find_->show();
}

bool TextWindow::find(const std::string& what) {
  if (what.empty()) return false;
  last_find_ = what;
  int found = 0;
  const int start = ed_->insert_position();
  if (!buf_->search_forward(start, what.c_str(), &found, 1) &&
      !buf_->search_forward(0, what.c_str(), &found, 1)) {
    fl_beep();
    return false;
  }
  const int end = found + static_cast<int>(what.size());
  buf_->select(found, end);
  ed_->insert_position(end);
  ed_->show_insert_position();
  return true;
}

bool TextWindow::find_again() {
  if (last_find_.empty()) {
    find_dialog();
    return false;
  }
  return find(last_find_);
}

bool TextWindow::replace(const std::string& what, const std::string& with) {
  if (what.empty()) return false;
  if (read_only_) return find(what);
  int a, b;
  if (buf_->selection_position(&a, &b) && selected_text() == what) {
    if (!fits(static_cast<long long>(with.size()) - static_cast<long long>(what.size()), "replaced"))
      return false;
    buf_->replace(a, b, with.c_str());
    ed_->insert_position(a + static_cast<int>(with.size()));
  }
  return find(what);
}

int TextWindow::replace_all(const std::string& what, const std::string& with) {
  if (what.empty() || read_only_) return 0;
  std::string t = text();
  int count = 0;
  for (size_t p = t.find(what); p != std::string::npos; p = t.find(what, p + what.size())) ++count;
  if (count == 0) {
    fl_beep();
    return 0;
  }
  const long long grow =
      static_cast<long long>(count) * (static_cast<long long>(with.size()) - static_cast<long long>(what.size()));
  if (!fits(grow, "replaced")) return 0;
  std::string out;
  size_t from = 0;
  for (size_t p = t.find(what); p != std::string::npos; p = t.find(what, from)) {
    out.append(t, from, p - from);
    out += with;
    from = p + what.size();
  }
  out.append(t, from, std::string::npos);
  const int pos = ed_->insert_position();
  buf_->replace(0, buf_->length(), out.c_str());
  ed_->insert_position(std::min(pos, buf_->length()));
  return count;
}

void TextWindow::follow_frame(Frame* f) { f->anchor(ed_, Frame::stretch_w | Frame::stretch_h); }

void TextWindow::undo() {
  if (!read_only_) Fl_Text_Editor::kf_undo(0, ed_);
}
void TextWindow::cut() {
  if (!read_only_) Fl_Text_Editor::kf_cut(0, ed_);
}
void TextWindow::copy() { Fl_Text_Editor::kf_copy(0, ed_); }
void TextWindow::paste() {
  if (!read_only_) Fl_Text_Editor::kf_paste(0, ed_);
}

bool TextWindow::write_raw(int fd) const {
  char chunk[4096];
  const int len = buf_->length();
  for (int pos = 0; pos < len;) {
    int k = 0;
    while (k < static_cast<int>(sizeof chunk) && pos < len) chunk[k++] = buf_->byte_at(pos++);
    for (int off = 0; off < k;) {
      const ssize_t w = ::write(fd, chunk + off, static_cast<size_t>(k - off));
      if (w <= 0) return false;
      off += static_cast<int>(w);
    }
  }
  return true;
}
