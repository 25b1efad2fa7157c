// The graph window: the picture copied into the canvas, scrolling, the
// message that stands in for a picture too large for a pixmap; the node
// under the mouse and in the position fields, the marks of "Set your mark",
// their notices, and "Get new alignment" on both engines, with interrupts in
// either search.
#include "tests/shell/alignment_text.h"
#include "tests/shell/shell_fixture.h"

#include <X11/Xutil.h>

#include <set>

#include "cost/cost.h"
#include "engine/common/graph_picture.h"
#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "ui/picture.h"
#include "ui/picture_x.h"

namespace shell_test {
namespace {

TEST_F(ShellTest, GraphCanvasShowsThePicture) {
  NoticeRecorder rec;
  read_sequences("ACGTTGCATGCAACGTAGCTAGCTAGGCTAACGACGTTGCATGCAACGTAGCTAGCTAGGCTAACG",
                 "ACGTGCATGCTACGTAGCAGCTAGGCTACGACGTGCATGCTACGTAGCAGCTAGGCTACG");
  choose_operation("Global optimal alignment");
  ASSERT_TRUE(choose_frame->shown());
  EXPECT_EQ(choose_canv->scroll_width(), (n + 7) * 8);
  EXPECT_EQ(choose_canv->scroll_height(), (m + 7) * 8);
  EXPECT_TRUE(choose_canv->message().empty());
  // Scrolled somewhere inside: the window holds exactly that part of the picture.
  for (auto [vx, vy] : {std::pair{0, 0}, {100, 60}, {100000, 100000}}) {
    choose_canv->set_view_start(vx, vy);
    repaint_when_viewable(choose_canv);
    const int sx = choose_canv->clamped_x(), sy = choose_canv->clamped_y();
    const int w = choose_canv->width(), h = choose_canv->height();
    XImage* win = XGetImage(fl_display, choose_canv->xid(), 0, 0, w, h, AllPlanes, ZPixmap);
    XImage* pic = XGetImage(fl_display, thePixmap, 0, 0, picture_width(Picture::graph),
                            picture_height(Picture::graph), 1, ZPixmap);
    ASSERT_TRUE(win && pic);
    int wrong = 0, set = 0;
    const unsigned long black = BlackPixel(fl_display, DefaultScreen(fl_display));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int px = sx + x, py = sy + y;
        const bool inside = px < picture_width(Picture::graph) && py < picture_height(Picture::graph);
        const bool want = inside && (XGetPixel(pic, px, py) & 1);
        set += want;
        wrong += want != (XGetPixel(win, x, y) == black);
      }
    XDestroyImage(win);
    XDestroyImage(pic);
    EXPECT_EQ(wrong, 0) << vx << "," << vy;
    EXPECT_GT(set, 0) << vx << "," << vy;
  }
  // Far right and bottom the view stops at the scroll size.
  EXPECT_EQ(choose_canv->clamped_x(), (n + 7) * 8 - choose_canv->width());
}

TEST_F(ShellTest, GraphTooLargeForAPixmap) {
  NoticeRecorder rec;
  // 4100 columns at 8 pixels: 32832 pixels, more than a pixmap side may be.
  read_sequences(std::string(4100, 'A'), "AAAAA");
  choose_operation("Global optimal alignment");
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_FALSE(picture_valid(Picture::graph));
  ASSERT_TRUE(choose_frame->shown());
  settle();
  const std::vector<std::string>& msg = choose_canv->message();
  ASSERT_FALSE(msg.empty());
  bool says_small = false;
  for (const std::string& l : msg) says_small |= l.find("\"small\"") != std::string::npos;
  EXPECT_TRUE(says_small);
  screenshot(choose_frame, "graph_window_too_large");
  // Every other result is complete.
  EXPECT_EQ(al_seq1.length(), 4100);
  EXPECT_TRUE(out_frame->shown());
  EXPECT_TRUE(extra_frame->shown());
  EXPECT_GT(gl_opt_edges, 0u);
}

}  // namespace
}  // namespace shell_test

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

