// Results of the last computation (declared in results.h).
#include "engine/common/results.h"

float_matrix dist(1, 1);
bit_matrix hilfs_gr(1, 1);
String al_seq1, al_seq2;
list_int hilfs_al(1);
list_int help_l(1);
list_int hilfs_h(1), hilfs_w(1);

uint64_t gesamtkanten = 0;
uint64_t bytes = 0;
uint64_t gl_opt_edges = 0;
uint64_t gl_sub = 0, gl_ins = 0, gl_del = 0;
const ResultEngine* result_engine = nullptr;

void results_reset() {
  dist.change_dim(1, 1);
  dist = 0.0f;
  hilfs_gr.change_dim(1, 1);
  hilfs_gr = 0;
  al_seq1 = String();
  al_seq2 = String();
  hilfs_al.change_length(1);
  hilfs_al.set(0, -1);
  help_l.change_length(1);
  help_l.set(0, 0);
  hilfs_h.change_length(1);
  hilfs_h.set(0, 0);
  hilfs_w.change_length(1);
  hilfs_w.set(0, 0);
  gesamtkanten = bytes = gl_opt_edges = 0;
  gl_sub = gl_ins = gl_del = 0;
  result_engine = nullptr;
}
