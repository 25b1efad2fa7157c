#include "views/texts.h"

#include "engine/common/results.h"
#include "state/state.h"

namespace {

String num(double v, int digits) {
  String s;
  s.with_double(v, digits);
  return s;
}

}  // namespace

String figure_text(uint64_t v) {
  // Below 10^10 the value has at most 10 digits, which %.10g writes exactly.
  if (v < 10000000000ULL) return num(static_cast<double>(v), 10);
  return String(std::to_string(v).c_str());
}

String memory_figure(uint64_t b, bool* mbytes) {
  uint64_t k = b >> 10;
  *mbytes = k > 1024;
  if (*mbytes) return num(static_cast<double>(k) / 1024.0, 5);
  return num(static_cast<double>(k), 5);
}

String case_line(int code) {
  switch (code) {
    case 1: return String("('global case')");
    case 6: return String("('global case, concave cost')");
    case 7: return String("('short in long, concave cost')");
    case 8: return String("('subalignments, concave cost')");
    default: return String();
  }
}

String alignment_text() {
  String t("\nAlignment:\n\n");
  t += al_seq1;
  t += String("\n\n");
  t += al_seq2;
  t += String("\n\n");
  return t;
}

String infos_text() {
  bool mb = false;
  String mem = memory_figure(bytes, &mb);
  String t("\nAlignment information:\n\nThe minimal edit distance is ");
  t += num(static_cast<double>(wert), 10);
  t += String(".\n");
  if (gesamtkanten == 0) {
    t += String("The whole distance graph is stored,\n");
  } else {
    t += String("The whole distance graph has ");
    t += figure_text(gesamtkanten);
    t += String(" edges, ");
  }
  t += String("therefor approximately ");
  t += mem;
  t += String(mb ? " MBytes of memory are used.\n" : " KBytes of memory are used.\n");
  t += String("The current alignment consists of ");
  t += figure_text(gl_sub);
  t += String(" substitutions, ");
  t += figure_text(gl_ins);
  t += String(" inserts and ");
  t += figure_text(gl_del);
  t += String(" deletes, i.e. ");
  t += figure_text(gl_ins + gl_sub + gl_del);
  t += String(" edges.\n");
  t += String("The whole stored optimal graph has ");
  t += figure_text(gl_opt_edges);
  t += String(" edges.\n");
  t += case_line(comp_o);
  t += String("\n\n");
  return t;
}

std::vector<std::string> info_window_lines() {
  auto s = [](const String& x) { return std::string(x.c_str()); };
  bool mb = false;
  String mem = memory_figure(bytes, &mb);
  std::vector<std::string> lines;
  lines.push_back("The minimal edit distance is " + s(num(static_cast<double>(wert), 10)) + ".");
  if (gesamtkanten == 0)
    lines.push_back("The whole distance graph is stored,");
  else
    lines.push_back("The whole stored distance graph has " + s(figure_text(gesamtkanten)) +
                    " edges,");
  lines.push_back("therefor approximately " + s(mem) +
                  (mb ? " MBytes of memory are used." : " KBytes of memory are used."));
  lines.push_back("The current alignment consists of " + s(figure_text(gl_sub)) +
                  " substitutions,");
  lines.push_back(s(figure_text(gl_ins)) + " inserts and " + s(figure_text(gl_del)) +
                  " deletes, i.e. " + s(figure_text(gl_ins + gl_sub + gl_del)) + " edges.");
  lines.push_back("The whole stored optimal graph has " + s(figure_text(gl_opt_edges)) +
                  " edges.");
  lines.push_back(s(case_line(comp_o)));
  return lines;
}