// A press and release of mouse button 1 with the pointer `dx`, `dy` pixels
// off node (x, y) (picture coordinates, as the canvas reports them).
void click_node(int x, int y, int dx = 0, int dy = 0) {
  mouse_event_proc(choose_canv, 1, 1, node_px(x) + dx, node_py(y) + dy);
  mouse_event_proc(choose_canv, 3, 1, node_px(x) + dx, node_py(y) + dy);
}

// Clicks the node and chooses the item of "Set your mark"; the first line of
// the notice this gave, "" when none.
std::string mark(NoticeRecorder& rec, const char* item, Node at) {
  const size_t before = rec.seen.size();
  click_node(at.first, at.second);
  EXPECT_TRUE(mark_button->choose(item)) << item;
  return rec.seen.size() > before ? rec.seen.back().lines[0] : "";
}

// Presses "Get new alignment" and runs the loop's pass for the request.
void get_new_alignment() {
  new_alignment_button->press();
  if (computing == 5) run_operation(5);
}

// Runs the operation of the menu item again on the sequences read.
void compute(int code) {
  ms1 = String();
  computing = code;
  run_operation(code);
}

std::vector<Node> shown_path() {
  std::vector<Node> v;
  for (uint32_t k = 0; k + 1 < hilfs_al.length() && hilfs_al[k] != -1; k += 2)
    v.push_back({hilfs_al[k], hilfs_al[k + 1]});
  return v;
}

// Least costs between nodes of the global recurrence, by dynamic
// programming from one node at a time: a gap is one edge; a horizontal gap
// starts in a row >= 1 (or at the origin), a vertical one in a column >= 1
// (or at the origin). Costs are exact (halves) in these tests.
struct Costs {
  std::string a, b;
  int N, M;
  Costs(const std::string& s1, const std::string& s2)
      : a(s1), b(s2), N(int(s1.size())), M(int(s2.size())) {}
  // C(u, v) for every v >= u.
  std::vector<double> from(Node u) const {
    const double inf = 1e300;
    std::vector<double> c(size_t(N + 1) * (M + 1), inf);
    auto at = [&](int x, int y) -> double& { return c[size_t(y) * (N + 1) + x]; };
    at(u.first, u.second) = 0;
    for (int y = u.second; y <= M; ++y)
      for (int x = u.first; x <= N; ++x) {
        double& v = at(x, y);
        if (x > u.first && y > u.second) v = std::min(v, at(x - 1, y - 1) + pair_score(a[x - 1], b[y - 1]));
        for (int k = 1; x - k >= u.first; ++k)
          if (y >= 1 || (x - k == 0 && y == 0)) v = std::min(v, at(x - k, y) + gap_cost(k));
        for (int k = 1; y - k >= u.second; ++k)
          if (x >= 1 || (x == 0 && y - k == 0)) v = std::min(v, at(x, y - k) + gap_cost(k));
      }
    return c;
  }
  double cost(Node u, Node v) const {
    if (v.first < u.first || v.second < u.second) return 1e300;
    return from(u)[size_t(v.second) * (N + 1) + v.first];
  }
  double optimum() const { return cost({0, 0}, {N, M}); }
  // Some optimal alignment passes every node of the list, in its order.
  bool optimal_through(const std::vector<Node>& nodes) const {
    double c = 0;
    Node at{0, 0};
    for (const Node& p : nodes) {
      c += cost(at, p);
      at = p;
    }
    return c + cost(at, {N, M}) == optimum();
  }
};

