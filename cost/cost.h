// The cost model: which gap cost function is active and its parameters, the
// substitution and match scores or the substitution table, the gap cost
// functions themselves, the pair score rule and the floating-point error
// flag. Both engines read this state; only the cost readers and the cost
// windows change it.
#pragma once
#include "containers/list_float.h"
#include "containers/matrix.h"
#include "text/strings.h"

constexpr double TABLE_MARKER = -4999.0;  // sub/mat hold this: scores come from su
constexpr float FILL_VALUE = 5000.0f;     // su entries the table text did not give

extern signed char func;        // active gap cost: 0 own formula, 1..8 predefined (start 4)
extern signed char func_c;      // function chosen in the predefined-function window (start 0)
extern double aa, bb, cc, dd;   // parameters a, b, c, d (0.5, 1, 1, 1)
extern double am, bm, cm, dm;   // pending a..d, committed by the window's Ok
extern double sub, mat;         // substitution / match score, or TABLE_MARKER (2, 0)
extern double subm, matm;       // pending sub / mat
extern const char func_text[8][16];  // names of functions 1..8 ("a+b*log(k)", ...)
extern double (*const cf[9])(int);   // cf[func](k) = g(k); cf[0] = ownfunction
extern float_matrix su;         // 26 x 27 substitution table; su(x, y) = score of 'A'+x vs 'A'+y
extern String subst;            // text of the last table read, with one ',' appended
extern char sub_t;              // set when a pair score of exactly 5000 was used
extern list_float fu_res;       // g(k) for k = 1..max(n, m) during a computation (length 1 otherwise)

double log10_cost(int k);   // a + b*log10(k)
double log_cost(int k);     // a + b*ln(k)
double sqrt_cost(int k);    // a + b*sqrt(k)
double const_cost(int k);   // a + b*k
double log10_ecost(int k);  // a + b*log10(c + d*k)
double log_ecost(int k);    // a + b*ln(c + d*k)
double sqrt_ecost(int k);   // a + b*sqrt(c + d*k)
double const_ecost(int k);  // a + b*(c + d*k)

// Floating-point error flag. The handler of SIGFPE records a trapped fault;
// gap_cost() also tests the exception flags (invalid, division by zero,
// overflow) around every evaluation, since this platform does not trap.
void fp_err_handler();      // installs fp_err_hand for SIGFPE
void fp_err_hand(int s);    // the handler: code = s, re-installs itself
int fp_error();             // the flag: 0 or the number of the reporting signal
void fp_err_clear();        // flag = 0
void fp_err_raise();        // sets the flag as a trapped fault would (SIGFPE)

// g(k) of the active function, with the floating-point exception flags
// tested around the evaluation (a fault sets the flag to SIGFPE). A result
// that is not a number or lies beyond the single-precision range of the
// gap cost tables sets the flag too.
double gap_cost(int k);

// Pair score of letter x of sequence 1 against letter y of sequence 2
// ('A'..'Z'), as a single-precision value; sets sub_t when the score came from
// the table or from mat and equals 5000.
float pair_score(char x, char y);
// The same without touching sub_t; *fill tells whether it would set it.
float pair_score_peek(char x, char y, bool* fill);

// Resets the whole cost model (and the own formula) to its start values.
void cost_reset();
