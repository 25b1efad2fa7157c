// Results of the last computation that both engines write and the views,
// the marks and the batch tool read: the optimal graph's node set, the shown
// alignment and its tables, and the figures of the information window.
#pragma once
#include <cstdint>
#include <functional>

#include "containers/bmatrix.h"
#include "containers/list_int.h"
#include "containers/matrix.h"
#include "text/strings.h"

extern float_matrix dist;        // distance table during a computation (engines)
extern bit_matrix hilfs_gr;      // n x m: node lies on an optimal path (marking)
extern String al_seq1, al_seq2;  // the shown alignment, '-' for gaps (extraction, rebuild)
extern list_int hilfs_al;        // node path of the shown alignment: pairs (x, y), ended by -1
extern list_int help_l;          // predecessor codes while computing; afterwards equal-letter runs
extern list_int hilfs_h, hilfs_w;  // per column from the right: deletions / insertions so far

// Figures of the information window. Kept 64-bit: the largest tables the
// engines accept overflow 32 bits.
extern uint64_t gesamtkanten;    // edges of the stored distance graph (0 = whole graph stored)
extern uint64_t bytes;           // memory of the stored graph in bytes
extern uint64_t gl_opt_edges;    // edges of the optimal graph
extern uint64_t gl_sub, gl_ins, gl_del;  // steps of the shown alignment

// Receives one edge (x0, y0) -> (x1, y1) of the optimal graph: from the
// predecessor node (x0, y0) into node (x1, y1).
using OptEdgeVisitor = std::function<void(int x0, int y0, int x1, int y1)>;

// The engine whose structures hold the current results, and what the shared
// operations (clearing, the search through the marks, the redraw at a new
// size) need of it. An engine installs itself when it allocates, before its
// computation starts, so that even an interrupted computation is released
// by the next clearing; clear_memory uninstalls it. nullptr: none.
struct ResultEngine {
  bool concave;                  // the concave engine's structures (Sz non-null)
  void (*release)();             // frees the structures
  void (*search)(int x, int y);  // path search back from (x, y) to (wo_x, wo_y)
  void (*rebuild)();             // the alignment along the new path (hilfs_rek)
  void (*redraw)();              // optimal graph picture again (code 4: at the new size)
  // Every edge of the optimal graph that the marking counted into
  // gl_opt_edges, as often as it counted it: the optimal edges into each
  // marked node, node by node in rows y = 1..m, each from x = 1 to n.
  // Edges along the border (from the origin) are not among them. Needs
  // complete results.
  void (*opt_edges)(const OptEdgeVisitor& edge);
};
extern const ResultEngine* result_engine;

// Resets the results above to their start state (1-element containers,
// empty strings, zero figures, no result engine).
void results_reset();
