// The widgets' contracts on a real X server (VARDANE_TEST_DISPLAY; skipped
// without it): fields notify on Return only, a pull-right item reaches its
// menu's handler with its label, a picture canvas copies exactly the clamped
// part of its picture, frames close as their kind says, the text window
// keeps its limit on typing, paste, load and insertion, and a mouse
// selection makes us hold PRIMARY.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ui/display.h"
#include "ui/notice.h"
#include "ui/picture_x.h"
#include "ui/selection.h"
#include "ui/text_window.h"
#include "ui/widgets.h"

namespace {

std::vector<std::string> heard;
void on_text(const char* t) { heard.push_back(std::string("text:") + t); }
void on_menu(const char* l) { heard.push_back(std::string("menu:") + l); }
void on_sub(const char* l) { heard.push_back(std::string("sub:") + l); }
void on_index(int i) { heard.push_back("index:" + std::to_string(i)); }
int closes = 0;
void on_close() { ++closes; }

void key(Fl_Window* w, int keysym, const char* text, int state = 0) {
  Fl::e_keysym = keysym;
  Fl::e_text = const_cast<char*>(text);
  Fl::e_length = static_cast<int>(std::char_traits<char>::length(text));
  Fl::e_state = state;
  Fl::handle(FL_KEYBOARD, w);
  Fl::e_state = 0;
}

void paste_event(Fl_Widget* w, const std::string& text) {
  Fl::e_text = const_cast<char*>(text.c_str());
  Fl::e_length = static_cast<int>(text.size());
  w->handle(FL_PASTE);
}

class Widgets : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* name = std::getenv("VARDANE_TEST_DISPLAY");
    if (!name || !*name) GTEST_SKIP() << "VARDANE_TEST_DISPLAY is not set";
    ASSERT_TRUE(open_display(name));
    ASSERT_TRUE(attach_toolkit());
    set_dispatch_interval_ms(0);
    heard.clear();
    closes = 0;
  }
  void TearDown() override { ui_reset(); }
  // Shown and mapped (drawing into a window not mapped yet is lost).
  static void shown(Frame& f) {
    f.show();
    wait_until(
        [&f] {
          XWindowAttributes a;
          return f.xid() && XGetWindowAttributes(fl_display, f.xid(), &a) &&
                 a.map_state == IsViewable;
        },
        5);
    XSync(fl_display, False);
    wait_until([] { return false; }, 0.1);
  }
};

TEST_F(Widgets, FieldsNotifyOnReturnOnly) {
  Frame f(Frame::command, 300, 100, "fields");
  TextField t(&f, 5, 5, "Length:", 6, on_text);
  NumberField nf(&f, 5, 40, "Position:", 0, 50, on_index);
  shown(f);
  t.fl()->take_focus();
  key(f.fl(), 'a', "a");
  key(f.fl(), 'b', "b");
  key(f.fl(), FL_Tab, "\t");  // leaves the field: no notice of that
  EXPECT_TRUE(heard.empty());
  t.fl()->take_focus();
  t.fl()->position(2);
  key(f.fl(), FL_Enter, "\r");
  key(f.fl(), FL_Enter, "\r");  // unchanged: still notifies
  EXPECT_EQ(heard, (std::vector<std::string>{"text:ab", "text:ab"}));
  for (int i = 0; i < 10; ++i) key(f.fl(), 'x', "x");
  EXPECT_EQ(t.text().size(), 6u);  // holds at most 6 characters

  heard.clear();
  nf.fl()->take_focus();
  nf.fl()->value("77");
  key(f.fl(), FL_Enter, "\r");
  EXPECT_EQ(heard, std::vector<std::string>{"index:50"});  // clamped into the range
  EXPECT_EQ(nf.value(), 50);
}

TEST_F(Widgets, MenusAndChoices) {
  Frame f(Frame::command, 300, 100, "menus");
  const MenuDef sub = {on_sub, {{"automatic"}, {"small"}, {"a/b & c"}}};
  const MenuDef top = {on_menu, {{"Global optimal alignment"}, {"Dot matrix", &sub}, {"Last"}}};
  MenuButton mb(&f, 5, 5, 0, " Operation ", &top);
  Choice ch(&f, 5, 40, "Size:", {"big", "small"}, on_index);
  shown(f);
  EXPECT_EQ(mb.item_labels(), (std::vector<std::string>{"Global optimal alignment", "Dot matrix",
                                                        "automatic", "small", "a/b & c", "Last"}));
  EXPECT_TRUE(mb.choose("small"));
  EXPECT_TRUE(mb.choose("a/b & c"));
  EXPECT_TRUE(mb.choose("Last"));
  EXPECT_FALSE(mb.choose("Dot matrix"));  // a pull-right is no item of its own
  EXPECT_EQ(heard, (std::vector<std::string>{"sub:small", "sub:a/b & c", "menu:Last"}));
  heard.clear();
  ch.set_value(1);
  ch.fl()->do_callback();
  EXPECT_EQ(heard, std::vector<std::string>{"index:1"});
}

