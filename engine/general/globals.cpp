// Globals of the general-cost engine (declared in general.h).
#include "engine/general/general.h"

list_matrix dist_gr(1, 1);
char new_alignment_failed = 0;
ScanKernel scan_kernel = ScanKernel::automatic;

void general_reset() {
  release_general_graph();
  dist_gr.change_dim(1, 1);
  dist_gr = nullptr;
  new_alignment_failed = 0;
  scan_kernel = ScanKernel::automatic;
}