TEST_F(ShellTest, MouseAndFieldsChooseTheNode) {
  NoticeRecorder rec;
  read_sequences("ACGTTGCA", "ACTTGA");
  choose_operation("Global optimal alignment");
  for (int size : {3, 2}) {
    if (size == 2) {  // "small" in the Options
      einstellung();
      pick(panel_big, 1);
      option_ok_proc();
      ASSERT_EQ(computing, 4);
      run_operation(4);
    }
    ASSERT_EQ(big, size);
    // The pointer on a node, or a pixel or two beside it, chooses that node.
    for (int y = 0; y <= m; ++y)
      for (int x = 0; x <= n; ++x)
        for (int d : {-2, -1, 0, 1}) {
          click_node(x, y, d, -1 - d);
          ASSERT_EQ(Node(mo_x, mo_y), Node(x, y)) << "big " << size << " offset " << d;
          ASSERT_EQ(panel_m1->value(), x);
          ASSERT_EQ(panel_m2->value(), y);
        }
  }
  // Nothing is chosen while computing, nor left of or above the picture.
  computing = 1;
  click_node(2, 2);
  computing = 0;
  mouse_event_proc(choose_canv, 1, 1, 0, node_py(3));
  EXPECT_EQ(Node(mo_x, mo_y), Node(n, m));
  // A press of the same button again before its release counts as its release.
  mouse_event_proc(choose_canv, 1, 1, node_px(1), node_py(1));
  mouse_event_proc(choose_canv, 1, 1, node_px(2), node_py(2));
  EXPECT_EQ(Node(mo_x, mo_y), Node(1, 1));
  EXPECT_EQ(old_but, 0);

  // Typing a position and Return chooses it too, within 0..n and 0..m.
  enter(panel_m1->fl(), "3");
  enter(panel_m2->fl(), "999");
  EXPECT_EQ(Node(mo_x, mo_y), Node(3, m));
  EXPECT_EQ(panel_m2->value(), m);
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_EQ(mark_button->item_labels(),
            (Lines{"Choose left", "Choose between", "Choose right", "Delete left", "Delete between",
                   "Delete right", "Delete all"}));

  // A press on the scrolled canvas, as the toolkit delivers it: the view
  // start counts.
  std::string a, b;
  for (int i = 0; i < 40; ++i) a += "ACGTA", b += "ACTGA";
  read_sequences(a, b);
  choose_operation("Global optimal alignment");
  choose_canv->set_view_start(300, 200);
  repaint_when_viewable(choose_canv);
  ASSERT_EQ(choose_canv->clamped_x(), 300);
  ASSERT_EQ(choose_canv->clamped_y(), 200);
  for (int release = 0; release < 2; ++release) {
    Fl::e_x = node_px(90) - 300;
    Fl::e_y = 80 + node_py(70) - 200;
    Fl::e_keysym = FL_Button + 1;
    Fl::handle(release ? FL_RELEASE : FL_PUSH, choose_frame->fl());
  }
  EXPECT_EQ(Node(mo_x, mo_y), Node(90, 70));
  EXPECT_EQ(old_but, 0);
}