TEST_F(Widgets, FramesCloseByKind) {
  Frame base(Frame::base, 200, 100, "base");
  Frame pop(Frame::command, 200, 100, "pop");
  base.on_close(on_close);
  shown(base);
  shown(pop);
  Fl::e_keysym = FL_Escape;
  Fl::handle(FL_SHORTCUT, base.fl());
  EXPECT_TRUE(base.shown());
  EXPECT_EQ(closes, 0);
  base.request_close();  // the window manager's close: the frame decides
  EXPECT_TRUE(base.shown());
  EXPECT_EQ(closes, 1);
  pop.request_close();
  EXPECT_FALSE(pop.shown());
  pop.raise();
  wait_until([&pop] { return pop.xid() != 0; }, 5);
  EXPECT_TRUE(pop.shown());
  Fl::e_keysym = FL_Escape;
  Fl::handle(FL_SHORTCUT, pop.fl());
  EXPECT_FALSE(pop.shown());
}

// Pattern of the test picture.
bool bit(int x, int y) { return (x * 7 + y * 3) % 5 == 0 || x == y; }

TEST_F(Widgets, PictureCanvasCopiesTheClampedPart) {
  ASSERT_TRUE(picture_new(Picture::dot, 300, 200));
  normal_color(Picture::dot);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x)
      if (bit(x, y)) picture_fill_rect(Picture::dot, x, y, 1, 1);
  Frame f(Frame::command, 130, 110, "picture");
  PictureCanvas c(&f, 0, 0, 115, 95, Picture::dot, true, true);  // 100 x 80 inside the bars
  ASSERT_EQ(c.width(), 100);
  ASSERT_EQ(c.height(), 80);
  shown(f);
  wait_until(
      [&c] {
        XWindowAttributes a;
        return c.xid() && XGetWindowAttributes(fl_display, c.xid(), &a) && a.map_state == IsViewable;
      },
      5);
  const unsigned long black = BlackPixel(fl_display, DefaultScreen(fl_display));
  auto check = [&](int sx, int sy, int ox) {
    XSync(fl_display, False);
    XImage* img = XGetImage(fl_display, c.xid(), 0, 0, 100, 80, AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    int wrong = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 100; ++x) {
        const int px = sx + x - ox, py = sy + y;
        const bool want = px >= 0 && px < 300 && py < 200 && bit(px, py);
        wrong += want != (XGetPixel(img, x, y) == black);
      }
    XDestroyImage(img);
    EXPECT_EQ(wrong, 0) << "view " << sx << "," << sy << " origin " << ox;
  };
  struct Case {
    int scroll_w, scroll_h, vx, vy, ox, want_x, want_y;
  };
  for (const Case& k : {Case{300, 200, 40, 30, 0, 40, 30},
                        Case{300, 200, 250, 150, 0, 200, 120},      // clamped to the end
                        Case{360, 260, 1000, 1000, 0, 260, 180},    // beyond the picture: white
                        Case{90, 70, 10, 10, 0, 0, 0},              // smaller than the window
                        Case{600, 200, 290, 0, 250, 290, 0}}) {     // a tile starting at 250
    c.set_scroll_size(k.scroll_w, k.scroll_h);
    c.set_origin(k.ox, 0);
    c.set_view_start(k.vx, k.vy);
    c.redraw();
    EXPECT_EQ(c.view_x(), k.want_x);
    EXPECT_EQ(c.view_y(), k.want_y);
    check(k.want_x, k.want_y, k.ox);
  }
  // Without a vertical scrollbar the view starts at the top.
  Frame g(Frame::command, 120, 100, "one bar");
  PictureCanvas h(&g, 0, 0, 120, 95, Picture::dot, true, false);
  h.set_scroll_size(300, 200);
  h.set_view_start(10, 50);
  EXPECT_EQ(h.clamped_y(), 0);
  // A message instead of the picture.
  c.set_message({"too large"});
  c.redraw();
  XSync(fl_display, False);
  XImage* img = XGetImage(fl_display, c.xid(), 0, 0, 100, 80, AllPlanes, ZPixmap);
  int black_px = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) black_px += XGetPixel(img, x, y) == black;
  XDestroyImage(img);
  EXPECT_GT(black_px, 20);
  EXPECT_LT(black_px, 600);
}

