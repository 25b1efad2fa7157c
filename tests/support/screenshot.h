// Screenshots of windows as PNG files (test artifacts, looked at by people,
// never compared pixel by pixel): the window's pixels read with XGetImage
// and written uncompressed (stored deflate blocks), so no image library is
// needed.
#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace shot {

inline uint32_t crc32(const unsigned char* p, size_t n, uint32_t c = 0xffffffffu) {
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
  }
  return c;
}

inline void be32(std::vector<unsigned char>& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<unsigned char>(x >> s));
}

inline void chunk(std::vector<unsigned char>& out, const char* type,
                  const std::vector<unsigned char>& data) {
  be32(out, static_cast<uint32_t>(data.size()));
  std::vector<unsigned char> td(type, type + 4);
  td.insert(td.end(), data.begin(), data.end());
  out.insert(out.end(), td.begin(), td.end());
  be32(out, crc32(td.data(), td.size()) ^ 0xffffffffu);
}

// RGB rows (3 bytes a pixel) to a PNG file; false when it cannot be written.
inline bool write_png(const std::string& path, int w, int h, const std::vector<unsigned char>& rgb) {
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<size_t>(h) * (3 * w + 1));
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);  // filter: none
    raw.insert(raw.end(), rgb.begin() + static_cast<long>(y) * 3 * w,
               rgb.begin() + static_cast<long>(y + 1) * 3 * w);
  }
  std::vector<unsigned char> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
  for (size_t off = 0; off < raw.size() || off == 0;) {
    const size_t len = std::min<size_t>(65535, raw.size() - off);
    const bool last = off + len >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<unsigned char>(len & 0xff));
    z.push_back(static_cast<unsigned char>(len >> 8));
    z.push_back(static_cast<unsigned char>(~len & 0xff));
    z.push_back(static_cast<unsigned char>((~len >> 8) & 0xff));
    z.insert(z.end(), raw.begin() + static_cast<long>(off), raw.begin() + static_cast<long>(off + len));
    off += len;
    if (last) break;
  }
  be32(z, (b << 16) | a);
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
  std::vector<unsigned char> ihdr;
  be32(ihdr, static_cast<uint32_t>(w));
  be32(ihdr, static_cast<uint32_t>(h));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  chunk(png, "IHDR", ihdr);
  chunk(png, "IDAT", z);
  chunk(png, "IEND", {});
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && ok;
}

// The window as it shows on the screen (with its subwindows) to a PNG file.
inline bool window_png(Display* d, Window win, const std::string& path) {
  XWindowAttributes at;
  if (!XGetWindowAttributes(d, win, &at) || at.map_state != IsViewable) return false;
  XImage* img = XGetImage(d, win, 0, 0, static_cast<unsigned>(at.width),
                          static_cast<unsigned>(at.height), AllPlanes, ZPixmap);
  if (!img) return false;
  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<size_t>(at.width) * at.height * 3);
  for (int y = 0; y < at.height; ++y)
    for (int x = 0; x < at.width; ++x) {
      const unsigned long p = XGetPixel(img, x, y);
      rgb.push_back(static_cast<unsigned char>((p & img->red_mask) >> 16));
      rgb.push_back(static_cast<unsigned char>((p & img->green_mask) >> 8));
      rgb.push_back(static_cast<unsigned char>(p & img->blue_mask));
    }
  XDestroyImage(img);
  return write_png(path, at.width, at.height, rgb);
}

}  // namespace shot
