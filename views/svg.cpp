#include "views/svg.h"

#include <charconv>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/common/graph_picture.h"
#include "engine/common/results.h"
#include "state/state.h"
#include "ui/progress.h"

namespace {

// Buffered text output that remembers a failed write; after one, nothing
// more is written.
class SvgOut {
 public:
  explicit SvgOut(std::FILE* f) : f_(f) { buf_.reserve(kSpill + 256); }
  bool ok() const { return ok_; }

  SvgOut& operator<<(const char* s) {
    buf_ += s;
    return spill();
  }
  SvgOut& operator<<(const std::string& s) {
    buf_ += s;
    return spill();
  }
  SvgOut& operator<<(char) = delete;  // a character would be written as a number
  template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
  SvgOut& operator<<(T v) {
    char t[24];
    const auto r = std::to_chars(t, t + sizeof t, v);
    buf_.append(t, r.ptr);
    return spill();
  }
  // Character data of an element: & < > escaped.
  SvgOut& text(const std::string& s) {
    for (const char c : s) {
      if (c == '&') buf_ += "&amp;";
      else if (c == '<') buf_ += "&lt;";
      else if (c == '>') buf_ += "&gt;";
      else buf_ += c;
    }
    return spill();
  }
  bool finish() {
    write();
    if (ok_ && std::fflush(f_) != 0) ok_ = false;
    return ok_;
  }

 private:
  static constexpr size_t kSpill = 1 << 16;
  SvgOut& spill() {
    if (buf_.size() >= kSpill) write();
    return *this;
  }
  void write() {
    if (ok_ && !buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), f_) != buf_.size()) ok_ = false;
    buf_.clear();
  }
  std::FILE* f_;
  std::string buf_;
  bool ok_ = true;
};

// The document's start: size and viewBox in the window's pixels, title,
// description and a white ground.
void begin(SvgOut& o, long w, long h, const char* title, const std::string& desc) {
  o << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << w << "\" height=\"" << h
    << "\" viewBox=\"0 0 " << w << " " << h << "\">\n<title>";
  o.text(title) << "</title>\n<desc>";
  o.text(desc) << "</desc>\n<rect width=\"" << w << "\" height=\"" << h << "\" fill=\"white\"/>\n";
}

std::string letter(char c) { return std::string(1, c); }

}  // namespace

bool write_graph_svg(std::FILE* out, GraphSvgCounts* counts) {
  GraphSvgCounts c;
  if (counts) *counts = c;
  const ResultEngine* engine = result_engine;
  if (engine == nullptr || engine->opt_edges == nullptr || n < 0 || m < 0 ||
      hilfs_gr.dim_x() != uint32_t(n) || hilfs_gr.dim_y() != uint32_t(m))
    return false;
  SvgOut o(out);
  const int s = graph_step();
  const long w = graph_picture_width(n), h = graph_picture_height(m);
  const std::string s1 = seq1.c_str(), s2 = seq2.c_str();
  begin(o, w, h, "All optimal alignments & current alignment",
        "Sequence 1 (" + std::to_string(n) + " letters) from left to right, sequence 2 (" + std::to_string(m) +
            " letters) from top to bottom. Node (x, y) (x letters of sequence 1 and y of sequence 2 aligned) "
            "at (" + std::to_string(s) + "x + " + std::to_string(node_px(0)) + ", " + std::to_string(s) +
            "y + " + std::to_string(node_py(0)) +
            "). Lines: the optimal edges (diagonal: a pair of letters; vertical: letters of sequence 2 "
            "inserted; horizontal: letters of sequence 1 deleted); dots: the nodes of the optimal graph; "
            "circles: the nodes of the shown alignment.");

  // Letters: sequence 1 above, sequence 2 at the left, each midway between
  // the nodes its edges join.
  o << "<g id=\"sequence1\" font-family=\"monospace\" font-size=\"" << s << "\" text-anchor=\"middle\">\n";
  for (int i = 1; i <= n && i <= int(s1.size()); ++i) {
    o << "<text class=\"letter\" x=\"" << node_px(i - 1) + s / 2 << "\" y=\"" << node_py(0) - 3 * s / 4 << "\">";
    o.text(letter(s1[size_t(i - 1)])) << "</text>\n";
  }
  o << "</g>\n<g id=\"sequence2\" font-family=\"monospace\" font-size=\"" << s << "\" text-anchor=\"middle\">\n";
  for (int j = 1; j <= m && j <= int(s2.size()); ++j) {
    o << "<text class=\"letter\" x=\"" << node_px(0) - s << "\" y=\"" << node_py(j - 1) + s / 2 + s / 3 << "\">";
    o.text(letter(s2[size_t(j - 1)])) << "</text>\n";
  }

  // Edges, node by node; the border nodes they start from are kept for the
  // nodes below: row0[x] for (x, 0), column0[y] for (0, y).
  show_break_it("write the graph picture");
  progress_reset(m);
  std::vector<bool> row0(size_t(n) + 1), column0(size_t(m) + 1);
  int row_done = 0;
  o << "</g>\n<g id=\"edges\" stroke=\"black\" stroke-width=\"1\" stroke-linecap=\"round\">\n";
  engine->opt_edges([&](int x0, int y0, int x1, int y1) {
    if (!o.ok()) return;
    if (y1 != row_done) {
      row_done = y1;
      show_time(200u * unsigned(y1 - 1));
    }
    if (y0 == 0) row0[size_t(x0)] = true;
    else if (x0 == 0) column0[size_t(y0)] = true;
    o << "<line class=\"edge\" x1=\"" << node_px(x0) << "\" y1=\"" << node_py(y0) << "\" x2=\"" << node_px(x1)
      << "\" y2=\"" << node_py(y1) << "\"/>\n";
    ++c.edges;
  });

  o << "</g>\n<g id=\"nodes\" fill=\"black\">\n";
  auto node = [&](int x, int y) {
    o << "<circle class=\"node\" cx=\"" << node_px(x) << "\" cy=\"" << node_py(y) << "\" r=\"1\"/>\n";
    ++c.nodes;
  };
  for (int y = 1; y <= m && o.ok(); ++y)
    for (int x = 1; x <= n; ++x)
      if (hilfs_gr(uint32_t(x), uint32_t(y)) == 1) node(x, y);
  for (int x = 0; x <= n; ++x)
    if (row0[size_t(x)]) node(x, 0);
  for (int y = 1; y <= m; ++y)
    if (column0[size_t(y)]) node(0, y);

  // The circles of the shown alignment, of the window's size (diameter
  // big + 2), centred on their nodes.
  o << "</g>\n<g id=\"path\" fill=\"none\" stroke=\"black\" stroke-width=\"1\">\n";
  const std::string radius = std::to_string((big + 2) / 2) + (big % 2 ? ".5" : "");
  for (uint32_t k = 0; k + 1 < hilfs_al.length() && hilfs_al[k] != -1; k += 2) {
    o << "<circle class=\"path\" cx=\"" << node_px(hilfs_al[k]) << "\" cy=\"" << node_py(hilfs_al[k + 1])
      << "\" r=\"" << radius << "\"/>\n";
    ++c.path;
  }
  o << "</g>\n</svg>\n";
  show_time(200u * unsigned(m));
  if (counts) *counts = c;
  return o.finish();
}

