// Widgets over FLTK; the canvases draw with Xlib on their own X windows.
#include "ui/widgets.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>

#include "ui/display.h"
#include "ui/picture_x.h"

namespace {

constexpr int kBar = 15;  // scrollbar thickness

Display* xd() { return fl_display; }

int label_width(const char* s) {
  if (!s || !*s) return 0;
  if (!fl_display) return 7 * static_cast<int>(std::char_traits<char>::length(s));
  fl_font(FL_HELVETICA, WIDGET_FONT_SIZE);
  return static_cast<int>(fl_width(s) + 0.5);
}

void style(Fl_Widget* w) {
  w->labelsize(WIDGET_FONT_SIZE);
}

// Widgets are created outside any group and added to their frame explicitly.
template <class W, class... A>
W* make(A... a) {
  Fl_Group* cur = Fl_Group::current();
  Fl_Group::current(nullptr);
  W* w = new W(a...);
  Fl_Group::current(cur);
  return w;
}

// Asks a window manager to bring a window to the front (the request a pager
// makes, which window managers follow). Without one nobody listens.
void ask_to_activate(Window w) {
  Display* d = xd();
  if (!d || !w) return;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = 2;  // from a pager
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &e);
}

}  // namespace

std::string literal_label(const std::string& s, bool button) {
  std::string out;
  for (char c : s) {
    if (c == '@' || (button && c == '&')) out += c;
    out += c;
  }
  return out;
}

bool wait_until(const std::function<bool()>& done, double seconds) {
  using clock = std::chrono::steady_clock;
  const auto end = clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    double left = std::chrono::duration<double>(end - clock::now()).count();
    if (left <= 0) return false;
    Fl::wait(std::min(left, 0.02));
  }
  return true;
}

// ---------------------------------------------------------------- frames

struct AnchorEntry {
  Fl_Widget* w;
  int how;
};

class FrameWindow : public Fl_Window {
 public:
  FrameWindow(Frame* owner, int w, int h, const char* t) : Fl_Window(w, h, t), owner_(owner) {}
  std::vector<AnchorEntry> anchors;
  void resize(int X, int Y, int W, int H) override {
    const int dw = W - w(), dh = H - h();
    Fl_Window::resize(X, Y, W, H);
    if (dw == 0 && dh == 0) return;
    for (const AnchorEntry& a : anchors) {
      int x = a.w->x(), y = a.w->y(), ww = a.w->w(), hh = a.w->h();
      if (a.how & Frame::stretch_w) ww = std::max(1, ww + dw);
      if (a.how & Frame::stretch_h) hh = std::max(1, hh + dh);
      if (a.how & Frame::move_x) x += dw;
      if (a.how & Frame::move_y) y += dh;
      a.w->resize(x, y, ww, hh);
    }
    redraw();
  }
  Frame* owner_;
};

struct FrameAccess {
  static void closed(Fl_Widget* w, void*) {
    Frame* f = static_cast<FrameWindow*>(w)->owner_;
    const bool escape = Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape;
    if (f->kind_ == Frame::base && escape) return;  // the main window ends only on purpose
    close(f);
  }
  static void close(Frame* f) {
    if (f->kind_ == Frame::command) f->hide();
    if (f->close_action_) f->close_action_();
  }
};

Frame::Frame(Kind kind, int w, int h, const char* title) : kind_(kind) {
  win_ = make<FrameWindow>(this, w, h, title);
  win_->end();
  win_->resizable(nullptr);  // children follow by their anchors only
  win_->size_range(kind == base ? w : 100, kind == base ? h : 60);
  win_->callback(FrameAccess::closed);
  if (title) win_->copy_label(title);
}

Frame::~Frame() {
  delete win_;
  if (icon_pixmap_ && xd()) XFreePixmap(xd(), icon_pixmap_);
}

void Frame::show() { win_->show(); }
void Frame::hide() { win_->hide(); }

void Frame::raise() {
  const bool was_shown = win_->shown();
  win_->show();  // maps a hidden frame; raises a shown one
  if (was_shown) {
    XRaiseWindow(xd(), fl_xid(win_));
    ask_to_activate(fl_xid(win_));
  }
  XFlush(xd());
}

