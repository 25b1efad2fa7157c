// The own gap cost formula in its three forms.
#pragma once
#include "text/strings.h"

extern String own_func;    // active own formula as the user wrote it ("k", "^")
extern String own_funcm;   // pending own formula (own-function window)
extern String own_func_s;  // tokenized form of own_func that the engines evaluate

double ownfunction(int k);  // own_func_s evaluated with its variable = k; no checks
void compress_function();   // rebuilds own_func_s from own_func (empty when own_func
                            // fails own_formula_ok; ownfunction then gives a
                            // floating-point fault instead of a value)

// The check copy of a formula: "k" -> "(1)", "&" -> "=", "^" -> "&".
String own_check_copy(const String& formula);
// True when the formula passes the evaluator's check (valf_err() == 0 on the check copy)
// and evaluates as checked: it holds only digits, letters, blanks and . + - * / ^ ( ),
// every function name is directly followed by '(', and it has no more numbers
// than the tokenized form can hold.
bool own_formula_ok(const String& formula);

// Numbers the tokenized form of a formula holds; at most OWN_MAX_NUMBERS fit.
constexpr int OWN_MAX_NUMBERS = 98;
int own_number_count(const String& formula);
