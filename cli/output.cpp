#include "cli/output.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/options.h"
#include "engine/common/results.h"
#include "state/state.h"
#include "views/texts.h"

std::string float_text(float v) {
  if (!std::isfinite(v)) return "null";
  char buf[64];
  for (int p = 1; p <= 9; ++p) {
    std::snprintf(buf, sizeof buf, "%.*g", p, static_cast<double>(v));
    if (std::strtof(buf, nullptr) == v) break;
  }
  return buf;
}

std::string json_string(const std::string& s) {
  std::string o = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      o.push_back('\\');
      o.push_back(static_cast<char>(c));
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      o += buf;
    } else {
      o.push_back(static_cast<char>(c));
    }
  }
  return o + "\"";
}

std::string json_result(const RunFacts& f) {
  auto u = [](uint64_t v) { return std::to_string(v); };
  std::string o = "{";
  o += "\"mode\": " + json_string(mode_name(f.mode));
  o += ", \"distance\": " + float_text(wert);
  o += ", \"aligned1\": " + json_string(al_seq1.c_str());
  o += ", \"aligned2\": " + json_string(al_seq2.c_str());
  o += std::string(", \"swapped\": ") + (f.swapped ? "true" : "false");
  o += ", \"substitutions\": " + u(gl_sub);
  o += ", \"inserts\": " + u(gl_ins);
  o += ", \"deletes\": " + u(gl_del);
  o += ", \"edges\": " + u(gl_sub + gl_ins + gl_del);
  o += ", \"graph_edges\": " + u(gesamtkanten);
  o += ", \"optimal_graph_edges\": " + u(gl_opt_edges);
  o += ", \"memory_bytes\": " + u(bytes);
  o += ", \"memory_bytes_stored\": " + u(f.stored_bytes);
  if (f.has_count) o += ", \"optimal_alignments\": " + f.count;
  o += "}\n";
  return o;
}

std::string text_result(const RunFacts& f) {
  std::string o = alignment_text().c_str();
  o += infos_text().c_str();
  if (f.has_count) o += "Number of optimal alignments: " + f.count + "\n";
  return o;
}