// Iconified counts as shown: the X window exists until the frame is hidden.
bool Frame::shown() const { return win_->shown(); }
void Frame::position(int x, int y) { win_->position(x, y); }
void Frame::min_size(int w, int h) { win_->size_range(w, h); }
int Frame::width() const { return win_->w(); }
int Frame::height() const { return win_->h(); }
const char* Frame::title() const { return win_->label() ? win_->label() : ""; }
Window Frame::xid() const { return win_->shown() ? fl_xid(win_) : 0; }
Fl_Window* Frame::fl() const { return win_; }
void Frame::request_close() { FrameAccess::close(this); }

void Frame::set_icon(const unsigned char* bits, const char* icon_label) {
  if (xd()) {
    if (icon_pixmap_) XFreePixmap(xd(), icon_pixmap_);
    icon_pixmap_ = XCreateBitmapFromData(xd(), DefaultRootWindow(xd()),
                                         reinterpret_cast<const char*>(bits), 64, 64);
    win_->icon(reinterpret_cast<const void*>(icon_pixmap_));
  }
  win_->iconlabel(icon_label);
}

void Frame::anchor(Fl_Widget* child, int how) {
  static_cast<FrameWindow*>(win_)->anchors.push_back({child, how});
}

void Frame::add(Fl_Widget* child) { win_->add(child); }

// ---------------------------------------------------------------- buttons

Button::Button(Frame* f, int x, int y, int w, const char* label, Action a) : action_(a) {
  if (w <= 0) w = label_width(label) + 16;
  b_ = make<Fl_Button>(x, y, w, WIDGET_HEIGHT);
  b_->copy_label(literal_label(label, true).c_str());
  style(b_);
  b_->callback(pressed, this);
  f->add(b_);
}

// FLTK takes a deleted widget out of its group.
Button::~Button() { delete b_; }

void Button::pressed(Fl_Widget*, void* d) {
  auto* b = static_cast<Button*>(d);
  if (b->action_) b->action_();
}

void Button::show() { b_->show(); }
void Button::hide() { b_->hide(); }
bool Button::visible() const { return b_->visible() != 0; }
void Button::activate(bool on) { on ? b_->activate() : b_->deactivate(); }
void Button::press() { b_->do_callback(); }
int Button::x() const { return b_->x(); }
int Button::y() const { return b_->y(); }
int Button::w() const { return b_->w(); }
int Button::h() const { return b_->h(); }
const char* Button::label() const { return b_->label(); }

// ---------------------------------------------------------------- menus

namespace {

struct ItemData {
  const MenuDef* menu;
  std::string label;
};
// Item labels and their data live as long as the program (menus are made once).
std::deque<ItemData> item_data;
std::deque<std::string> item_texts;

void item_picked(Fl_Widget*, void* d) {
  auto* item = static_cast<ItemData*>(d);
  if (item->menu->handler) item->menu->handler(item->label.c_str());
}

void build_items(const MenuDef* menu, std::vector<Fl_Menu_Item>& out) {
  for (const MenuEntry& e : menu->items) {
    Fl_Menu_Item it{};
    item_texts.push_back(literal_label(e.label, true));
    it.text = item_texts.back().c_str();
    it.labelsize_ = WIDGET_FONT_SIZE;
    if (e.submenu) {
      it.flags = FL_SUBMENU;
      out.push_back(it);
      build_items(e.submenu, out);
      out.push_back(Fl_Menu_Item{});
    } else {
      item_data.push_back({menu, e.label});
      it.callback_ = item_picked;
      it.user_data_ = &item_data.back();
      out.push_back(it);
    }
  }
}

}  // namespace

