// Marks, the search through them, the splice and the rebuild (code 5).
#include "general_fixture.h"

namespace {

using Node = std::pair<int, int>;

void mouse(int x, int y) {
  mo_x = x;
  mo_y = y;
}

// Tight-edge reachability in the oracle's graph.
bool reaches(const Oracle& o, Node from, Node to) {
  Oracle& q = const_cast<Oracle&>(o);
  if (from == to) return true;
  bool found = false;
  float base = q.at(from.first, from.second);
  o.successors(from.first, from.second, [&](int x, int y, float c) {
    if (!found && x <= to.first && y <= to.second && base + c == q.at(x, y)) found = reaches(o, {x, y}, to);
  });
  return found;
}

std::set<Node> as_set(const std::vector<Node>& v) { return std::set<Node>(v.begin(), v.end()); }

// Everything a successful request must leave: a connected optimal path
// through the marks that keeps the old path outside them, and a text that
// follows that path.
void expect_new_path(const Oracle& o, const std::vector<Node>& old_path, Node l, Node b, Node r) {
  auto now = path_nodes();
  auto set = as_set(now);
  ASSERT_EQ(set.size(), now.size()) << "duplicate nodes";
  ASSERT_EQ(rescore_path(o, now), wert);
  EXPECT_TRUE(set.count(b));
  EXPECT_TRUE(set.count(r));
  if (l != Node{0, 0}) {
    EXPECT_TRUE(set.count(l));
  }
  for (const Node& p : old_path) {
    bool kept = (p.first <= l.first && p.second <= l.second) || (p.first >= r.first && p.second >= r.second);
    EXPECT_TRUE(!kept || set.count(p)) << "old node lost " << p.first << "," << p.second;
  }
  ASSERT_EQ(strip(al_seq1), o.s1);
  ASSERT_EQ(strip(al_seq2), o.s2);
  auto pos = text_positions(al_seq1.c_str(), al_seq2.c_str());
  for (const Node& p : now) EXPECT_TRUE(pos.count(p)) << "text misses " << p.first << "," << p.second;
}

}  // namespace

MarkResult at(MarkResult (*choose)(), int x, int y) {
  mouse(x, y);
  return choose();
}

TEST_F(GeneralTest, MarkRulesAndRefusals) {
  sub = 3.0;
  compute_keep("AB", "AC");  // ties into (2, 2): diagonal, from (1, 2) and from (2, 1)
  comp = comp_o = 1;
  ASSERT_EQ(path_nodes(), (std::vector<Node>{{2, 2}, {1, 1}}));
  EXPECT_EQ(at(choose_between, 1, 1), MarkResult::out_of_range);  // circled node
  EXPECT_EQ(notices.last_line(), "This node is out of range !");
  EXPECT_EQ(at(choose_between, 1, 2), MarkResult::ok);
  EXPECT_EQ(at(choose_left, 2, 2), MarkResult::not_possible);  // right of the between mark
  EXPECT_EQ(notices.last_line(), "This mark isn't possible !");
  EXPECT_EQ(at(choose_right, 1, 1), MarkResult::not_possible);  // above the between mark
  EXPECT_EQ(at(choose_left, 0, 0), MarkResult::out_of_range);   // the origin is not listed
  EXPECT_TRUE(markl_x == -1 && markr_x == -1 && markb_x == 1 && markb_y == 2);
  computing = 2;
  EXPECT_EQ(at(choose_left, 1, 1), MarkResult::computing);
  EXPECT_EQ(notices.last_line(), "Not possible while computing !");
  EXPECT_FALSE(request_new_alignment());
  computing = 0;
  EXPECT_EQ(at(choose_left, 1, 1), MarkResult::ok);
  delete_between();
  EXPECT_TRUE(markb_x == -1 && markb_y == -1 && markl_x == 1);
  EXPECT_FALSE(request_new_alignment());
  EXPECT_EQ(notices.last_line(), "There are not enough marks !");
  delete_all();
  delete_all();  // nothing set: nothing happens
  EXPECT_TRUE(markl_x == -1 && markr_x == -1);
}

// The rebuild must pass the between mark even where the diagonal would skip
// it: (1, 2) lies between (1, 1) and (2, 2), both on the new path.
TEST_F(GeneralTest, RebuildFollowsThePathThroughTheBetweenMark) {
  sub = 3.0;
  set_seqs("AB", "AC");
  computing = 1;
  ASSERT_EQ(run_general_alignment(), OpResult::computed);
  ASSERT_EQ(at(choose_between, 1, 2), MarkResult::ok);
  ASSERT_TRUE(request_new_alignment());  // left at the origin, right at the end
  EXPECT_TRUE(markl_x == 0 && markl_y == 0 && markr_x == 2 && markr_y == 2 && computing == 5);
  EXPECT_EQ(run_new_alignment(), NewAlignmentResult::done);
  EXPECT_STREQ(al_seq1.c_str(), "A-B");
  EXPECT_STREQ(al_seq2.c_str(), "AC-");
  EXPECT_TRUE(gl_ins == 1 && gl_del == 1 && gl_sub == 1);
  EXPECT_EQ(as_set(path_nodes()), (std::set<Node>{{1, 1}, {1, 2}, {2, 2}}));
  EXPECT_TRUE(computing == 0 && show_flag == 1 && hilfs_neu.length() == 1);
}

