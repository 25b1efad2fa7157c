// The result pictures as SVG documents, for files: the graph of all optimal
// alignments in the frame of the graph window, and the dot matrix in the
// geometry of the "Dot matrix" window. Coordinates are the windows' pixels,
// and a viewBox lets the picture scale to any size. Both are written in one
// pass while they are produced: nothing of the size of the picture is kept,
// and no side is limited.
#pragma once
#include <cstdint>
#include <cstdio>

#include "views/dot_view.h"

// What a graph document holds (one element each).
struct GraphSvgCounts {
  uint64_t edges = 0;  // <line class="edge">
  uint64_t nodes = 0;  // <circle class="node">
  uint64_t path = 0;   // <circle class="path">
};

// Writes the picture of the optimal graph of the current results to `out`
// (seq1, seq2 in the frame of graph_picture.h at the spacing `big`):
// - a <text class="letter"> per letter, sequence 1 above the graph (each
//   letter between the two columns of nodes its edges join), sequence 2 at
//   its left;
// - a <line class="edge"> per optimal edge that result_engine->opt_edges
//   gives, gl_opt_edges of them: from the predecessor node to the node;
// - a <circle class="node"> per node of the optimal graph: every marked
//   inner node (hilfs_gr), then every border node an optimal edge starts
//   from;
// - a <circle class="path"> per node of the shown alignment, in the order of
//   hilfs_al (from its end backwards).
// Reports progress per row. False when there are no complete results (no
// result engine, or hilfs_gr not n x m) or a write failed (errno says why).
bool write_graph_svg(std::FILE* out, GraphSvgCounts* counts = nullptr);

// Writes the dot matrix of p (all its rows, in its style) to `out`: the
// small style's title or the big style's letters and grid, and per pair of
// equal letters one element of class "dot" (a 2 x 2 square, or a '*').
// Reports progress per row. False when a write failed (errno says why).
bool write_dot_matrix_svg(std::FILE* out, const DotPlot& p);
