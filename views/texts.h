// The two text blocks the result windows insert into the main text window
// ("Insert alignment into text" and "Insert infos into text"), built from
// the results of the last computation: wert, gesamtkanten, bytes, gl_sub,
// gl_ins, gl_del, gl_opt_edges, comp_o, al_seq1 and al_seq2. The batch tool
// prints the same blocks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "text/strings.h"

// "\nAlignment:\n\n" + al_seq1 + "\n\n" + al_seq2 + "\n\n"
String alignment_text();

// The information block: "\nAlignment information:\n\n" ... case line "\n\n".
String infos_text();

// The seven lines of the "Alignment information" window, top to bottom
// (no line feeds; the window says "The whole stored distance graph has").
std::vector<std::string> info_window_lines();

// Pieces shared by the window and the text.
// A counter at 10 significant digits as String::with_double writes it; a
// counter of more than 10 digits (the figures are 64-bit) is written with
// all its digits instead of a rounded exponent form.
String figure_text(uint64_t v);
// The memory figure of `bytes`: K = bytes >> 10; "K/1024 MBytes" at 5
// digits when K > 1024, else "K KBytes" at 5 digits. Returns the number and
// sets *mbytes.
String memory_figure(uint64_t bytes, bool* mbytes);
// "('global case')", "('global case, concave cost')",
// "('short in long, concave cost')", "('subalignments, concave cost')";
// empty for any other code.
String case_line(int code);
