// The three depth-1 pictures (graph, alignment output, dot matrix) and the
// GCs they are drawn with.
#include "ui/picture_x.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>

#include "ui/display.h"

Pixmap thePixmap = None, the1Pixmap = None, the2Pixmap = None;
GC gcp = nullptr, gcp1 = nullptr, gcp2 = nullptr;

namespace {

constexpr int max_side = 32767;  // an X pixmap side is a 15-bit quantity

struct Slot {
  Pixmap* pixmap;
  GC* gc;
  int w, h;
  bool valid;
};

Slot slots[3] = {
    {&thePixmap, &gcp, 0, 0, false},
    {&the1Pixmap, &gcp1, 0, 0, false},
    {&the2Pixmap, &gcp2, 0, 0, false},
};

// The one value record the three GCs are changed with.
XGCValues gcpvalues;

// Clears fresh pixmaps without disturbing the drawing mode of a picture's GC.
GC clear_gc = nullptr;

Slot* slot_of(Picture p) {
  int i = static_cast<int>(p);
  return i >= 0 && i < 3 ? &slots[i] : nullptr;
}

// The slot when there is something to draw into, else nullptr.
Slot* drawable(Picture p) {
  Slot* s = slot_of(p);
  return dpy && s && s->valid ? s : nullptr;
}

bool fits16(long long v) { return v >= -32768 && v <= 32767; }
bool fits_u16(long long v) { return v >= 0 && v <= 65535; }

// Catches the server's answer to one request (an allocation that may fail);
// every other error goes on to the handler that was in place.
struct RequestTrap {
  unsigned long serial = 0;
  bool failed = false;
  XErrorHandler previous = nullptr;
};
RequestTrap* active_trap = nullptr;

int trap_handler(Display* d, XErrorEvent* e) {
  if (active_trap && e->serial == active_trap->serial) {
    active_trap->failed = true;
    return 0;
  }
  if (active_trap && active_trap->previous) return active_trap->previous(d, e);
  return 0;
}

Pixmap create_checked_pixmap(int w, int h) {
  RequestTrap trap;
  XSync(dpy, False);  // earlier errors reach their own handler first
  trap.previous = XSetErrorHandler(trap_handler);
  active_trap = &trap;
  trap.serial = NextRequest(dpy);
  Pixmap pm = XCreatePixmap(dpy, RootWindow(dpy, DefaultScreen(dpy)), w, h, 1);
  XSync(dpy, False);
  active_trap = nullptr;
  XSetErrorHandler(trap.previous);
  return trap.failed ? None : pm;
}

void clear_pixmap(Pixmap pm, int w, int h) {
  if (clear_gc) XFillRectangle(dpy, pm, clear_gc, 0, 0, w, h);
}

void free_slot_pixmap(Slot& s) {
  if (dpy && *s.pixmap != None) XFreePixmap(dpy, *s.pixmap);
  *s.pixmap = None;
  s.valid = false;
  s.w = s.h = 0;
}

}  // namespace

void pictures_create() {
  if (!dpy) return;
  pictures_free();
  Window root = RootWindow(dpy, DefaultScreen(dpy));
  for (Slot& s : slots) {
    *s.pixmap = XCreatePixmap(dpy, root, 1, 1, 1);
    XGCValues v;
    v.foreground = 1;
    v.background = 0;
    v.graphics_exposures = False;
    *s.gc = XCreateGC(dpy, *s.pixmap, GCForeground | GCBackground | GCGraphicsExposures, &v);
    if (!clear_gc) {
      XGCValues c;
      c.function = GXcopy;
      c.foreground = 0;
      c.graphics_exposures = False;
      clear_gc = XCreateGC(dpy, *s.pixmap, GCFunction | GCForeground | GCGraphicsExposures, &c);
    }
    clear_pixmap(*s.pixmap, 1, 1);
    s.w = s.h = 1;
    s.valid = true;
  }
}

void pictures_free() {
  for (Slot& s : slots) {
    free_slot_pixmap(s);
    if (dpy && *s.gc) XFreeGC(dpy, *s.gc);
    *s.gc = nullptr;
  }
  if (dpy && clear_gc) XFreeGC(dpy, clear_gc);
  clear_gc = nullptr;
}

bool picture_new(Picture p, int w, int h) {
  Slot* s = slot_of(p);
  if (!dpy || !s || !*s->gc) return false;
  free_slot_pixmap(*s);
  Pixmap pm = None;
  if (w >= 1 && w <= max_side && h >= 1 && h <= max_side) pm = create_checked_pixmap(w, h);
  if (pm == None) {
    // Keep a blank stand-in so that whoever copies this picture into a
    // window still names an existing pixmap.
    *s->pixmap = XCreatePixmap(dpy, RootWindow(dpy, DefaultScreen(dpy)), 1, 1, 1);
    clear_pixmap(*s->pixmap, 1, 1);
    return false;
  }
  *s->pixmap = pm;
  clear_pixmap(pm, w, h);
  s->w = w;
  s->h = h;
  s->valid = true;
  return true;
}

