// The widgets the windows are made of, over FLTK and Xlib: frames and
// command frames, buttons, menu buttons with pull-right submenus, text and
// number fields that notify on Return, choices, plain canvases drawn with
// Xlib, and picture canvases that copy a depth-1 picture with XCopyPlane.
//
// The widgets know nothing of the program's windows: the shell creates them,
// places them and hands them its callbacks. A widget is destroyed before its
// frame (the window program keeps all of them for its whole run). Every label is shown as it is
// written ('&' and '@' included). Sizes and positions are in pixels,
// relative to the frame.
#pragma once
#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/picture.h"

class Fl_Window;
class Fl_Widget;
class Fl_Button;
class Fl_Menu_Button;
class Fl_Input;
class Fl_Choice;
class Fl_Scrollbar;
struct Fl_Menu_Item;

using Action = void (*)();
using LabelAction = void (*)(const char* label);  // menu handlers: the chosen item's label
using TextAction = void (*)(const char* text);    // text fields: the field's text
using IndexAction = void (*)(int index);          // choices: the chosen index; number fields: the value

// Labels and fields are drawn in this size (pixels).
constexpr int WIDGET_FONT_SIZE = 12;
constexpr int WIDGET_HEIGHT = 22;

// A top-level window. A base frame is the program's main window: Escape does
// not close it, and the window manager's close button calls its close action
// (nothing when none is set). A command frame is a pop-up: Escape and the
// window manager's close button hide it, as its "Exit" button does.
class Frame {
 public:
  enum Kind { base, command };
  Frame(Kind kind, int w, int h, const char* title);
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  void show();
  void hide();
  // Shows the frame and brings it to the front (also under a window manager).
  void raise();
  bool shown() const;
  void position(int x, int y);  // where it first appears
  void min_size(int w, int h);
  int width() const;
  int height() const;
  const char* title() const;
  Kind kind() const { return kind_; }
  // A 64 x 64 one-bit icon (XBM bit order, 512 bytes) and the icon's label;
  // set before the frame is first shown.
  void set_icon(const unsigned char* bits, const char* icon_label);
  void on_close(Action a) { close_action_ = a; }
  Window xid() const;  // 0 while not shown
  Fl_Window* fl() const;

  // The close request as the window manager's close button makes it (tests).
  void request_close();
  // How a child follows when the frame is resized (flags may be combined);
  // children without an anchor keep their place and size.
  enum Anchor { stretch_w = 1, stretch_h = 2, move_x = 4, move_y = 8 };
  void anchor(Fl_Widget* child, int anchor);
  void add(Fl_Widget* child);  // puts a widget created elsewhere in ui/ into the frame

 private:
  friend struct FrameAccess;
  Kind kind_;
  Action close_action_ = nullptr;
  Fl_Window* win_;
  unsigned long icon_pixmap_ = 0;
};

class Button {
 public:
  Button(Frame* f, int x, int y, int w, const char* label, Action a);
  ~Button();
  Button(const Button&) = delete;
  Button& operator=(const Button&) = delete;
  void show();
  void hide();
  bool visible() const;
  void activate(bool on);
  void press();  // as a click does (tests)
  int x() const;
  int y() const;
  int w() const;
  int h() const;
  const char* label() const;
  Fl_Button* fl() const { return b_; }

 private:
  Fl_Button* b_;
  Action action_;
  static void pressed(Fl_Widget*, void*);
};

// Menus: items in order; an item with a submenu is a pull-right. Each menu
// has its own handler, which gets the chosen item's label.
struct MenuDef;
struct MenuEntry {
  const char* label;
  const MenuDef* submenu = nullptr;
};
struct MenuDef {
  LabelAction handler;
  std::vector<MenuEntry> items;
};

class MenuButton {
 public:
  MenuButton(Frame* f, int x, int y, int w, const char* label, const MenuDef* menu);
  ~MenuButton();
  MenuButton(const MenuButton&) = delete;
  MenuButton& operator=(const MenuButton&) = delete;
  // Chooses the item with this label (searched through the submenus), as a
  // user does with the mouse; false when there is none (tests).
  bool choose(const char* label);
  std::vector<std::string> item_labels() const;  // in menu order, submenus depth first
  void activate(bool on);
  int x() const;
  int w() const;
  Fl_Menu_Button* fl() const { return b_; }

 private:
  Fl_Menu_Button* b_;
  std::vector<Fl_Menu_Item> items_;
};

// A labelled one-line field that holds at most `chars` characters and calls
// its action with its text when Return is pressed in it, and only then.
class TextField {
 public:
  TextField(Frame* f, int x, int y, const char* label, int chars, TextAction a);
  ~TextField();
  TextField(const TextField&) = delete;
  TextField& operator=(const TextField&) = delete;
  std::string text() const;
  void set_text(const std::string& t);
  // Lets it hold at most `chars` characters while it keeps showing as many
  // as it was made for (a longer text scrolls in the field).
  void set_max_chars(int chars);
  void activate(bool on);
  Fl_Input* fl() const { return in_; }

 private:
  Fl_Input* in_;
  TextAction action_;
  static void returned(Fl_Widget*, void*);
};

// Moves the fields' inputs to one x, the largest of them, so that the
// inputs stand in one column and their labels end where the inputs begin.
void line_up(const std::vector<TextField*>& fields);

// A labelled field for a whole number in [lo, hi]; on Return its action gets
// the value (clamped into the range, which the field then shows).
class NumberField {
 public:
  NumberField(Frame* f, int x, int y, const char* label, int lo, int hi, IndexAction a);
  ~NumberField();
  NumberField(const NumberField&) = delete;
  NumberField& operator=(const NumberField&) = delete;
  int value() const;
  void set_value(int v);
  void set_range(int lo, int hi);
  void activate(bool on);
  Fl_Input* fl() const { return in_; }

