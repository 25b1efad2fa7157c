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
#                     alignment kept); Biopython with the same gap function
#
# Biopython with a general gap function is very slow (about 130 s at n = 1000):
# it runs only at 500 and 1000, once each. Everything else is the median of
# RUNS runs (default 3). The general engine is skipped above MAX_GENERAL
# (default 2000; its time grows as n*m*(n+m)).
#
# Usage: bench/compare.sh [build-dir]      (default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
RUNS=${RUNS:-3}
MAX_GENERAL=${MAX_GENERAL:-2000}
PY=/usr/bin/python3

scripts/install-deps.sh emboss parasail python3-biopython >/dev/null
if [ ! -x "$build/vardane-align" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target vardane-align >/dev/null
fi
tool="$build/vardane-align"
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
timed() {  # runs count, command...
  local k=$1; shift
  for _ in $(seq "$k"); do seconds "$@"; echo; done | median
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

rows=()
row() { rows+=("$(printf '%-6s %-8s %-34s %9s %9s %8s' "$@")"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }'; }

for n in 500 1000 2000 4000; do
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

  vc=$(timed "$RUNS" "$tool" -m concave -c "$affine" "$A" "$B")
  nd=$(timed "$RUNS" needle -asequence "$A" -bsequence "$B" -gapopen 10 -gapextend 1 \
       -outfile "$work/needle.out" -auto)
  row "$n" affine "vardane-align -m concave" "$vc" "" ""
  row "$n" affine "needle" "$nd" "$(ratio "$vc" "$nd")" ""
  ps=$(timed "$RUNS" parasail_run -a nw_trace_scan_32 -x -d -t 1 -o 10 -e 1 -M 0 -X 2 \
       -O EMBOSS -f "$A" -q "$B" -g "$work/parasail.txt")
  row "$n" affine "parasail nw_trace_scan_32" "$ps" "$(ratio "$vc" "$ps")" ""
  ba=$(for _ in $(seq "$RUNS"); do $PY "$work/bio.py" "$A" "$B" affine; done | median)
  row "$n" affine "Biopython PairwiseAligner" "$ba" "$(ratio "$vc" "$ba")" ""

  if [ "$n" -le "$MAX_GENERAL" ]; then
    vg=$(timed "$RUNS" "$tool" -c "$logc" "$A" "$B")
    row "$n" log "vardane-align (general engine)" "$vg" "" ""
    if [ "$n" -le 1000 ]; then
      bl=$($PY "$work/bio.py" "$A" "$B" log)
      row "$n" log "Biopython, gap function (1 run)" "$bl" "$(ratio "$vg" "$bl")" \
          "$(awk -v a="$bl" -v b="$vg" 'BEGIN { printf "%.0fx", a / b }')"
    fi
  fi
done

printf '%-6s %-8s %-34s %9s %9s %8s\n' n gap tool "median s" "V/tool" speedup
for r in "${rows[@]}"; do echo "$r"; done
