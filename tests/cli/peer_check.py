#!/usr/bin/python3
"""Checks vardane-align against independent computations on random cases.

Modes:
  global, concave      optimal cost against Biopython's PairwiseAligner (global)
  short-in-long        against Biopython's global mode, the longer sequence as
                       target and free end gaps in the query
  subalignment         against Biopython's local mode
  maxgap               general engine with a maximal gap length against a
                       direct evaluation of the recurrence over all edges
  count                number of optimal alignments against Biopython's count
                       (exact costs), and the concave engine's count against
                       the general engine's

Every case of the alignment modes also checks the printed alignment: its
letters are the input sequences, and rescoring it gives the optimal cost.
Gap costs are kept where Biopython is a valid oracle: g(k) > 0 and strictly
subadditive (Biopython never sets two gap runs of one direction side by
side). Exit status 0 when every case agrees; the failures are printed.

Usage: peer_check.py --tool PATH --mode MODE [--cases N] [--seed S]
"""
import argparse
import json
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

from Bio.Align import PairwiseAligner, substitution_matrices  # noqa: F401
from Bio.Align.substitution_matrices import Array


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


class Cost:
    """A gap cost family with its text for the tool and its value in Python."""

    def __init__(self, text, g, affine=None):
        self.text = text          # cost description ("cost=..., a=..., b=...")
        self.g = g                # g(k) in double precision
        self.affine = affine      # (open, extend) as Biopython scores when affine


def random_gap_cost(rng, exact=False):
    """A gap cost with g(k) > 0 and 2 g(1) > g(2), concave in k."""
    if exact:
        a = rng.choice([0.5, 1, 1.5, 2, 3])
        b = rng.choice([0, 0.5, 1, 2])
        return Cost("cost=a+b*k, a=%r, b=%r" % (a, b), lambda k: a + b * k, (-(a + b), -b))
    kind = rng.randrange(6)
    if kind == 0:
        a = rng.choice([0.5, 1, 2, 3.5])
        b = rng.choice([0, 0.5, 1, 1.25])
        return Cost("cost=a+b*k, a=%r, b=%r" % (a, b), lambda k: a + b * k, (-(a + b), -b))
    if kind == 1:  # log10: subadditive when a > b log10 2
        b = rng.choice([0.5, 1, 2, 3])
        a = b * 0.302 + rng.choice([0.2, 1, 2.5])
        return Cost("cost=a+b*log(k), a=%r, b=%r" % (a, b), lambda k: a + b * math.log10(k))
    if kind == 2:
        b = rng.choice([0.5, 1, 2])
        a = b * 0.694 + rng.choice([0.1, 1, 2])
        return Cost("cost=a+b*ln(k), a=%r, b=%r" % (a, b), lambda k: a + b * math.log(k))
    if kind == 3:
        a = rng.choice([0.5, 1, 2])
        b = rng.choice([0.5, 1, 1.5])
        return Cost("cost=a+b*sqrt(k), a=%r, b=%r" % (a, b), lambda k: a + b * math.sqrt(k))
    if kind == 4:  # an own formula
        a = rng.choice([1, 2, 3])
        return Cost("cost=%d+sqrt(k)" % a, lambda k: a + math.sqrt(k))
    # a + b*ln(c + d*k) with c = 1: concave, g(1) > 0, subadditive for a large enough
    b = rng.choice([1, 2])
    d = rng.choice([0.5, 1, 2])
    a = 2 * b * math.log(1 + 2 * d) - b * math.log(1 + d) + 0.5
    return Cost("cost=a+b*ln(c+d*k), a=%r, b=%r, c=1, d=%r" % (a, b, d),
                lambda k: a + b * math.log(1 + d * k))


ALPHA = "ACGT"


def random_scores(rng, local, exact):
    """(tool cost suffix, table text or None, score(x, y) -> cost)."""
    if not exact and rng.random() < 0.3:
        vals = {}
        rows = []
        for i, x in enumerate(ALPHA):
            row = []
            for y in ALPHA[i:]:
                if x == y:
                    v = rng.choice([-2, -1, -0.5]) if local else rng.choice([0, 0, 0.5])
                else:
                    v = rng.choice([1, 1.5, 2, 3])
                vals[(x, y)] = vals[(y, x)] = v
                row.append(repr(v))
            rows.append(" ".join(row))
        table = " ".join(ALPHA) + ":\n" + "\n".join(rows) + "\n"
        return "", table, lambda x, y: vals[(x, y)]
    if local:
        mat = rng.choice([-1, -2, -0.5])
    else:
        mat = rng.choice([0, 0, -0.5, 0.5]) if not exact else rng.choice([0, 0, -1])
    sub = rng.choice([1, 1.5, 2, 3]) if not exact else rng.choice([1, 2, 3])
    return ", subst.=%r, match=%r" % (sub, mat), None, lambda x, y: mat if x == y else sub


