// Globals of the general-cost engine (declared in general.h).
#include "engine/general/general.h"

PredGraph dist_gr;
ScanKernel scan_kernel = ScanKernel::automatic;
int general_threads = 0;

void general_reset() {
  release_general_graph();
  dist_gr.set_budget(UINT64_MAX);
  scan_kernel = ScanKernel::automatic;
  general_threads = 0;
}
