// Globals of the concave-cost engine (initial bodies; the engine is filled in
// step by step).
#include "engine/concave/concave.h"

stack_list* Sz = nullptr;
stack_list* Ss = nullptr;
double_list* Lz = nullptr;
double_list* Ls = nullptr;
edge_matrix edge_m(1, 1);
int l_i = 0, l_j = 0;
int con_vorz = 1;
int merk_l1 = 0;

float Spaltenminimum(int, int) { return 0.0f; }
float Zeilenminimum(int, int) { return 0.0f; }
int binaere_Spaltensuche(int, int, int, int) { return 0; }
int binaere_Zeilensuche(int, int, int, int) { return 0; }
void min_ueber_d(int, int) {}
void min_ueber_s(int, int) {}
void min_ueber_d_und_s(int, int) {}
void min_ueber_z(int, int) {}
void min_ueber_d_und_z(int, int) {}
void min_ueber_s_und_z(int, int) {}
void min_ueber_alle_drei(int, int) {}
int cost_warning() { return 0; }
float concave_distance() { return 0.0f; }
void mark_con_nodes(int, int) {}
void choose_con_alignment() {}
void make_con_alignment() {}
void comp_con_new_align(int, int) {}
void make_con_new_alignment() {}
void concave_setup() {}
void concave_release() {}
BigCount count_con_paths() { return BigCount(); }
