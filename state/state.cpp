#include "state/state.h"

String seq1, seq2;
int n = 0, m = 0;
String ms1, ms2;
int computing = 0;
int comp = 0;
int comp_o = -1;
int finished = 0;
float wert = 0.0f;
int show_flag = 0;
int gl_kl = 0;
int big = 3;
int syn = 1;
int plot_flag = 2;

void state_reset() {
  seq1 = String(); seq2 = String();
  n = m = 0;
  ms1 = String(); ms2 = String();
  computing = 0; comp = 0; comp_o = -1; finished = 0;
  wert = 0.0f; show_flag = 0;
  gl_kl = 0; big = 3; syn = 1; plot_flag = 2;
}