struct TextFixture : Widgets {
  void SetUp() override {
    Widgets::SetUp();
    if (IsSkipped()) return;
    f = new Frame(Frame::base, 400, 300, "text");
    tw = new TextWindow(f, 0, 0, 400, 300, 50);
    shown(*f);
  }
  void TearDown() override {
    delete tw;
    delete f;
    Widgets::TearDown();
  }
  Frame* f = nullptr;
  TextWindow* tw = nullptr;
  Fl_Widget* editor() { return reinterpret_cast<Fl_Widget*>(tw->editor()); }
};

std::string temp_file(const std::string& name, const std::string& text) {
  std::string p = "/tmp/vardane-ui-test-" + std::to_string(getpid()) + "-" + name;
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

TEST_F(TextFixture, LimitOnTypingPasteLoadAndInsert) {
  NoticeRecorder rec;
  tw->set_text(std::string(48, 'a'));
  tw->set_insertion_point(48);
  editor()->take_focus();
  for (int i = 0; i < 4; ++i) key(f->fl(), 'x', "x");
  EXPECT_EQ(tw->length(), 50);  // two fitted, two were refused
  key(f->fl(), FL_BackSpace, "\b");  // deleting still works at the limit
  EXPECT_EQ(tw->length(), 49);
  EXPECT_TRUE(rec.seen.empty());  // typing only beeps

  // A paste that does not fit is refused whole with a notice; one that
  // replaces a selection counts the difference.
  paste_event(editor(), "12345");
  EXPECT_EQ(tw->length(), 49);
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].id, NoticeId::text_full);
  tw->select(0, 10);
  paste_event(editor(), "0123456789A");
  EXPECT_EQ(tw->length(), 50);
  EXPECT_EQ(tw->text().substr(0, 11), "0123456789A");
  tw->select(0, 1);
  paste_event(editor(), "ZZ");
  EXPECT_EQ(tw->length(), 50);
  EXPECT_EQ(rec.seen.size(), 2u);

  // Loading: a file that does not fit leaves the text as it was.
  const std::string before = tw->text();
  const std::string big = temp_file("big.txt", std::string(51, 'g'));
  EXPECT_FALSE(tw->load(big));
  EXPECT_EQ(tw->text(), before);
  EXPECT_EQ(tw->file_name(), "");
  const std::string fits = temp_file("fits.txt", std::string(50, 'c'));
  EXPECT_TRUE(tw->load(fits));
  EXPECT_EQ(tw->text(), std::string(50, 'c'));
  EXPECT_EQ(tw->file_name(), fits);
  EXPECT_FALSE(tw->modified());
  EXPECT_FALSE(tw->include(fits));
  EXPECT_FALSE(tw->insert("x"));
  EXPECT_FALSE(tw->load("/nonexistent/file"));
  EXPECT_EQ(rec.last_line(), "The file could not be read:");
  EXPECT_EQ(tw->text(), std::string(50, 'c'));
  std::remove(big.c_str());
  std::remove(fits.c_str());
}

TEST_F(TextFixture, FilesFindReplaceUndoAndShortcuts) {
  NoticeRecorder rec;
  const std::string p = temp_file("doc.txt", "one two one");
  ASSERT_TRUE(tw->load(p));
  tw->set_insertion_point(0);
  EXPECT_TRUE(tw->find("one"));
  EXPECT_EQ(tw->selected_text(), "one");
  EXPECT_EQ(tw->insertion_point(), 3);
  EXPECT_TRUE(tw->find_again());
  EXPECT_EQ(tw->insertion_point(), 11);
  EXPECT_TRUE(tw->find_again());  // wraps round
  EXPECT_EQ(tw->insertion_point(), 3);
  EXPECT_FALSE(tw->find("three"));
  EXPECT_EQ(tw->replace_all("one", "1"), 2);
  EXPECT_EQ(tw->text(), "1 two 1");
  EXPECT_TRUE(tw->modified());
  EXPECT_EQ(tw->replace_all("1", std::string(30, 'x')), 0);  // would pass the limit
  EXPECT_EQ(rec.last_line(), "The text window holds at most 50 characters:");
  tw->set_insertion_point(0);
  tw->find("two");
  tw->replace("two", "2");
  EXPECT_EQ(tw->text(), "1 2 1");

  // Ctrl+S saves to the file name; Ctrl+Z undoes the last change.
  editor()->take_focus();
  key(f->fl(), 's', "\x13", FL_CTRL);
  EXPECT_FALSE(tw->modified());
  std::ifstream in(p);
  std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(saved, "1 2 1");
  tw->set_insertion_point(5);
  key(f->fl(), '!', "!");
  EXPECT_EQ(tw->text(), "1 2 1!");
  key(f->fl(), 'z', "\x1a", FL_CTRL);
  EXPECT_EQ(tw->text(), "1 2 1");

  // Ctrl+O on changed text asks first; Save as and Load ask for a name.
  static std::string asked;
  static std::string answer_path;
  TextWindow::set_file_asker([](const char* title, const char*, bool) {
    asked = title;
    return answer_path;
  });
  key(f->fl(), '?', "?");
  rec.answer = 0;
  key(f->fl(), 'o', "\x0f", FL_CTRL);
  EXPECT_EQ(rec.seen.back().id, NoticeId::unsaved_text);
  EXPECT_EQ(asked, "");
  answer_path = p + ".copy";
  tw->save_as_dialog();
  EXPECT_EQ(asked, "Save as");
  EXPECT_EQ(tw->file_name(), answer_path);
  rec.answer = 1;
  answer_path = p;
  key(f->fl(), 'o', "\x0f", FL_CTRL);
  EXPECT_EQ(asked, "Load file");
  EXPECT_EQ(tw->text(), "1 2 1");
  TextWindow::set_file_asker(nullptr);
  std::remove(p.c_str());
  std::remove((p + ".copy").c_str());
}