 private:
  Fl_Input* in_;
  int lo_, hi_;
  IndexAction action_;
  static void returned(Fl_Widget*, void*);
};

// A labelled choice of fixed items; the action gets the chosen index.
class Choice {
 public:
  Choice(Frame* f, int x, int y, const char* label, const std::vector<const char*>& items,
         IndexAction a);
  ~Choice();
  Choice(const Choice&) = delete;
  Choice& operator=(const Choice&) = delete;
  int value() const;
  void set_value(int v);
  Fl_Choice* fl() const { return c_; }

 private:
  Fl_Choice* c_;
  IndexAction action_;
  static void changed(Fl_Widget*, void*);
};

class CanvasWindow;

// A canvas with an X window of its own, drawn with Xlib. Its repaint action
// runs whenever the window is exposed or redrawn; the drawing helpers use
// the screen's default GC (black on white) and font.
class Canvas {
 public:
  Canvas(Frame* f, int x, int y, int w, int h, void (*repaint)(Canvas*));
  virtual ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  Window xid() const;  // 0 while the frame is not shown
  int width() const;
  int height() const;
  void redraw();       // repaint now when shown
  // A 16 x 16 cursor (XBM bit order, 32 bytes): set pixels black, others
  // white, hot spot (hx, hy).
  void set_cursor(const unsigned char* bits, int hx, int hy);

  // Drawing on the window (nothing while it is not shown).
  void clear();
  void text(int x, int y, const std::string& s);
  void line(int x1, int y1, int x2, int y2);
  void fill_rect(int x, int y, int w, int h);
  void rect(int x, int y, int w, int h);
  void arc(int x, int y, int w, int h, int a1, int a2);

  // Resizes with the frame: the canvas keeps its left and top edge and its
  // distance to the frame's right (and, when `height` is set, bottom) edge.
  virtual void follow_frame(Frame* f, bool width, bool height);
  void on_resize(void (*resized)(Canvas*)) { resized_ = resized; }

 protected:
  friend class CanvasWindow;
  virtual void paint();
  virtual int event(int e);
  CanvasWindow* win_;
  void (*repaint_)(Canvas*);
  void (*resized_)(Canvas*) = nullptr;
  unsigned long cursor_ = 0;
};

// A canvas that shows part of a depth-1 picture (ui/picture.h) through two
// scrollbars in pixel units. The scroll size (what the scrollbars range
// over) may be larger than the picture: space beyond it shows white. The
// picture may also hold only a part (a tile) of what the canvas scrolls
// over: its pixel (0, 0) lies at the picture origin.
class PictureCanvas : public Canvas {
 public:
  PictureCanvas(Frame* f, int x, int y, int w, int h, Picture picture, bool hbar, bool vbar);
  ~PictureCanvas() override;

  void set_scroll_size(int w, int h);
  int scroll_width() const { return scroll_w_; }
  int scroll_height() const { return scroll_h_; }
  // The view start as the scrollbars hold it (not yet clamped).
  int view_x() const;
  int view_y() const;
  void set_view_start(int x, int y);
  // The view start clamped as the copy uses it: a start that would show
  // space beyond the scroll size moves back (not below 0); without a
  // vertical scrollbar the view starts at the top.
  int clamped_x() const;
  int clamped_y() const;
  void set_origin(int x, int y);
  int origin_x() const { return origin_x_; }
  int origin_y() const { return origin_y_; }

  // Copies the visible part of the picture into the window (with the
  // canvas's own GC: set bits black, clear bits white) and moves the
  // scrollbars to the clamped start.
  void copy_picture();
  // Lines shown instead of the picture (when it could not be made);
  // empty: the picture again.
  void set_message(const std::vector<std::string>& lines);
  const std::vector<std::string>& message() const { return message_; }

  // The repaint action (default: copy_picture).
  void on_repaint(void (*repaint)(PictureCanvas*)) { picture_repaint_ = repaint; }
  // Mouse buttons: event is 1 press, 2 drag, 3 release; x, y include the
  // view start (picture coordinates).
  void on_mouse(void (*mouse)(PictureCanvas*, int event, int button, int x, int y)) {
    mouse_ = mouse;
  }
  void follow_frame(Frame* f, bool width, bool height) override;
  Fl_Scrollbar* hbar() const { return hbar_; }
  Fl_Scrollbar* vbar() const { return vbar_; }

 protected:
  void paint() override;
  int event(int e) override;

 private:
  Picture picture_;
  Fl_Scrollbar* hbar_ = nullptr;
  Fl_Scrollbar* vbar_ = nullptr;
  int scroll_w_ = 1, scroll_h_ = 1;
  int origin_x_ = 0, origin_y_ = 0;
  GC copy_gc_ = nullptr;
  GC white_gc_ = nullptr;
  std::vector<std::string> message_;
  void (*picture_repaint_)(PictureCanvas*) = nullptr;
  void (*mouse_)(PictureCanvas*, int, int, int, int) = nullptr;
  void update_bars();
  int vx_ = 0, vy_ = 0;
  static void scrolled(Fl_Widget*, void*);
};

// Dispatches toolkit events until `done` returns true or `seconds` have
// passed; true when done (tests and the selection reader).
bool wait_until(const std::function<bool()>& done, double seconds);

// The text as FLTK shows it literally: '@' (and, in button and menu labels,
// '&') doubled.
std::string literal_label(const std::string& s, bool button);