MenuButton::MenuButton(Frame* f, int x, int y, int w, const char* label, const MenuDef* menu) {
  if (w <= 0) w = label_width(label) + 30;  // room for the pull-down mark
  b_ = make<Fl_Menu_Button>(x, y, w, WIDGET_HEIGHT);
  b_->copy_label(literal_label(label, true).c_str());
  style(b_);
  b_->textsize(WIDGET_FONT_SIZE);
  if (menu) build_items(menu, items_);
  items_.push_back(Fl_Menu_Item{});
  b_->menu(items_.data());
  f->add(b_);
}

MenuButton::~MenuButton() { delete b_; }

bool MenuButton::choose(const char* label) {
  for (const Fl_Menu_Item& it : items_) {
    auto* d = static_cast<ItemData*>(it.user_data_);
    if (it.callback_ == item_picked && d && d->label == label) {
      b_->picked(&it);
      return true;
    }
  }
  return false;
}

std::vector<std::string> MenuButton::item_labels() const {
  std::vector<std::string> out;
  for (const Fl_Menu_Item& it : items_) {
    if (!it.text) continue;
    auto* d = static_cast<ItemData*>(it.user_data_);
    out.push_back(it.callback_ == item_picked && d ? d->label : std::string(it.text));
  }
  return out;
}

void MenuButton::activate(bool on) { on ? b_->activate() : b_->deactivate(); }
int MenuButton::x() const { return b_->x(); }
int MenuButton::w() const { return b_->w(); }

// ---------------------------------------------------------------- fields

TextField::TextField(Frame* f, int x, int y, const char* label, int chars, TextAction a)
    : action_(a) {
  const int lw = label_width(label);
  in_ = make<Fl_Input>(x + lw + 4, y, chars * 8 + 10, WIDGET_HEIGHT);
  in_->copy_label(literal_label(label, false).c_str());
  style(in_);
  in_->textsize(WIDGET_FONT_SIZE);
  in_->maximum_size(chars);
  in_->when(FL_WHEN_ENTER_KEY_ALWAYS);  // Return, changed or not; nothing else
  in_->callback(returned, this);
  f->add(in_);
}

TextField::~TextField() { delete in_; }

void TextField::returned(Fl_Widget*, void* d) {
  auto* t = static_cast<TextField*>(d);
  if (t->action_) t->action_(t->in_->value());
}

std::string TextField::text() const { return in_->value(); }
void TextField::set_text(const std::string& t) { in_->value(t.c_str()); }
void TextField::set_max_chars(int chars) { in_->maximum_size(chars); }
void TextField::activate(bool on) { on ? in_->activate() : in_->deactivate(); }

void line_up(const std::vector<TextField*>& fields) {
  int x = 0;
  for (const TextField* f : fields) x = std::max(x, f->fl()->x());
  for (TextField* f : fields) {
    Fl_Input* in = f->fl();
    in->resize(x, in->y(), in->w(), in->h());  // (Fl_Input::position moves the cursor)
  }
}

NumberField::NumberField(Frame* f, int x, int y, const char* label, int lo, int hi, IndexAction a)
    : lo_(lo), hi_(hi), action_(a) {
  const int lw = label_width(label);
  in_ = make<Fl_Int_Input>(x + lw + 4, y, 70, WIDGET_HEIGHT);
  in_->copy_label(literal_label(label, false).c_str());
  style(in_);
  in_->textsize(WIDGET_FONT_SIZE);
  in_->when(FL_WHEN_ENTER_KEY_ALWAYS);
  in_->callback(returned, this);
  set_value(lo < 0 ? 0 : lo);
  f->add(in_);
}

NumberField::~NumberField() { delete in_; }

void NumberField::returned(Fl_Widget*, void* d) {
  auto* nf = static_cast<NumberField*>(d);
  const int v = nf->value();
  nf->set_value(v);
  if (nf->action_) nf->action_(v);
}

int NumberField::value() const {
  long v = std::strtol(in_->value(), nullptr, 10);
  return static_cast<int>(std::clamp<long>(v, lo_, hi_));
}

void NumberField::set_value(int v) {
  v = std::clamp(v, lo_, std::max(lo_, hi_));
  in_->value(std::to_string(v).c_str());
}

void NumberField::set_range(int lo, int hi) {
  lo_ = lo;
  hi_ = std::max(lo, hi);
  set_value(value());
}

