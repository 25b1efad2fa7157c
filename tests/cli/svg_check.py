#!/usr/bin/python3
"""Checks the SVG pictures of vardane-align (--graph, --dot-matrix) on random cases.

Every file is parsed with a real XML parser (xml.etree). The graph picture:
  - its size is the graph window's frame for the lengths computed;
  - one line of class "edge" per edge of the optimal graph: as many as the
    printed figure "optimal_graph_edges" (gl_opt_edges), each joining two
    nodes by a diagonal, vertical or horizontal step forwards;
  - one dot of class "node" per node, no node twice; the nodes are exactly
    the ends of the edges (and, in the subalignment mode, an optimal end that
    is a start by itself);
  - the circles of class "path" lie on nodes and follow edges of the picture
    from the end of the alignment backwards; in the global modes there is one
    per edge of the printed alignment.
The dot matrix: one element of class "dot" per pair of equal letters, in
the style asked for ("automatic": big up to 400 letters together).

Usage: svg_check.py --tool PATH [--cases N] [--seed S] [--large]
"""
import argparse
import json
import os
import random
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

NS = "{http://www.w3.org/2000/svg}"
S = 8  # units per letter of the graph picture


def node_of(cx, cy):
    x, y = (int(cx) - 3 * S - 1) / S, (int(cy) - 2 * S + 1) / S
    assert x == int(x) and y == int(y), (cx, cy)
    return int(x), int(y)


def by_class(root, cls):
    return [e for e in root.iter() if e.get("class") == cls]


COSTS = {
    "global": ["cost=a+b*k, a=0.5, b=1", "cost=a+b*k, a=0, b=1, subst.=2, match=0",
               "cost=a+b*log(k), a=3, b=1", "cost=1+k*k, subst.=3"],
    "concave": ["cost=a+b*k, a=0.5, b=1", "cost=a+b*k, a=1.5, b=0.5, subst.=1",
                "cost=a+b*log(k), a=3, b=1"],
    "short-in-long": ["cost=a+b*k, a=0.5, b=1", "cost=a+b*k, a=2, b=0.5",
                      "cost=a+b*sqrt(k), a=1, b=1, subst.=3"],
    "subalignment": ["cost=a+b*k, a=2, b=1, subst.=3, match=-1",
                     "cost=a+b*k, a=1, b=0.5, subst.=1, match=-1",
                     "cost=a+b*log(k), a=1, b=1, subst.=2, match=-2"],
}


class Tool:
    def __init__(self, path, workdir):
        self.path = path
        self.dir = workdir

    def run(self, s1, s2, mode, cost, extra=()):
        a, b = os.path.join(self.dir, "a.txt"), os.path.join(self.dir, "b.txt")
        with open(a, "w") as f:
            f.write(s1)
        with open(b, "w") as f:
            f.write(s2)
        g, d = os.path.join(self.dir, "g.svg"), os.path.join(self.dir, "d.svg")
        for p in (g, d):
            if os.path.exists(p):
                os.remove(p)
        cmd = [self.path, "-f", "json", "-m", mode, "-c", cost, "--graph", g, "--dot-matrix", d,
               *extra, a, b]
        r = subprocess.run(cmd, capture_output=True, text=True)
        if r.returncode != 0:
            raise AssertionError("%s: status %d: %s" % (" ".join(cmd), r.returncode, r.stderr))
        return json.loads(r.stdout), ET.parse(g).getroot(), ET.parse(d).getroot()