bool write_dot_matrix_svg(std::FILE* out, const DotPlot& p) {
  SvgOut o(out);
  const long w = dot_picture_width(p), h = dot_picture_height(p);
  const int n1 = int(p.s1.size()), m2 = int(p.s2.size());
  begin(o, w, h, "Dot matrix",
        "Sequence 1 (" + std::to_string(n1) + " letters) from left to right, sequence 2 (" + std::to_string(m2) +
            " letters) from top to bottom; a mark for every pair of equal letters (" +
            (p.small ? "small style: a dot" : "big style: a '*' in a grid with the letters") + ").");
  show_break_it("write the dot matrix");
  progress_reset(m2);
  const char* font = " font-family=\"monospace\" font-size=\"10\"";
  if (p.small) {
    o << "<text x=\"20\" y=\"12\"" << font << ">";
    o.text("Sequence1 >, Sequence2 v") << "</text>\n<g id=\"dots\" fill=\"black\">\n";
    for (int j = 1; j <= m2 && o.ok(); ++j) {
      const char cj = p.s2[size_t(j - 1)];
      for (int i = 1; i <= n1; ++i)
        if (p.s1[size_t(i - 1)] == cj)
          o << "<rect class=\"dot\" x=\"" << dot_small_x(i) << "\" y=\"" << dot_small_y(j)
            << "\" width=\"2\" height=\"2\"/>\n";
      show_time(200u * unsigned(j));
    }
    o << "</g>\n</svg>\n";
    return o.finish();
  }

  o << "<g id=\"sequence1\"" << font << ">\n";
  for (int i = 1; i <= n1; ++i) {
    o << "<text class=\"letter\" x=\"" << dot_big_x(i) << "\" y=\"12\">";
    o.text(letter(p.s1[size_t(i - 1)])) << "</text>\n";
  }
  o << "</g>\n<g id=\"sequence2\"" << font << ">\n";
  for (int j = 1; j <= m2; ++j) {
    o << "<text class=\"letter\" x=\"10\" y=\"" << dot_big_y(j) << "\">";
    o.text(letter(p.s2[size_t(j - 1)])) << "</text>\n";
  }
  // The grid as the window draws it: the frame lines, a line right of
  // every column and below every row.
  auto line = [&](long x1, long y1, long x2, long y2) {
    o << "<line x1=\"" << x1 << "\" y1=\"" << y1 << "\" x2=\"" << x2 << "\" y2=\"" << y2 << "\"/>\n";
  };
  o << "</g>\n<g id=\"grid\" stroke=\"black\" stroke-width=\"1\">\n";
  line(26, 14, dot_big_x(n1) + 7, 14);
  line(26, 15, 26, dot_big_y(m2) + 2);
  for (int i = 1; i <= n1 && m2 > 0; ++i) line(dot_big_x(i) + 7, 15, dot_big_x(i) + 7, dot_big_y(m2) + 2);
  for (int j = 1; j <= m2; ++j) line(26, dot_big_y(j) + 2, dot_big_x(n1) + 6, dot_big_y(j) + 2);
  o << "</g>\n<g id=\"dots\"" << font << ">\n";
  for (int j = 1; j <= m2 && o.ok(); ++j) {
    const char cj = p.s2[size_t(j - 1)];
    for (int i = 1; i <= n1; ++i)
      if (p.s1[size_t(i - 1)] == cj)
        o << "<text class=\"dot\" x=\"" << dot_big_x(i) + 1 << "\" y=\"" << dot_big_y(j) + 1 << "\">*</text>\n";
    show_time(200u * unsigned(j));
  }
  o << "</g>\n</svg>\n";
  return o.finish();
}
