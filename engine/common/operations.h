// The computing operations as callable steps, without windows: the driver of
// the window and the batch tool both call them.
#pragma once

enum class OpResult {
  computed,          // new results are complete
  cached,            // inputs unchanged since the last run of the same code: nothing computed
  refused_chars,     // a sequence holds '-' or '>' (notice shown)
  too_long,          // a sequence is longer than the engine accepts (notice shown)
  fp_error,          // "Mathematical error during computation !" (notice shown)
  interrupted,       // computing became 0 (interrupt, or stop at the concavity warning)
};

// Releases the previous computation's results (general edge records or the
// concave structures). Does nothing while computing is 3; sets computing to 3.
void clear_memory();

// Steps shared by the computing operations (codes 1, 6, 7, 8).
// The sequence check and the length limit of the engine: shows the notice
// and returns the refusal (computing and comp become 0), or returns
// OpResult::computed when both sequences may be computed.
OpResult check_inputs(int max_len);
// After a computation that ran to its end: an infinite or NaN optimal
// distance (single-precision sums beyond the range) sets the floating-point
// error flag, so that it is reported like a fault of the gap cost. Cells
// that overflowed to +inf elsewhere cannot lie on a path to a finite
// optimum (adding a finite score to +inf stays +inf), and a -inf cell
// reaches the optimum, so the optimum alone decides.
void check_distance_finite();
// After a floating-point fault: the notice, and the incomplete results are
// made unusable (comp = 0) and uncached (ms1, ms2 empty).
void drop_faulty_results();
// The end of an operation: an interrupt empties ms1 and ms2, computing
// becomes 0, an incomplete substitution table is reported. Returns the
// operation's result given what the engine steps left.
OpResult finish_operation();

// Operation code 1: general-cost global alignment (distance, optimal graph,
// drawing, one alignment, circles). Expects computing == 1; leaves it 0.
OpResult run_general_alignment();

// Operation codes 6, 7, 8: concave-cost alignment in the mode `code`.
// Expects computing == code; leaves it 0. Modes 7 and 8 exchange the
// sequences when seq2 is the longer one.
OpResult run_concave_alignment(int code);
