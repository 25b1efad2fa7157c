// The terminal progress bar of the batch tool, fed by the engines' own
// progress reports: drawn on standard error once a computation has run for
// about a second, and only when standard error is a terminal.
#pragma once

void progress_bar_start();   // installs the observer, starts the clock
void progress_bar_finish();  // removes the observer and clears the bar's line
