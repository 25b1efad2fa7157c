// Program-wide inputs and operation state shared by every layer above text/:
// the two sequences, the copies of the sequences for which the current results
// hold, the operation code, and the options the engines read.
#pragma once
#include "text/strings.h"

extern String seq1, seq2;   // sequences, upper-case letters (written by the sequence readers)
extern int n, m;            // their lengths (0 = no sequence)
extern String ms1, ms2;     // sequences of the current results; empty when none (driver writes,
                            // every input change empties them)
extern int computing;       // operation code: 0 idle/interrupted, 1 general global, 2 dot matrix,
                            // 3 clearing, 4 redraw, 5 marks, 6 concave global, 7 short in long,
                            // 8 subalignment (callbacks request, driver resets)
extern int comp;            // non-zero when the last operation's results are complete (driver)
extern int comp_o;          // code of the operation that produced the current results; -1 at start
extern int finished;        // 1 after a confirmed quit
extern float wert;          // optimal cost of the last computation (driver)
extern int show_flag;       // 1 when the alignment output also shows the information window
extern int gl_kl;           // global maximal gap length for the general engine, 0 = none (options)
extern int big;             // graph spacing exponent: 3 = 8 pixels per node, 2 = 4 (options)
extern int syn;             // 1 = output scrolling synchronised with the graph (options)
extern int plot_flag;       // dot matrix style: 0 big, 1 small, 2 automatic (options)

// Longest sequences each engine accepts.
constexpr int GENERAL_MAX_LEN = 16000;
constexpr int CONCAVE_MAX_LEN = 32764;

// Resets every global of this header to its start value (tests use it).
void state_reset();
