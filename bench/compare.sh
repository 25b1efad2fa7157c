#!/usr/bin/env bash
# Times vardane-align beside EMBOSS needle, parasail and Biopython's
# PairwiseAligner on the same random DNA pairs (seeded) of lengths 500, 1000,
# 2000 and 4000, and prints one table: each tool's median time and Vardane's
# ratio to it (ratio < 1: Vardane is faster).
#
#   affine gap cost   g(k) = 9 + k (open 10, extend 1), substitution 2, match 0
#                     Vardane: concave global mode; needle, parasail
#                     (nw_trace_scan_32, one thread), Biopython (global)
#   log gap cost      g(k) = 3 + log10(k)
#                     Vardane: global mode (general engine, every optimal
#                     alignment kept) on one thread and on every core, and its
#                     peak memory; the plain loop of the general recurrence
#                     (bench/plain_loop.cpp, distance only, one thread, -O2);
#                     Biopython with the same gap function
#
# Biopython with a general gap function is very slow (about 130 s at n = 1000):
# it runs only at 500 and 1000, once each; the plain loop (about 13 s at
# n = 2000) only up to 1000.
# Everything else is the median of RUNS runs (default 3). The general engine
# is skipped above MAX_GENERAL (default 4000; its time grows as n*m*(n+m)).
# A second table gives the peak memory (maximum resident set) of the general
# engine's runs.
#
# Usage: bench/compare.sh [build-dir]      (default build/)
#        SIZES="8000" MAX_GENERAL=8000 bench/compare.sh    (other lengths)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
RUNS=${RUNS:-3}
MAX_GENERAL=${MAX_GENERAL:-4000}
SIZES=${SIZES:-"500 1000 2000 4000"}
PY=/usr/bin/python3