TEST_F(GeneralTest, SearchAcceptsTheBorderOnlyForTheOrigin) {
  compute_keep("AB", "B");  // (2, 1) has only the diagonal edge from the border node (1, 0)
  hilfs_rek.change_dim(2, 1);
  hilfs_rek = 0;
  hilfs_neu.change_length(12);
  wo_x = wo_y = 1;  // an inner target: the border node must not count as reaching it
  computing = 5;
  comp_new_align(2, 1);
  EXPECT_TRUE(found_flag == 0 && gl_zae == -1);
  wo_x = wo_y = 0;
  comp_new_align(2, 1);
  EXPECT_EQ(found_flag, 1);
  ASSERT_EQ(gl_zae, 3);
  EXPECT_EQ(std::vector<int>({hilfs_neu[0], hilfs_neu[1], hilfs_neu[2], hilfs_neu[3]}),
            std::vector<int>({1, 0, 2, 1}));

  // A path set without the edges the rebuild needs: the notice, no loop.
  hilfs_rek = 0;
  hilfs_rek.set(2, 1, 1);
  hilfs_al.set(0, 2);
  hilfs_al.set(1, 1);
  hilfs_al.set(2, -1);
  make_new_alignment();
  EXPECT_TRUE(new_alignment_failed == 1 && computing == 0);
  EXPECT_EQ(notices.seen.back().lines, (std::vector<std::string>{"Fatal error:", "Alignment couldn't be constructed !?"}));
  EXPECT_EQ(notices.seen.back().buttons[0].label, " Wrong marks ");
}

// Every admissible combination of marks on all pairs of short words: the
// request succeeds exactly when an optimal path runs through the marks, and
// a success leaves a connected optimal path that the text follows; a second
// request on the new path behaves the same.
TEST_F(GeneralTest, NewAlignmentsThroughAllMarkCombinations) {
  const auto words = all_words("AC", 4, 2);
  int successes = 0, refusals = 0;
  for (int setting = 0; setting < 2; ++setting) {
    for (size_t ia = 0; ia < words.size(); ia += 1 + setting) {
      for (size_t ib = 0; ib < words.size(); ib += 1 + setting) {
        cost_reset();
        if (setting == 0) sub = 3.0;
        else { aa = 0.0; bb = 1.0; }
        const std::string &a = words[ia], &b = words[ib];
        set_seqs(a, b);
        Oracle o(a, b, 0);
        computing = 1;
        ASSERT_EQ(run_general_alignment(), OpResult::computed);
        const auto first = path_nodes();
        std::vector<Node> lefts{{-1, -1}}, rights{{-1, -1}}, betweens;
        for (auto& p : first)
          if (p.first > 0 && p.second > 0) { lefts.push_back(p); rights.push_back(p); }
        for (int y = 1; y <= o.M; ++y)
          for (int x = 1; x <= o.N; ++x)
            if (hilfs_gr(uint32_t(x), uint32_t(y)) == 1 && !as_set(first).count({x, y})) betweens.push_back({x, y});
        for (const Node& bm : betweens)
          for (const Node& lm : lefts)
            for (const Node& rm : rights) {
              SCOPED_TRACE(a + "/" + b);
              ms1 = String();
              computing = 1;
              ASSERT_EQ(run_general_alignment(), OpResult::computed);
              mouse(bm.first, bm.second);
              ASSERT_EQ(choose_between(), MarkResult::ok);
              if (lm.first >= 0) {
                mouse(lm.first, lm.second);
                if (choose_left() != MarkResult::ok) continue;
              }
              if (rm.first >= 0) {
                mouse(rm.first, rm.second);
                if (choose_right() != MarkResult::ok) continue;
              }
              ASSERT_TRUE(request_new_alignment());
              Node l{markl_x, markl_y}, r{markr_x, markr_y};
              bool expect = reaches(o, l, bm) && reaches(o, bm, r);
              NewAlignmentResult res = run_new_alignment();
              ASSERT_EQ(res, expect ? NewAlignmentResult::done : NewAlignmentResult::no_path)
                  << "L " << l.first << "," << l.second << " B " << bm.first << "," << bm.second << " R "
                  << r.first << "," << r.second;
              if (!expect) {
                ++refusals;
                EXPECT_EQ(path_nodes(), first);
                EXPECT_EQ(notices.last_line(), "Your marks don't include a");
                continue;
              }
              ++successes;
              expect_new_path(o, first, l, bm, r);
              // a second request on the new path, with only a between mark
              auto second = path_nodes();
              delete_all();
              for (int y = 1; y <= o.M; ++y)
                for (int x = 1; x <= o.N; ++x) {
                  if (hilfs_gr(uint32_t(x), uint32_t(y)) != 1 || as_set(second).count({x, y})) continue;
                  mouse(x, y);
                  ASSERT_EQ(choose_between(), MarkResult::ok);
                  ASSERT_TRUE(request_new_alignment());
                  ASSERT_EQ(run_new_alignment(), NewAlignmentResult::done);
                  expect_new_path(o, second, {0, 0}, {x, y}, {o.N, o.M});
                  y = o.M + 1;
                  break;
                }
              delete_all();
            }
      }
    }
  }
  EXPECT_GT(successes, 100);
  EXPECT_GT(refusals, 10);
}