TEST_F(ShellTest, MarkNoticesByTheirTriggers) {
  NoticeRecorder rec;
  read_sequences("ACCA", "ACA");  // either C may be deleted
  choose_operation("Global optimal alignment");
  const std::vector<Node> path = shown_path();
  const std::set<Node> on_path(path.begin(), path.end());
  Node off{-1, -1};
  for (int y = 1; y <= m; ++y)
    for (int x = 1; x <= n; ++x)
      if (hilfs_gr(uint32_t(x), uint32_t(y)) == 1 && !on_path.count({x, y})) off = {x, y};
  ASSERT_NE(off.first, -1);

  get_new_alignment();  // no between mark yet
  EXPECT_EQ(rec.last_line(), "There are not enough marks !");
  EXPECT_EQ(mark(rec, "Choose between", path[1]), "This node is out of range !");  // circled
  EXPECT_EQ(mark(rec, "Choose left", off), "This node is out of range !");      // not circled
  EXPECT_EQ(mark(rec, "Choose between", off), "");
  EXPECT_EQ(mark(rec, "Choose left", {n, m}), "This mark isn't possible !");  // right of it
  EXPECT_EQ(mark(rec, "Choose right", {1, 1}), "This mark isn't possible !"); // left of it
  for (const NoticeRequest& r : rec.seen) {
    ASSERT_EQ(r.buttons.size(), 1u);
    EXPECT_EQ(r.buttons[0].label, " Sorry ");
  }
  EXPECT_EQ(Node(markb_x, markb_y), off);
  EXPECT_EQ(markl_x, -1);
  EXPECT_EQ(markr_x, -1);
  screenshot(choose_frame, "graph_window_between_mark");

  // While an operation runs, neither the menu nor the button acts.
  computing = 2;
  EXPECT_EQ(mark(rec, "Delete all", off), "Not possible while computing !");
  new_alignment_button->press();
  EXPECT_EQ(rec.last_line(), "Not possible while computing !");
  EXPECT_EQ(computing, 2);
  computing = 0;
  EXPECT_EQ(Node(markb_x, markb_y), off);

  // Short in long needs a right mark of the user's.
  rec.seen.clear();
  read_sequences("ACGAC", "AC");
  choose_operation("Concave: short in long sequence");
  EXPECT_EQ(mark(rec, "Choose between", {1, 1}), "");
  get_new_alignment();
  EXPECT_EQ(rec.last_line(), "There are not enough marks !");
  // There a right mark may end on any optimal end, on the shown path or not.
  EXPECT_EQ(mark(rec, "Choose right", {2, 2}), "");
  get_new_alignment();
  EXPECT_EQ(rec.seen.size(), 1u);
  EXPECT_STREQ(al_seq2.c_str(), "AC---");

  // In the subalignment mode the left and the right mark may lie on any node
  // of the graph: here on the other of two best subalignments, which becomes
  // the shown one.
  rec.seen.clear();
  select_text("cost=a+b*k, a=1, b=1, subst.=1, match=-1");
  get_cost();
  read_sequences("CCCCGGGG", "GGGGCCCC");
  choose_operation("Concave: optimal subalignment");
  EXPECT_STREQ(al_seq1.c_str(), "----->-CCCCGGGG");
  EXPECT_EQ(mark(rec, "Choose left", {5, 1}), "");
  EXPECT_EQ(mark(rec, "Choose between", {6, 2}), "");
  EXPECT_EQ(mark(rec, "Choose right", {8, 4}), "");
  get_new_alignment();
  EXPECT_TRUE(rec.seen.empty()) << rec.last_line();
  EXPECT_STREQ(al_seq1.c_str(), "CCCCGGGG");  // starts at the border: no "->-"
  EXPECT_STREQ(al_seq2.c_str(), "----GGGG");
  // A right mark off the shown path must end an optimal subalignment.
  EXPECT_EQ(mark(rec, "Delete all", {0, 0}), "");
  EXPECT_EQ(mark(rec, "Choose between", {2, 6}), "");
  EXPECT_EQ(mark(rec, "Choose right", {3, 7}), "This node is out of range !");
  EXPECT_EQ(mark(rec, "Choose right", {4, 8}), "");
  get_new_alignment();
  EXPECT_STREQ(al_seq1.c_str(), "----->-CCCCGGGG");
  EXPECT_STREQ(al_seq2.c_str(), "GGGG->-CCCC----");
}