bool picture_valid(Picture p) { return drawable(p) != nullptr; }

int picture_width(Picture p) {
  Slot* s = drawable(p);
  return s ? s->w : 0;
}

int picture_height(Picture p) {
  Slot* s = drawable(p);
  return s ? s->h : 0;
}

void normal_color(Picture p) {
  Slot* s = slot_of(p);
  if (!dpy || !s || !*s->gc) return;
  gcpvalues.function = GXcopy;
  gcpvalues.foreground = 1;
  gcpvalues.background = 0;
  XChangeGC(dpy, *s->gc, GCFunction | GCForeground | GCBackground, &gcpvalues);
}

void reverse_color(Picture p) {
  Slot* s = slot_of(p);
  if (!dpy || !s || !*s->gc) return;
  gcpvalues.foreground = 0;
  gcpvalues.background = 1;
  XChangeGC(dpy, *s->gc, GCForeground | GCBackground, &gcpvalues);
}

void xor_color(Picture p) {
  Slot* s = slot_of(p);
  if (!dpy || !s || !*s->gc) return;
  gcpvalues.function = GXxor;
  XChangeGC(dpy, *s->gc, GCFunction, &gcpvalues);
}

void picture_fill_rect(Picture p, int x, int y, int w, int h) {
  Slot* s = drawable(p);
  if (!s || w <= 0 || h <= 0) return;
  long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
  long long x1 = std::min<long long>(static_cast<long long>(x) + w, s->w);
  long long y1 = std::min<long long>(static_cast<long long>(y) + h, s->h);
  if (x1 <= x0 || y1 <= y0) return;
  XFillRectangle(dpy, *s->pixmap, *s->gc, static_cast<int>(x0), static_cast<int>(y0),
                 static_cast<unsigned>(x1 - x0), static_cast<unsigned>(y1 - y0));
}

void picture_line(Picture p, int x1, int y1, int x2, int y2) {
  Slot* s = drawable(p);
  if (!s || !fits16(x1) || !fits16(y1) || !fits16(x2) || !fits16(y2)) return;
  XDrawLine(dpy, *s->pixmap, *s->gc, x1, y1, x2, y2);
}

void picture_rect(Picture p, int x, int y, int w, int h) {
  Slot* s = drawable(p);
  if (!s || !fits16(x) || !fits16(y) || !fits_u16(w) || !fits_u16(h)) return;
  XDrawRectangle(dpy, *s->pixmap, *s->gc, x, y, w, h);
}

void picture_arc(Picture p, int x, int y, int w, int h, int a1, int a2) {
  Slot* s = drawable(p);
  if (!s || !fits16(x) || !fits16(y) || !fits_u16(w) || !fits_u16(h) || !fits16(a1) ||
      !fits16(a2))
    return;
  XDrawArc(dpy, *s->pixmap, *s->gc, x, y, w, h, a1, a2);
}

void picture_string(Picture p, int x, int y, const char* text, int len) {
  Slot* s = drawable(p);
  if (!s || !text || len <= 0 || !fits16(x) || !fits16(y)) return;
  int n = static_cast<int>(strnlen(text, static_cast<size_t>(len)));
  if (n > 0) XDrawString(dpy, *s->pixmap, *s->gc, x, y, text, n);
}

void picture_put_bits(Picture p, int x, int y, int w, int h, const unsigned char* bits,
                      int row_bytes) {
  Slot* s = drawable(p);
  if (!s || !bits || w <= 0 || h <= 0 || x < 0 || y < 0 || x > s->w - w || y > s->h - h ||
      row_bytes < (w + 7) / 8)
    return;
  XImage* img = XCreateImage(dpy, DefaultVisual(dpy, DefaultScreen(dpy)), 1, XYBitmap, 0,
                             reinterpret_cast<char*>(const_cast<unsigned char*>(bits)),
                             static_cast<unsigned>(w), static_cast<unsigned>(h), 8, row_bytes);
  if (!img) return;
  img->byte_order = LSBFirst;
  img->bitmap_bit_order = LSBFirst;
  XPutImage(dpy, *s->pixmap, *s->gc, img, 0, 0, x, y, static_cast<unsigned>(w),
            static_cast<unsigned>(h));
  img->data = nullptr;  // the caller's
  XDestroyImage(img);
}

int picture_pixel(Picture p, int x, int y) {
  Slot* s = drawable(p);
  if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return -1;
  XImage* img = XGetImage(dpy, *s->pixmap, x, y, 1, 1, 1, ZPixmap);
  if (!img) return -1;
  int v = static_cast<int>(XGetPixel(img, 0, 0) & 1);
  XDestroyImage(img);
  return v;
}
