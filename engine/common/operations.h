// The computing operations as callable steps, without windows: the driver of
// the window and the batch tool both call them. Each engine has its own
// operation (run_general_alignment in engine/general, run_concave_alignment
// in engine/concave); the steps they share, the clearing of old results and
// the operations that work on whatever results exist (codes 4 and 5, the
// latter in marks.h) are here.
#pragma once
#include <cstdint>
#include <string>

enum class OpResult {
  computed,          // new results are complete
  cached,            // inputs unchanged since the last run of the same code: nothing computed
  refused_chars,     // a sequence holds '-' or '>' (notice shown)
  too_long,          // a sequence is longer than the engine accepts (notice shown)
  no_memory,         // the tables would not fit in memory (notice shown; nothing allocated)
  fp_error,          // "Mathematical error during computation !" (notice shown)
  interrupted,       // computing became 0 (interrupt, or stop at the concavity warning)
};

// Releases the previous computation's results (the structures of the engine
// that holds them). Does nothing while computing is 3; sets computing to 3.
void clear_memory();

// Steps shared by the computing operations (codes 1, 6, 7, 8).
// The sequence check and the length limit of the engine: shows the notice
// and returns the refusal (computing and comp become 0), or returns
// OpResult::computed when both sequences may be computed.
OpResult check_inputs(int max_len);

// The memory guard: when `need` bytes (the engine's estimate for the
// current lengths) exceed what this process may still allocate, shows the
// notice "The problem does not fit in memory:" / "it needs about ... MBytes,
// but this process may use only ... MBytes (...)." and returns false
// (computing and comp become 0; nothing has been allocated or released).
bool memory_fits(uint64_t need);
// The same two lines as one text (the batch tool's message).
std::string memory_refusal_text(uint64_t need);
// The message for an allocation that fails although the guard let `need`
// bytes pass: the estimate was exceeded.
std::string memory_exceeded_text(uint64_t need);
// What the guard found this process may still use at its last check, before
// the operation allocated (UINT64_MAX when the guard is off, has not run or
// knows no limit). An engine whose structures grow while it computes checks
// their growth against it.
uint64_t memory_room();
// The refusal of an operation whose structures outgrew that room while it
// computed: the notice of memory_fits with `need`, the bytes the operation
// would have needed (computing and comp become 0).
void memory_outgrown(uint64_t need);
// False turns the guard off (the batch tool's tests reach a failing
// allocation that way); true at start.
extern bool memory_guard;

// Notice "Your subst.-table was incomplete !" (" Check it ").
void subst_incomplete();
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

// Operation code 4: the optimal graph picture, the circles and the marks
// again at the size `big` now asks for, without computing. Only when the
// results are complete and belong to the sequences read; an interrupt
// invalidates them (comp = 0, ms1 empty). Leaves computing = 0.
enum class RedrawResult { not_valid, done, interrupted };
RedrawResult run_redraw();