def rand_seq(rng, lo, hi, alpha=ALPHA):
    return "".join(rng.choice(alpha) for _ in range(rng.randint(lo, hi)))


class Tool:
    def __init__(self, path):
        self.path = path
        self.dir = tempfile.mkdtemp(prefix="vd-peer-")

    def run(self, s1, s2, mode, cost, table=None, extra=()):
        p1 = os.path.join(self.dir, "s1.fa")
        p2 = os.path.join(self.dir, "s2.txt")
        with open(p1, "w") as f:
            f.write(">first\n" + s1 + "\n")
        with open(p2, "w") as f:
            f.write(s2.lower() + "\n")
        args = [self.path, "-m", mode, "-f", "json", "-c", cost, *extra, p1, p2]
        if table is not None:
            pt = os.path.join(self.dir, "table.txt")
            with open(pt, "w") as f:
                f.write(table)
            args[1:1] = ["-t", pt]
        r = subprocess.run(args, capture_output=True, text=True, timeout=60)
        if r.returncode != 0:
            raise RuntimeError("exit %d: %s" % (r.returncode, r.stderr.strip()))
        return json.loads(r.stdout)


def aligner_for(mode, cost, score, target, query):
    al = PairwiseAligner()
    al.mode = "local" if mode == "subalignment" else "global"
    m = Array(alphabet=ALPHA, dims=2)
    for x in ALPHA:
        for y in ALPHA:
            m[x, y] = -score(x, y)
    al.substitution_matrix = m
    g = cost.g
    if mode == "short-in-long":
        qlen = len(query)
        al.target_gap_score = lambda i, n: -g(n)
        al.query_gap_score = lambda i, n: 0.0 if i == 0 or i == qlen else -g(n)
    elif cost.affine is not None:
        al.open_gap_score, al.extend_gap_score = cost.affine
    else:
        al.target_gap_score = lambda i, n: -g(n)
        al.query_gap_score = lambda i, n: -g(n)
    return al


def close(a, b):
    return abs(a - b) <= 1e-4 * (1 + abs(a) + abs(b))


def rescore(a1, a2, cost, score, free_end_deletions):
    """Cost of an alignment given as two gapped rows."""
    cols = list(zip(a1, a2))
    lo, hi = 0, len(cols)
    if free_end_deletions:  # the overhangs of the long sequence cost nothing
        while lo < hi and cols[lo][1] == "-":
            lo += 1
        while hi > lo and cols[hi - 1][1] == "-":
            hi -= 1
    total, run, kind = 0.0, 0, None
    for x, y in cols[lo:hi] + [(None, None)]:
        k = "del" if y == "-" else "ins" if x == "-" else None
        if k != kind and run:
            total += cost.g(run)
            run = 0
        kind = k
        if k:
            run += 1
        elif x is not None:
            total += score(x, y)
    return total


def check_alignment_case(tool, rng, mode):
    local = mode == "subalignment"
    cost = random_gap_cost(rng)
    suffix, table, score = random_scores(rng, local, exact=False)
    if mode == "short-in-long":
        s1, s2 = rand_seq(rng, 1, 12), rand_seq(rng, 1, 12)
    else:
        s1, s2 = rand_seq(rng, 1, 10), rand_seq(rng, 1, 10)
    engine_mode = mode if mode != "general" else "global"
    out = tool.run(s1, s2, engine_mode, cost.text + suffix, table, ["--go-on"])
    swapped = mode in ("short-in-long", "subalignment") and len(s2) > len(s1)
    t, q = (s2, s1) if swapped else (s1, s2)
    al = aligner_for(mode, cost, score, t, q)
    peer = -al.score(t, q)
    if local:
        peer = min(peer, 0.0)
    where = "%s %s %s %s" % (s1, s2, cost.text + suffix, table and table.replace("\n", "/"))
    errs = []
    if not close(out["distance"], peer):
        errs.append("distance %r, peer %r: %s" % (out["distance"], peer, where))
    if out["swapped"] != swapped:
        errs.append("swapped %r: %s" % (out["swapped"], where))
    a1, a2 = out["aligned1"], out["aligned2"]
    if len(a1) != len(a2):
        errs.append("rows of different length: %s" % where)
    elif mode != "subalignment":
        if a1.replace("-", "") != t or a2.replace("-", "") != q:
            errs.append("alignment %s/%s does not spell the inputs: %s" % (a1, a2, where))
        else:
            r = rescore(a1, a2, cost, score, mode == "short-in-long")
            if not close(r, out["distance"]):
                errs.append("alignment %s/%s rescores to %r, not %r: %s"
                            % (a1, a2, r, out["distance"], where))
        if out["edges"] != out["substitutions"] + out["inserts"] + out["deletes"]:
            errs.append("edge sum: %s" % where)
    else:
        # The subalignment rows: overhangs against '-', the start marker "->-",
        # then the aligned stretch; the stretch rescoring gives the distance.
        core1, core2 = a1, a2
        if "->-" in a1:
            cut = a1.rindex("->-") + 3
            core1, core2 = a1[cut:], a2[cut:]
        # strip the free overhangs against '-' at both ends
        cols = list(zip(core1, core2))
        while cols and "-" in cols[0]:
            cols.pop(0)
        while cols and "-" in cols[-1]:
            cols.pop()
        r = rescore("".join(c[0] for c in cols), "".join(c[1] for c in cols), cost, score, False)
        if not close(r, out["distance"]):
            errs.append("subalignment %s/%s rescores to %r, not %r: %s"
                        % (a1, a2, r, out["distance"], where))
    return errs


