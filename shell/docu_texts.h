// The German and the English user manual, compiled into the program from
// shell/docs/deutsch.txt and shell/docs/english.txt (plain text, UTF-8, NUL-terminated).
#pragma once

extern const char deutsch[];
extern const char englisch[];
