#include "views/summary.h"

#include <algorithm>
#include <cstring>

#include "cost/cost.h"
#include "cost/own.h"
#include "state/state.h"
#include "text/strings.h"

namespace {

std::string num5(double v) {
  String s;
  s.with_double(v, 5);
  return s.c_str();
}

}  // namespace

std::string summary_file_line(const std::string& file_name) { return "Filename  : " + file_name; }

std::string summary_sequence_line(int k) {
  const String& s = k == 1 ? seq1 : seq2;
  const int len = k == 1 ? n : m;
  std::string out = k == 1 ? "Sequence1: (" : "Sequence2: (";
  out += s.length() == 0 ? std::string("empty") : num5(len);
  out += ") ";
  out += s.c_str();
  return out;
}

std::string table_preview() {
  subst.xchange(String("\r"), String("\n"));
  subst.xchange(String("\n\n"), String("\n"));
  const std::string t(subst.c_str(), static_cast<size_t>(subst.length()));
  const int len = static_cast<int>(t.size());
  const size_t lf = t.find('\n');
  const int p = lf == std::string::npos ? 0 : static_cast<int>(lf) + 1;
  int h = len;
  if (p > 1 && p < len) {
    h = p - 1;
    // the first line feed in positions p + 1 .. 30000, counted from p + 1
    const std::string rest = t.substr(static_cast<size_t>(p), static_cast<size_t>(std::min(len, 30000) - p));
    const size_t lf2 = rest.find('\n');
    const int q = lf2 == std::string::npos ? 0 : static_cast<int>(lf2) + 1;
    if (q > 1 && q < h) h = h + q + 1;
  }
  std::string head = t.substr(0, static_cast<size_t>(std::max(0, std::min(h, len))));
  std::string out = mat == TABLE_MARKER ? " match= table [" + head + "...]"
                                        : " table [" + head + "...], match=" + num5(mat);
  for (char& c : out)
    if (c == '\n' || c == '\r') c = ' ';
  return out;
}

std::string summary_cost_line() {
  std::string out = "Costfunction is ";
  if (func == 0) {
    out += own_func.c_str();
    out += "   (subst.=";
  } else {
    const int f = func >= 1 && func <= 8 ? func : 4;
    const std::string name(func_text[f - 1], strnlen(func_text[f - 1], sizeof func_text[0]));
    out += name + "   (a=" + num5(aa) + ", b=" + num5(bb);
    if (name.find('d') != std::string::npos) out += ", c=" + num5(cc) + ", d=" + num5(dd);
    out += ", subst.=";
  }
  if (sub == TABLE_MARKER) {
    out += table_preview();
  } else {
    out += num5(sub);
    out += mat == TABLE_MARKER ? ", match= table" : ", match=" + num5(mat);
  }
  out += ")";
  return out;
}

SummaryPicture summary_picture(const std::string& file_name, int width) {
  SummaryPicture p;
  p.texts.push_back({10, 14, summary_file_line(file_name)});
  p.lines.push_back({0, 18, width, 18});
  p.texts.push_back({10, 32, summary_sequence_line(1)});
  p.texts.push_back({10, 50, summary_sequence_line(2)});
  p.lines.push_back({0, 60, width, 60});
  p.texts.push_back({10, 73, summary_cost_line()});
  return p;
}
