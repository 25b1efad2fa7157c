// Program-wide state of the text module: the evaluator's error code,
// buffers, stacks and tables.
#include <cmath>
#include <cstring>

#include "text/strings.h"

int String::math_e = 0;
char String::puffer[256] = {0};

const char* const mathefkt_names[14] = {"log",  "ln",   "exp",  "sqrt", "abs", "atan", "acos",
                                        "asin", "sinh", "cosh", "tanh", "tan", "sin",  "cos"};

double (*const mf[14])(double) = {
    [](double v) { return std::log10(v); }, [](double v) { return std::log(v); },
    [](double v) { return std::exp(v); },   [](double v) { return std::sqrt(v); },
    [](double v) { return std::fabs(v); },  [](double v) { return std::atan(v); },
    [](double v) { return std::acos(v); },  [](double v) { return std::asin(v); },
    [](double v) { return std::sinh(v); },  [](double v) { return std::cosh(v); },
    [](double v) { return std::tanh(v); },  [](double v) { return std::tan(v); },
    [](double v) { return std::sin(v); },   [](double v) { return std::cos(v); },
};

//                              %  &  '   (   )  *  +  ,  -  .  /
const int priority[11] = {1, 2, 0, -1, -1, 1, 0, 0, 0, 0, 1};

double z_stack[81] = {0};
double merker[160] = {0};

void text_reset() {
  String::math_e = 0;
  std::memset(String::puffer, 0, sizeof String::puffer);
  for (double& v : z_stack) v = 0;
  for (double& v : merker) v = 0;
}
