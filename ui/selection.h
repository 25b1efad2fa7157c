// The X PRIMARY selection: what "Get sequence 1" and the other readers read.
#pragma once
#include <string>

// The text of the PRIMARY selection, whichever X client holds it (this
// program included). Empty when nobody holds it, when headless, when no
// window of this program is shown (the request needs one), or when the
// holder does not answer within `timeout` seconds.
std::string read_primary_selection(double timeout = 1.0);

// Makes this program hold PRIMARY with `text` (a mouse selection in the
// text window does this; tests use it directly).
void own_primary_selection(const std::string& text);