// Every combination of a between mark (any node), a left mark (none, any
// node of the shown path, a node off it) and a right mark (likewise), set
// with the mouse and the menu on small graphs of both engines: a refused
// mark shows its notice and changes no mark; a request through admissible
// marks gives a new optimal alignment through them exactly when one exists
// (an independent dynamic program decides), and otherwise its notice.
TEST_F(ShellTest, MarkCombinationsOnBothEngines) {
  NoticeRecorder rec;
  int found = 0, no_path = 0, refused = 0;
  const char* pairs[][2] = {{"ACCA", "ACA"}, {"AGTA", "ATGA"}, {"GATC", "GTAC"}};
  for (int code : {1, 6}) {
    for (const auto& pr : pairs) {
      const Costs costs(pr[0], pr[1]);
      read_sequences(pr[0], pr[1]);
      compute(code);
      ASSERT_EQ(double(wert), costs.optimum());
      const std::vector<Node> first = shown_path();
      std::vector<Node> ends{{-1, -1}};
      for (const Node& p : first) ends.push_back(p);
      for (int y = 0; y <= m; ++y)
        for (int x = 0; x <= n; ++x)
          if (!std::count(first.begin(), first.end(), Node(x, y))) {
            ends.push_back({x, y});  // one node off the path, as a mark to refuse
            y = m + 1;
            break;
          }
      for (int by = 0; by <= m; ++by)
        for (int bx = 0; bx <= n; ++bx)
          for (const Node& l : ends)
            for (const Node& r : ends) {
              SCOPED_TRACE(std::string(pr[0]) + "/" + pr[1] + " code " + std::to_string(code) +
                           " B " + std::to_string(bx) + "," + std::to_string(by) + " L " +
                           std::to_string(l.first) + "," + std::to_string(l.second) + " R " +
                           std::to_string(r.first) + "," + std::to_string(r.second));
              if (shown_path() != first) compute(code);
              mark_button->choose("Delete all");
              const Node b{bx, by};
              const bool on_path = std::count(first.begin(), first.end(), b) > 0;
              const bool b_ok = bx >= 1 && by >= 1 && !on_path && costs.optimal_through({b});
              const std::string said = mark(rec, "Choose between", b);
              ASSERT_EQ(said, b_ok ? "" : "This node is out of range !");
              if (!b_ok) {
                ++refused;
                ASSERT_EQ(markb_x, -1);
                goto next_between;
              }
              {
                bool ok = true;
                for (int k = 0; k < 2 && ok; ++k) {
                  const Node p = k == 0 ? l : r;
                  if (p.first < 0) continue;
                  const Node before[2] = {{markl_x, markl_y}, {markr_x, markr_y}};
                  const std::string s = mark(rec, k == 0 ? "Choose left" : "Choose right", p);
                  const bool node_ok = p.first >= 1 && p.second >= 1 &&
                                       std::count(first.begin(), first.end(), p) > 0;
                  const bool order_ok =
                      k == 0 ? p.first <= bx && p.second <= by
                             : p.first >= bx && p.second >= by &&
                                   (l.first < 0 || (p.first >= l.first && p.second >= l.second));
                  const std::string expect = !node_ok    ? "This node is out of range !"
                                             : !order_ok ? "This mark isn't possible !"
                                                         : "";
                  ASSERT_EQ(s, expect);
                  if (!expect.empty()) {
                    ++refused;
                    ok = false;
                    EXPECT_EQ(Node(markl_x, markl_y), before[0]);
                    EXPECT_EQ(Node(markr_x, markr_y), before[1]);
                    EXPECT_EQ(Node(markb_x, markb_y), b);
                  }
                }
                if (!ok) continue;
                const size_t notices = rec.seen.size();
                get_new_alignment();
                const Node L{markl_x, markl_y}, R{markr_x, markr_y};
                ASSERT_EQ(L, l.first < 0 ? Node(0, 0) : l);
                ASSERT_EQ(R, r.first < 0 ? Node(n, m) : r);
                if (costs.optimal_through({L, b, R})) {
                  ++found;
                  ASSERT_EQ(rec.seen.size(), notices);
                  const std::string a1 = al_seq1.c_str(), a2 = al_seq2.c_str();
                  EXPECT_EQ(text_cost(a1, a2), costs.optimum()) << a1 << " / " << a2;
                  const std::set<Node> passed = text_nodes(a1, a2);
                  for (const Node& p : {L, b, R}) EXPECT_TRUE(passed.count(p)) << a1 << " / " << a2;
                  EXPECT_TRUE(choose_frame->shown());
                  EXPECT_EQ(show_flag, 1);
                } else {
                  ++no_path;
                  ASSERT_EQ(rec.seen.size(), notices + 1);
                  EXPECT_EQ(rec.seen.back().lines, (Lines{"Your marks don't include a", "new optimal alignment !"}));
                  EXPECT_EQ(shown_path(), first);
                  EXPECT_EQ(show_flag, 1);  // the output keeps its boxes
                }
                EXPECT_NE(comp, 0);
              }
            next_between:;
            }
    }
  }
  EXPECT_GT(found, 20);
  EXPECT_GT(no_path, 5);
  EXPECT_GT(refused, 100);
}

// Presses the interrupt button (the recorder answers "Yes") from inside the
// search whose target is the node below: the first search runs towards the
// left mark, the second towards the between mark.
Node interrupt_target;
bool interrupted = false;
void interrupt_in_search(void*) {
  if (computing == 5 && Node(wo_x, wo_y) == interrupt_target && !interrupted) {
    interrupted = true;
    inter_rupt->press();
  }
}

