// Cost model state, the gap cost functions, the pair score rule and the
// floating-point error flag.
#include "cost/cost.h"

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <csignal>

#include "cost/own.h"

// ---- globals of the cost module (declared in cost.h and own.h) ----

signed char func = 4;
signed char func_c = 0;
double aa = 0.5, bb = 1.0, cc = 1.0, dd = 1.0;
double am = 0.5, bm = 1.0, cm = 1.0, dm = 1.0;
double sub = 2.0, mat = 0.0;
double subm = 2.0, matm = 0.0;
const char func_text[8][16] = {
    "a+b*log(k)",     "a+b*ln(k)",     "a+b*sqrt(k)",     "a+b*k",
    "a+b*log(c+d*k)", "a+b*ln(c+d*k)", "a+b*sqrt(c+d*k)", "a+b*(c+d*k)",
};
double (*const cf[9])(int) = {
    ownfunction, log10_cost,  log_cost,   sqrt_cost,   const_cost,
    log10_ecost, log_ecost,   sqrt_ecost, const_ecost,
};
float_matrix su(26, 27);
String subst;
char sub_t = 0;
list_float fu_res(1);

String own_func;
String own_funcm;
String own_func_s;

namespace {
// The table is only read while a score holds the table marker, but every
// entry starts as "missing" so that nothing undefined is ever read.
struct SuStart {
  SuStart() { su = FILL_VALUE; }
} su_start;

// The floating-point error flag: 0, or the signal number that reported a fault.
volatile std::sig_atomic_t code = 0;
}  // namespace

// ---- the predefined gap cost functions ----
// Each computes the inner value first, then the logarithm or root, then
// multiplies by b and adds a; the parameters are read at every call.

double log10_cost(int k) { return aa + bb * std::log10(double(k)); }
double log_cost(int k) { return aa + bb * std::log(double(k)); }
double sqrt_cost(int k) { return aa + bb * std::sqrt(double(k)); }
double const_cost(int k) { return aa + bb * double(k); }
double log10_ecost(int k) { return aa + bb * std::log10(cc + dd * double(k)); }
double log_ecost(int k) { return aa + bb * std::log(cc + dd * double(k)); }
double sqrt_ecost(int k) { return aa + bb * std::sqrt(cc + dd * double(k)); }
double const_ecost(int k) { return aa + bb * (cc + dd * double(k)); }

// ---- floating-point error flag ----

void fp_err_hand(int s) {
  std::signal(SIGFPE, SIG_DFL);
  code = s;
  std::signal(SIGFPE, fp_err_hand);
}

void fp_err_handler() { std::signal(SIGFPE, fp_err_hand); }

int fp_error() { return code; }

void fp_err_clear() { code = 0; }

void fp_err_raise() { code = SIGFPE; }

double gap_cost(int k) {
  if (func < 0 || func > 8) {  // no such function: nothing sensible to tabulate
    code = SIGFPE;
    return 0.0;
  }
  std::feclearexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  double g = cf[int(func)](k);
  if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW)) code = SIGFPE;
  // The engines keep gap costs in single precision: a value that is not a
  // number or does not fit there would silently become infinite.
  if (!(std::fabs(g) <= double(FLT_MAX))) code = SIGFPE;
  return g;
}

// ---- pair score rule ----

float pair_score_peek(char x, char y, bool* fill) {
  float s;
  bool checked;  // the score came from the table or from mat
  if (x != y) {
    if (sub != TABLE_MARKER) {
      s = float(sub);
      checked = false;
    } else {
      s = su(uint32_t(x - 'A'), uint32_t(y - 'A'));
      checked = true;
    }
  } else {
    if (mat != TABLE_MARKER)
      s = float(mat);
    else
      s = su(uint32_t(x - 'A'), uint32_t(x - 'A'));
    checked = true;
  }
  if (fill) *fill = checked && s == FILL_VALUE;
  return s;
}

float pair_score(char x, char y) {
  bool fill = false;
  float s = pair_score_peek(x, y, &fill);
  if (fill) sub_t = 1;
  return s;
}

void cost_reset() {
  func = 4;
  func_c = 0;
  aa = am = 0.5;
  bb = bm = 1.0;
  cc = cm = 1.0;
  dd = dm = 1.0;
  sub = subm = 2.0;
  mat = matm = 0.0;
  su.change_dim(26, 27);
  su = FILL_VALUE;
  subst = String();
  sub_t = 0;
  fu_res.change_length(1);
  own_func = String();
  own_funcm = String();
  own_func_s = String();
  code = 0;
}