void NumberField::activate(bool on) { on ? in_->activate() : in_->deactivate(); }

Choice::Choice(Frame* f, int x, int y, const char* label, const std::vector<const char*>& items,
               IndexAction a)
    : action_(a) {
  const int lw = label_width(label);
  int iw = 0;
  for (const char* it : items) iw = std::max(iw, label_width(it));
  c_ = make<Fl_Choice>(x + lw + 4, y, iw + 36, WIDGET_HEIGHT);
  c_->copy_label(literal_label(label, false).c_str());
  style(c_);
  c_->textsize(WIDGET_FONT_SIZE);
  for (const char* it : items) {
    std::string s;
    for (const char* p = it; *p; ++p) {
      if (*p == '/' || *p == '\\') s += '\\';
      if (*p == '&') s += '&';
      s += *p;
    }
    c_->add(s.c_str());
  }
  c_->value(0);
  c_->callback(changed, this);
  f->add(c_);
}

Choice::~Choice() { delete c_; }

void Choice::changed(Fl_Widget*, void* d) {
  auto* c = static_cast<Choice*>(d);
  if (c->action_) c->action_(c->c_->value());
}

int Choice::value() const { return c_->value(); }
void Choice::set_value(int v) { c_->value(v); }

// ---------------------------------------------------------------- canvases

class CanvasWindow : public Fl_Window {
 public:
  CanvasWindow(Canvas* owner, int x, int y, int w, int h) : Fl_Window(x, y, w, h), owner_(owner) {
    end();
  }
  void draw() override { owner_->paint(); }
  int handle(int e) override {
    int r = owner_->event(e);
    return r ? r : Fl_Window::handle(e);
  }
  void resize(int X, int Y, int W, int H) override {
    const bool sized = W != w() || H != h();
    Fl_Window::resize(X, Y, W, H);
    if (sized && owner_->resized_) owner_->resized_(owner_);
  }
  Window prepared = 0;  // the X window the background and cursor were set on
  Canvas* owner_;
};

namespace {

// FLTK makes a new X window each time a frame is shown again: give it the
// white background and the canvas's cursor once.
Window prepare(CanvasWindow* w, unsigned long cursor) {
  if (!w->shown() || !xd()) return 0;
  Window x = fl_xid(w);
  if (x && x != w->prepared) {
    XSetWindowBackground(xd(), x, WhitePixel(xd(), DefaultScreen(xd())));
    if (cursor) XDefineCursor(xd(), x, cursor);
    w->prepared = x;
  }
  return x;
}

}  // namespace

Canvas::Canvas(Frame* f, int x, int y, int w, int h, void (*repaint)(Canvas*)) : repaint_(repaint) {
  win_ = make<CanvasWindow>(this, x, y, w, h);
  f->add(win_);
}

Canvas::~Canvas() {
  delete win_;
  if (cursor_ && xd()) XFreeCursor(xd(), cursor_);
}

// Nothing is drawn while the platform layer has let go of its display.
Window Canvas::xid() const { return dpy && gc ? prepare(win_, cursor_) : 0; }
int Canvas::width() const { return win_->w(); }
int Canvas::height() const { return win_->h(); }

void Canvas::redraw() {
  if (!xid()) return;
  paint();
  XFlush(xd());
}

void Canvas::paint() {
  if (!xid()) return;
  if (repaint_) repaint_(this);
}

int Canvas::event(int) { return 0; }

void Canvas::set_cursor(const unsigned char* bits, int hx, int hy) {
  if (!xd()) return;
  Window root = DefaultRootWindow(xd());
  Pixmap src = XCreateBitmapFromData(xd(), root, reinterpret_cast<const char*>(bits), 16, 16);
  static const unsigned char full[32] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                                         0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                                         0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                                         0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
  Pixmap mask = XCreateBitmapFromData(xd(), root, reinterpret_cast<const char*>(full), 16, 16);
  XColor black{}, white{};
  white.red = white.green = white.blue = 0xffff;
  if (cursor_) XFreeCursor(xd(), cursor_);
  cursor_ = XCreatePixmapCursor(xd(), src, mask, &black, &white, static_cast<unsigned>(hx),
                                static_cast<unsigned>(hy));
  XFreePixmap(xd(), src);
  XFreePixmap(xd(), mask);
  win_->prepared = 0;
  xid();
}