TEST_F(ShellTest, InterruptInEitherSearch) {
  NoticeRecorder rec;
  rec.answer = 1;
  // A long graph with ties, so that both searches pass many nodes.
  std::string a, b;
  for (int i = 0; i < 60; ++i) a += "ACCA", b += "ACA";
  read_sequences(a, b);
  choose_operation("Global optimal alignment");
  const std::string old1 = al_seq1.c_str();
  const std::vector<Node> path = shown_path();
  const std::set<Node> on_path(path.begin(), path.end());
  Node off{-1, -1};
  for (int y = m / 2; y <= m && off.first < 0; ++y)
    for (int x = 1; x <= n; ++x)
      if (hilfs_gr(uint32_t(x), uint32_t(y)) == 1 && !on_path.count({x, y})) {
        off = {x, y};
        break;
      }
  ASSERT_NE(off.first, -1);
  for (int search = 1; search <= 2; ++search) {
    SCOPED_TRACE(search);
    if (search == 2) choose_operation("Global optimal alignment");  // the results again
    mark_button->choose("Delete all");
    ASSERT_EQ(mark(rec, "Choose between", off), "");
    rec.seen.clear();
    interrupt_target = search == 1 ? Node(0, 0) : off;
    interrupted = false;
    Fl::add_check(interrupt_in_search);  // runs at every dispatch
    get_new_alignment();
    Fl::remove_check(interrupt_in_search);
    ASSERT_TRUE(interrupted);
    ASSERT_EQ(rec.seen.size(), 1u);
    EXPECT_EQ(rec.seen[0].lines, (Lines{"Do you really want to", "interrupt this computation (loses data) ?"}));
    EXPECT_EQ(computing, 0);
    EXPECT_FALSE(inter_rupt->visible());
    EXPECT_STREQ(al_seq1.c_str(), old1.c_str());
    if (search == 1) {  // the results are lost
      EXPECT_EQ(comp, 0);
      EXPECT_STREQ(ms1.c_str(), "");
      EXPECT_FALSE(choose_frame->shown());
    } else {  // nothing was changed yet: the results stay
      EXPECT_NE(comp, 0);
      EXPECT_STREQ(ms1.c_str(), seq1.c_str());
      EXPECT_TRUE(choose_frame->shown());
      EXPECT_EQ(shown_path(), path);
      // and another request works on them
      get_new_alignment();
      EXPECT_EQ(rec.seen.size(), 1u);
      EXPECT_TRUE(text_nodes(al_seq1.c_str(), al_seq2.c_str()).count(off));
    }
  }
}

// Beyond 32767 pixels a side there is no picture: the position fields still
// choose nodes, the marks and a new alignment work, and nothing is drawn.
TEST_F(ShellTest, MarksWithoutAPicture) {
  NoticeRecorder rec;
  read_sequences(std::string(4100, 'A'), "AAAAA");  // one long gap, anywhere among the A's
  choose_operation("Global optimal alignment");
  ASSERT_FALSE(picture_valid(Picture::graph));
  const std::vector<Node> path = shown_path();
  const std::set<Node> on_path(path.begin(), path.end());
  Node off{-1, -1};
  for (int x = 1; x <= n && off.first < 0; ++x)
    if (hilfs_gr(uint32_t(x), 3u) == 1 && !on_path.count({x, 3})) off = {x, 3};
  ASSERT_NE(off.first, -1);
  // A press on the message chooses nothing.
  click_node(off.first, off.second);
  EXPECT_EQ(Node(mo_x, mo_y), Node(0, 0));
  enter(panel_m1->fl(), std::to_string(off.first));
  enter(panel_m2->fl(), std::to_string(off.second));
  EXPECT_EQ(Node(mo_x, mo_y), off);
  ASSERT_TRUE(mark_button->choose("Choose between"));
  get_new_alignment();
  EXPECT_TRUE(rec.seen.empty()) << rec.last_line();
  EXPECT_TRUE(text_nodes(al_seq1.c_str(), al_seq2.c_str()).count(off));
  EXPECT_EQ(text_cost(al_seq1.c_str(), al_seq2.c_str()), double(wert));
  EXPECT_FALSE(picture_valid(Picture::graph));
  EXPECT_EQ(picture_width(Picture::graph), 0);
  settle();
  EXPECT_FALSE(choose_canv->message().empty());
  screenshot(choose_frame, "graph_window_marks_without_picture");
}

}  // namespace
}  // namespace shell_test
