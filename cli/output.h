// The batch tool's result formats.
#pragma once
#include <cstdint>
#include <string>

struct RunFacts {
  int mode = 1;
  bool swapped = false;
  bool has_count = false;
  std::string count;  // decimal
  uint64_t stored_bytes = 0;  // bytes the stored graph really takes
};

// Shortest decimal text that reads back to the same single-precision value.
std::string float_text(float v);
// JSON string literal of s.
std::string json_string(const std::string& s);
// The JSON object of the current results.
std::string json_result(const RunFacts& f);
// The alignment block and the information block, as the window inserts
// them, and a line with the count when one was asked for.
std::string text_result(const RunFacts& f);
