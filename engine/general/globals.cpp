// Globals of the general-cost engine (declared in general.h).
#include "engine/general/general.h"

list_matrix dist_gr(1, 1);
ScanKernel scan_kernel = ScanKernel::automatic;

void general_reset() {
  release_general_graph();
  dist_gr.change_dim(1, 1);
  dist_gr = nullptr;
  scan_kernel = ScanKernel::automatic;
}