void Canvas::clear() {
  if (Window w = xid()) XClearWindow(xd(), w);
}

void Canvas::text(int x, int y, const std::string& s) {
  Window w = xid();
  if (w && !s.empty())
    XDrawString(xd(), w, gc, x, y, s.data(), static_cast<int>(std::min<size_t>(s.size(), 32767)));
}

void Canvas::line(int x1, int y1, int x2, int y2) {
  if (Window w = xid()) XDrawLine(xd(), w, gc, x1, y1, x2, y2);
}

void Canvas::fill_rect(int x, int y, int w, int h) {
  Window win = xid();
  if (win && w > 0 && h > 0) XFillRectangle(xd(), win, gc, x, y, w, h);
}

void Canvas::rect(int x, int y, int w, int h) {
  Window win = xid();
  if (win && w >= 0 && h >= 0) XDrawRectangle(xd(), win, gc, x, y, w, h);
}

void Canvas::arc(int x, int y, int w, int h, int a1, int a2) {
  Window win = xid();
  if (win && w >= 0 && h >= 0) XDrawArc(xd(), win, gc, x, y, w, h, a1, a2);
}

void Canvas::follow_frame(Frame* f, bool width, bool height) {
  f->anchor(win_, (width ? Frame::stretch_w : 0) | (height ? Frame::stretch_h : 0));
}

// ---------------------------------------------------------------- picture canvas

PictureCanvas::PictureCanvas(Frame* f, int x, int y, int w, int h, Picture picture, bool hbar,
                             bool vbar)
    : Canvas(f, x, y, w - (vbar ? kBar : 0), h - (hbar ? kBar : 0), nullptr), picture_(picture) {
  if (hbar) {
    hbar_ = make<Fl_Scrollbar>(x, y + h - kBar, w - (vbar ? kBar : 0), kBar);
    hbar_->type(FL_HORIZONTAL);
    hbar_->callback(scrolled, this);
    f->add(hbar_);
  }
  if (vbar) {
    vbar_ = make<Fl_Scrollbar>(x + w - kBar, y, kBar, h - (hbar ? kBar : 0));
    vbar_->type(FL_VERTICAL);
    vbar_->callback(scrolled, this);
    f->add(vbar_);
  }
  update_bars();
}

PictureCanvas::~PictureCanvas() {
  delete hbar_;
  delete vbar_;
  if (xd()) {
    if (copy_gc_) XFreeGC(xd(), copy_gc_);
    if (white_gc_) XFreeGC(xd(), white_gc_);
  }
}

void PictureCanvas::follow_frame(Frame* f, bool width, bool height) {
  Canvas::follow_frame(f, width, height);
  if (hbar_) f->anchor(hbar_, (width ? Frame::stretch_w : 0) | (height ? Frame::move_y : 0));
  if (vbar_) f->anchor(vbar_, (width ? Frame::move_x : 0) | (height ? Frame::stretch_h : 0));
}

void PictureCanvas::scrolled(Fl_Widget* w, void* d) {
  auto* c = static_cast<PictureCanvas*>(d);
  auto* bar = static_cast<Fl_Scrollbar*>(w);
  if (bar == c->hbar_) c->vx_ = bar->value();
  if (bar == c->vbar_) c->vy_ = bar->value();
  c->redraw();
}

void PictureCanvas::update_bars() {
  if (hbar_) {
    hbar_->value(vx_, width(), 0, std::max(scroll_w_, width()));
    hbar_->linesize(10);
  }
  if (vbar_) {
    vbar_->value(vy_, height(), 0, std::max(scroll_h_, height()));
    vbar_->linesize(10);
  }
}