scripts/install-deps.sh emboss parasail python3-biopython time >/dev/null
if [ ! -x "$build/vardane-align" ] || [ ! -x "$build/plain_loop" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target vardane-align plain_loop >/dev/null
fi
tool="$build/vardane-align"
plain="$build/plain_loop"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Seconds taken by a command (its output discarded).
seconds() {
  local s e
  s=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
  e=$(date +%s%N)
  awk -v d=$((e - s)) 'BEGIN { printf "%.3f", d / 1e9 }'
}
# parasail_aligner takes a readable standard input for a query file: close it.
parasail_run() { parasail_aligner "$@" <&-; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Runs the named commands (shell functions) round-robin, count times each, so
# that the load of the shared machine falls on all of them alike, and sets
# med_<name> to each one's median.
side_by_side() {  # count, name...
  local k=$1 f; shift
  for f in "$@"; do : > "$work/t_$f"; done
  for _ in $(seq "$k"); do
    for f in "$@"; do { seconds "$f"; echo; } >> "$work/t_$f"; done
  done
  for f in "$@"; do printf -v "med_$f" '%s' "$(median < "$work/t_$f")"; done
}

cat > "$work/bio.py" <<'PYEOF'
import math, sys, time
from Bio.Align import PairwiseAligner
def read(p):
    return "".join(l.strip() for l in open(p) if not l.startswith(">"))
a, b, kind = read(sys.argv[1]), read(sys.argv[2]), sys.argv[3]
al = PairwiseAligner()
al.mode = "global"
al.match_score, al.mismatch_score = 0, -2
if kind == "affine":
    al.open_gap_score, al.extend_gap_score = -10, -1
else:
    g = lambda i, n: -(3 + math.log10(n))
    al.target_gap_score = g
    al.query_gap_score = g
t = time.perf_counter()
alignments = al.align(a, b)
first = alignments[0]
print("%.3f" % (time.perf_counter() - t))
PYEOF

# Peak resident memory in MBytes of a command (its output discarded).
peak_mb() {
  /usr/bin/time -f '%M' -o "$work/peak" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
  awk '{ printf "%.0f", $1 / 1024 }' "$work/peak"
}

rows=()
row() { rows+=("$(printf '%-6s %-8s %-34s %9s %9s %8s' "$@")"); }
mem=()
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }'; }

for n in $SIZES; do
  $PY - "$n" "$work" <<'PYEOF'
import random, sys
n, d = int(sys.argv[1]), sys.argv[2]
rng = random.Random(n)
a = "".join(rng.choice("ACGT") for _ in range(n))
# the second sequence: a mutated copy (substitutions and short indels)
b = []
for c in a:
    r = rng.random()
    if r < 0.08: b.append(rng.choice("ACGT"))
    elif r < 0.10: pass
    elif r < 0.12: b.extend([c, rng.choice("ACGT")])
    else: b.append(c)
b = "".join(b)[:n].ljust(n, "A")
for name, s in (("a", a), ("b", b)):
    with open("%s/%s%d.fa" % (d, name, n), "w") as f:
        f.write(">%s%d\n" % (name, n))
        for i in range(0, len(s), 60): f.write(s[i:i + 60] + "\n")
PYEOF
  A="$work/a$n.fa"; B="$work/b$n.fa"
  affine="cost=a+b*k, a=9, b=1, subst.=2, match=0"
  logc="cost=a+b*log(k), a=3, b=1, subst.=2, match=0"

  cores=$(nproc 2>/dev/null || echo 2)
  run_vc() { "$tool" -m concave -c "$affine" "$A" "$B"; }
  run_nd() { needle -asequence "$A" -bsequence "$B" -gapopen 10 -gapextend 1 -outfile "$work/needle.out" -auto; }
  run_ps() {
    parasail_run -a nw_trace_scan_32 -x -d -t 1 -o 10 -e 1 -M 0 -X 2 -O EMBOSS -f "$A" -q "$B" \
        -g "$work/parasail.txt"
  }
  run_v1() { "$tool" --threads 1 -c "$logc" "$A" "$B"; }
  run_vg() { "$tool" -c "$logc" "$A" "$B"; }
  run_pl() { "$plain" "$A" "$B"; }

  side_by_side "$RUNS" run_vc run_nd run_ps
  vc=$med_run_vc
  row "$n" affine "vardane-align -m concave" "$vc" "" ""
  row "$n" affine "needle" "$med_run_nd" "$(ratio "$vc" "$med_run_nd")" ""
  row "$n" affine "parasail nw_trace_scan_32" "$med_run_ps" "$(ratio "$vc" "$med_run_ps")" ""
  ba=$(for _ in $(seq "$RUNS"); do $PY "$work/bio.py" "$A" "$B" affine; done | median)
  row "$n" affine "Biopython PairwiseAligner" "$ba" "$(ratio "$vc" "$ba")" ""

  if [ "$n" -le "$MAX_GENERAL" ]; then
    if [ "$n" -le 1000 ]; then
      side_by_side "$RUNS" run_v1 run_vg run_pl
    else
      side_by_side "$RUNS" run_v1 run_vg
    fi
    v1=$med_run_v1
    row "$n" log "vardane-align --threads 1" "$v1" "" ""
    row "$n" log "vardane-align ($cores threads)" "$med_run_vg" "$(ratio "$med_run_vg" "$v1")" \
        "$(awk -v a="$v1" -v b="$med_run_vg" 'BEGIN { printf "%.2fx", a / b }')"
    if [ "$n" -le 1000 ]; then
      row "$n" log "plain loop (-O2, one thread)" "$med_run_pl" "$(ratio "$v1" "$med_run_pl")" ""
    fi
    mem+=("$(printf '%-6s %-34s %9s' "$n" "vardane-align --threads 1" "$(peak_mb "$tool" --threads 1 -c "$logc" "$A" "$B")")")
    mem+=("$(printf '%-6s %-34s %9s' "$n" "vardane-align ($cores threads)" "$(peak_mb "$tool" -c "$logc" "$A" "$B")")")
    if [ "$n" -le 1000 ]; then
      bl=$($PY "$work/bio.py" "$A" "$B" log)
      row "$n" log "Biopython, gap function (1 run)" "$bl" "$(ratio "$v1" "$bl")" \
          "$(awk -v a="$bl" -v b="$v1" 'BEGIN { printf "%.0fx", a / b }')"
    fi
  fi
done

printf '%-6s %-8s %-34s %9s %9s %8s\n' n gap tool "median s" "V/tool" speedup
for r in "${rows[@]}"; do echo "$r"; done
echo
printf '%-6s %-34s %9s\n' n "general engine, log gap cost" "peak MB"
for r in "${mem[@]}"; do echo "$r"; done