def check_graph(root, res, s1, s2, mode):
    """Returns the numbers of edges, nodes, circles and tied duplicates."""
    if res["swapped"]:
        s1, s2 = s2, s1
    n, m = len(s1), len(s2)
    assert root.tag == NS + "svg", root.tag
    assert (root.get("width"), root.get("height")) == (str((n + 4) * S), str((m + 4) * S)), root.attrib
    assert root.get("viewBox") == "0 0 %d %d" % ((n + 4) * S, (m + 4) * S)
    letters = [e.text for e in by_class(root, "letter")]
    assert "".join(letters) == s1 + s2, letters

    edges = []
    for e in by_class(root, "edge"):
        assert e.tag == NS + "line"
        a = node_of(e.get("x1"), e.get("y1"))
        b = node_of(e.get("x2"), e.get("y2"))
        dx, dy = b[0] - a[0], b[1] - a[1]
        assert (dx, dy) == (1, 1) or (dx == 0 and dy > 0) or (dy == 0 and dx > 0), (a, b)
        assert 0 <= a[0] and 0 <= a[1] and 1 <= b[0] <= n and 1 <= b[1] <= m, (a, b)
        edges.append((a, b))
    assert len(edges) == res["optimal_graph_edges"], (len(edges), res["optimal_graph_edges"])

    nodes = [node_of(e.get("cx"), e.get("cy")) for e in by_class(root, "node")]
    assert len(set(nodes)) == len(nodes), "a node drawn twice"
    ends = {p for e in edges for p in e}
    assert ends <= set(nodes), ends - set(nodes)
    alone = set(nodes) - ends
    assert not alone or mode == "subalignment", alone

    path = [node_of(e.get("cx"), e.get("cy")) for e in by_class(root, "path")]
    assert path, "no circles"
    assert set(path) <= set(nodes), set(path) - set(nodes)
    edge_set = set(edges)
    for later, earlier in zip(path, path[1:]):
        assert (earlier, later) in edge_set, (earlier, later)
    if mode in ("global", "concave"):
        assert len(path) == res["edges"], (len(path), res["edges"])
    return len(edges), len(nodes), len(path), len(edges) - len(edge_set)


def check_dots(root, s1, s2, style):
    want = sum(1 for c in s2 for d in s1 if c == d)
    dots = by_class(root, "dot")
    assert len(dots) == want, (len(dots), want)
    small = style == "small" or (style == "automatic" and len(s1) + len(s2) > 400)
    if small:
        assert all(e.tag == NS + "rect" for e in dots)
        w = 300 if len(s1) < 125 else 2 * len(s1) + 50
        h = 2 * len(s2) + 50
    else:
        assert all(e.tag == NS + "text" and e.text == "*" for e in dots)
        w, h = 8 * len(s1) + 50, 12 * len(s2) + 50
    assert (root.get("width"), root.get("height")) == (str(w), str(h)), root.attrib
    return want


def rand_seq(rng, lo, hi, alpha):
    return "".join(rng.choice(alpha) for _ in range(rng.randint(lo, hi)))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", required=True)
    ap.add_argument("--cases", type=int, default=40)
    ap.add_argument("--seed", type=int, default=2024)
    ap.add_argument("--large", action="store_true",
                    help="also 5000 letters against 40: beyond the 32767 pixels of a window picture")
    args = ap.parse_args()
    rng = random.Random(args.seed)
    failures = 0
    totals = {}
    with tempfile.TemporaryDirectory() as d:
        tool = Tool(args.tool, d)
        for mode, costs in COSTS.items():
            t = totals.setdefault(mode, [0] * 6)
            for case in range(args.cases):
                alpha = "AC" if case % 2 else "ACGT"  # two letters: many ties
                s1, s2 = rand_seq(rng, 1, 12, alpha), rand_seq(rng, 1, 12, alpha)
                cost = costs[case % len(costs)]
                style = ("automatic", "small", "big")[case % 3]
                try:
                    res, graph, dots = tool.run(s1, s2, mode, cost, ("--dot-style", style))
                    figures = (1, *check_graph(graph, res, s1, s2, mode), check_dots(dots, s1, s2, style))
                    t[:] = [a + b for a, b in zip(t, figures)]
                except AssertionError as ex:
                    failures += 1
                    print("FAIL %s %s / %s, %s: %s" % (mode, s1, s2, cost, ex))
        if args.large:
            s1 = rand_seq(rng, 5000, 5000, "ACGT")
            s2 = rand_seq(rng, 40, 40, "ACGT")
            for mode in ("global", "concave"):
                try:
                    res, graph, dots = tool.run(s1, s2, mode, COSTS[mode][0], ("--dot-style", "big"))
                    e, nd, p, _ = check_graph(graph, res, s1, s2, mode)
                    dn = check_dots(dots, s1, s2, "big")
                    print("large %s: %d edges, %d nodes, %d circles; %d dots, %s x %s units" %
                          (mode, e, nd, p, dn, dots.get("width"), dots.get("height")))
                except AssertionError as ex:
                    failures += 1
                    print("FAIL large %s: %s" % (mode, ex))
    for mode, t in totals.items():
        print("%-14s %d cases: %d edges (%d tied duplicates), %d nodes, %d circles, %d dots" %
              (mode, t[0], t[1], t[4], t[2], t[3], t[5]))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