void PictureCanvas::set_scroll_size(int w, int h) {
  scroll_w_ = std::max(1, w);
  scroll_h_ = std::max(1, h);
  update_bars();
}

int PictureCanvas::view_x() const { return vx_; }
int PictureCanvas::view_y() const { return vy_; }

void PictureCanvas::set_view_start(int x, int y) {
  vx_ = std::max(0, x);
  vy_ = vbar_ ? std::max(0, y) : 0;
  update_bars();
}

int PictureCanvas::clamped_x() const {
  int sx = vx_;
  if (scroll_w_ <= sx + width()) sx = scroll_w_ - width();
  return sx < 0 ? 0 : sx;
}

int PictureCanvas::clamped_y() const {
  if (!vbar_) return 0;  // one scrollbar for both directions: the view starts at the top
  int sy = vy_;
  if (scroll_h_ <= sy + height()) sy = scroll_h_ - height();
  return sy < 0 ? 0 : sy;
}

void PictureCanvas::set_origin(int x, int y) {
  origin_x_ = x;
  origin_y_ = y;
}

void PictureCanvas::set_message(const std::vector<std::string>& lines) { message_ = lines; }

void PictureCanvas::copy_picture() {
  Window win = xid();
  if (!win) return;
  Display* d = xd();
  if (!copy_gc_) {
    XGCValues v;
    v.foreground = BlackPixel(d, DefaultScreen(d));
    v.background = WhitePixel(d, DefaultScreen(d));
    v.graphics_exposures = False;
    copy_gc_ = XCreateGC(d, win, GCForeground | GCBackground | GCGraphicsExposures, &v);
    v.foreground = v.background;
    white_gc_ = XCreateGC(d, win, GCForeground | GCGraphicsExposures, &v);
  }
  const int w = width(), h = height();
  const int sx = clamped_x(), sy = clamped_y();
  vx_ = sx;
  vy_ = vbar_ ? sy : vy_;
  update_bars();
  if (!message_.empty()) {
    XFillRectangle(d, win, white_gc_, 0, 0, w, h);
    int y = 24;
    for (const std::string& l : message_) {
      XDrawString(d, win, gc, 12, y, l.data(), static_cast<int>(l.size()));
      y += 18;
    }
    return;
  }
  // The part of the window the picture covers: source (sx - origin) clipped
  // to the pixmap; the rest of the window is white.
  const int pw = picture_width(picture_), ph = picture_height(picture_);
  const int srcx = sx - origin_x_, srcy = sy - origin_y_;
  const int x0 = std::max(0, -srcx), y0 = std::max(0, -srcy);
  const int x1 = std::min(w, pw - srcx), y1 = std::min(h, ph - srcy);
  if (x1 <= x0 || y1 <= y0) {
    XFillRectangle(d, win, white_gc_, 0, 0, w, h);
    return;
  }
  if (y0 > 0) XFillRectangle(d, win, white_gc_, 0, 0, w, y0);
  if (y1 < h) XFillRectangle(d, win, white_gc_, 0, y1, w, h - y1);
  if (x0 > 0) XFillRectangle(d, win, white_gc_, 0, y0, x0, y1 - y0);
  if (x1 < w) XFillRectangle(d, win, white_gc_, x1, y0, w - x1, y1 - y0);
  Pixmap pm = picture_ == Picture::graph ? thePixmap
              : picture_ == Picture::output ? the1Pixmap : the2Pixmap;
  XCopyPlane(d, pm, win, copy_gc_, srcx + x0, srcy + y0, x1 - x0, y1 - y0, x0, y0, 1);
}

void PictureCanvas::paint() {
  if (!xid()) return;
  if (picture_repaint_) picture_repaint_(this);
  else copy_picture();
}

int PictureCanvas::event(int e) {
  if (!mouse_) return 0;
  int kind = e == FL_PUSH ? 1 : e == FL_DRAG ? 2 : e == FL_RELEASE ? 3 : 0;
  if (!kind) return 0;
  mouse_(this, kind, Fl::event_button(), Fl::event_x() + clamped_x(), Fl::event_y() + clamped_y());
  return 1;
}