def recurrence(s1, s2, g, score, limit):
    """The general engine's recurrence, every edge tried, single precision:
    inner gaps no longer than `limit` (0 = any), border cells one gap."""
    n, m = len(s1), len(s2)
    G = [0.0] + [f32(g(k)) for k in range(1, max(n, m) + 1)]
    D = [[0.0] * (m + 1) for _ in range(n + 1)]
    for i in range(1, n + 1):
        D[i][0] = G[i]
    for j in range(1, m + 1):
        D[0][j] = G[j]
    for j in range(1, m + 1):
        for i in range(1, n + 1):
            best = f32(D[i - 1][j - 1] + f32(score(s1[i - 1], s2[j - 1])))
            for k in range(0, i):
                if limit and i - k > limit:
                    continue
                best = min(best, f32(D[k][j] + G[i - k]))
            for k in range(0, j):
                if limit and j - k > limit:
                    continue
                best = min(best, f32(D[i][k] + G[j - k]))
            D[i][j] = best
    return D[n][m]


def check_maxgap_case(tool, rng):
    # Any gap cost here, also superadditive ones: the oracle is the recurrence.
    kind = rng.randrange(3)
    if kind == 0:
        c = random_gap_cost(rng)
    elif kind == 1:
        c = Cost("cost=k*k", lambda k: k * k)
    else:
        c = Cost("cost=a+b*k, a=-0.5, b=1", lambda k: -0.5 + k)
    suffix, table, score = random_scores(rng, False, exact=False)
    s1, s2 = rand_seq(rng, 1, 9), rand_seq(rng, 1, 9)
    limit = rng.choice([0, 1, 1, 2, 3, 5])
    out = tool.run(s1, s2, "global", c.text + suffix, table, ["-g", str(limit)])
    want = recurrence(s1, s2, c.g, score, limit)
    if not close(out["distance"], want):
        return ["max gap %d: distance %r, recurrence %r: %s %s %s"
                % (limit, out["distance"], want, s1, s2, c.text + suffix)]
    return []


def check_count_case(tool, rng):
    cost = random_gap_cost(rng, exact=True)
    suffix, table, score = random_scores(rng, False, exact=True)
    s1, s2 = rand_seq(rng, 1, 9, "AC"), rand_seq(rng, 1, 9, "AC")
    out = tool.run(s1, s2, "global", cost.text + suffix, None, ["--count"])
    al = aligner_for("global", cost, score, s1, s2)
    peer = len(al.align(s1, s2))
    where = "%s %s %s" % (s1, s2, cost.text + suffix)
    errs = []
    if out["optimal_alignments"] != peer:
        errs.append("count %r, peer %r: %s" % (out["optimal_alignments"], peer, where))
    con = tool.run(s1, s2, "concave", cost.text + suffix, None, ["--count", "--go-on"])
    if con["optimal_alignments"] != out["optimal_alignments"] or con["distance"] != out["distance"]:
        errs.append("concave engine: count %r distance %r, general %r %r: %s"
                    % (con["optimal_alignments"], con["distance"], out["optimal_alignments"],
                       out["distance"], where))
    return errs


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", required=True)
    ap.add_argument("--mode", required=True,
                    choices=["global", "concave", "short-in-long", "subalignment",
                             "maxgap", "count"])
    ap.add_argument("--cases", type=int, default=200)
    ap.add_argument("--seed", type=int, default=12345)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    tool = Tool(a.tool)
    failures = []
    for _ in range(a.cases):
        try:
            if a.mode == "maxgap":
                failures += check_maxgap_case(tool, rng)
            elif a.mode == "count":
                failures += check_count_case(tool, rng)
            else:
                failures += check_alignment_case(tool, rng, a.mode)
        except Exception as e:  # a crash or a refusal of the tool counts as a failure
            failures.append("%s: %s" % (type(e).__name__, e))
        if len(failures) > 20:
            break
    for f in failures:
        print(f)
    print("%s: %d cases, %d failures" % (a.mode, a.cases, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