TEST_F(TextFixture, ReadOnlyKeepsItsText) {
  NoticeRecorder rec;
  tw->set_text("first line\nsecond line\n");
  tw->set_read_only(true);
  editor()->take_focus();
  tw->set_insertion_point(3);
  const int keys[][2] = {{'x', 0}, {FL_BackSpace, 0}, {FL_Delete, 0}, {FL_Enter, 0},
                         {FL_Tab, 0}, {'x', FL_CTRL}, {'v', FL_CTRL}, {'z', FL_CTRL}};
  for (const auto& k : keys) {
    char text[] = "x";  // FLTK swaps the case of an unused letter in place
    if (k[0] >= 128 || k[1]) text[0] = k[0] == FL_Enter ? '\r' : '\x01';
    key(f->fl(), k[0], text, k[1]);
  }
  paste_event(editor(), "dropped");
  tw->paste();
  tw->cut();
  tw->undo();
  EXPECT_EQ(tw->replace_all("line", "row"), 0);
  tw->set_insertion_point(0);
  EXPECT_TRUE(tw->replace("first", "1st"));  // only finds
  EXPECT_EQ(tw->text(), "first line\nsecond line\n");
  EXPECT_TRUE(rec.seen.empty());

  // Moving, selecting and copying still work.
  tw->set_insertion_point(0);
  key(f->fl(), FL_Down, "");
  EXPECT_EQ(tw->insertion_point(), 11);
  key(f->fl(), 'a', "\x01", FL_CTRL);
  EXPECT_EQ(tw->selected_text(), "first line\nsecond line\n");

  // The program still writes into it.
  tw->clear();
  EXPECT_TRUE(tw->insert("new text"));
  tw->show_from_start();
  EXPECT_EQ(tw->insertion_point(), 0);
  EXPECT_EQ(tw->text(), "new text");
  tw->set_read_only(false);
  char y[] = "y";
  key(f->fl(), 'y', y);
  EXPECT_EQ(tw->text(), "ynew text");
}

TEST_F(Widgets, FieldShowsFewerCharactersThanItHolds) {
  Frame f(Frame::command, 400, 60, "field");
  TextField t(&f, 5, 5, "Formula:", 30, on_text);
  const int width = t.fl()->w();
  t.set_max_chars(80);
  EXPECT_EQ(t.fl()->w(), width);
  shown(f);
  t.fl()->take_focus();
  for (int i = 0; i < 90; ++i) key(f.fl(), 'k', "k");
  EXPECT_EQ(t.text(), std::string(80, 'k'));
}

TEST_F(TextFixture, MouseSelectionHoldsPrimary) {
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool missing";
  tw->set_text("GATTACA and more");
  const std::string d = std::getenv("VARDANE_TEST_DISPLAY");
  own_primary_selection("not this");
  // Selecting from the program does not take PRIMARY.
  tw->select(0, 7);
  EXPECT_EQ(read_primary_selection(), "not this");
  tw->select(0, 0);
  // A drag with the mouse does.
  Window w = f->xid();
  const std::string cmd = "DISPLAY=" + d + " xdotool mousemove --window " + std::to_string(w) +
                          " 7 10 mousedown 1 sleep 0.1 mousemove --window " + std::to_string(w) +
                          " 40 10 sleep 0.1 mousemove --window " + std::to_string(w) +
                          " 200 10 sleep 0.1 mouseup 1 &";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  wait_until([this] { return !tw->selected_text().empty() && !Fl::pushed(); }, 5);
  wait_until([] { return false; }, 0.3);
  EXPECT_EQ(tw->selected_text(), "GATTACA and more");
  EXPECT_EQ(read_primary_selection(), "GATTACA and more");
}

}  // namespace
