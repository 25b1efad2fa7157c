// Command line of vardane-align.
#pragma once
#include <string>

struct Options {
  std::string seq_path[2];      // the two sequence files; "-" = standard input
  int mode = 1;                 // operation code: 1 global, 6 concave, 7 short in long, 8 subalignment
  bool has_cost_text = false;
  std::string cost_text;        // -c TEXT
  std::string cost_file;        // -C FILE
  std::string table_file;       // -t FILE
  bool has_max_gap = false;
  int max_gap = 0;              // -g N (gl_kl), 0 = no limit
  int threads = 0;              // --threads N, 0 = every core
  bool go_on = false;           // continue past the concavity warning
  bool count = false;           // also count the optimal alignments
  bool strict = false;          // warnings about the cost description end the run (status 1)
  bool json = false;            // -f json
  std::string graph_file;       // --graph FILE: the optimal graph as SVG
  std::string dot_file;         // --dot-matrix FILE: the dot matrix as SVG
  int dot_style = 2;            // --dot-style: 0 big, 1 small, 2 automatic (as plot_flag)
  bool has_dot_style = false;
  bool help = false;
  bool version = false;
};

// Parses argv into o. Returns "" on success, otherwise the message for
// standard error (bad usage).
std::string parse_options(int argc, char** argv, Options& o);

// Name of a mode for messages and JSON ("global", "concave", ...).
const char* mode_name(int code);

const char* usage_text();
const char* version_text();
