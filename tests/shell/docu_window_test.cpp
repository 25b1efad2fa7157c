// "Documentation/Dokumentation": the two manuals compiled into the program,
// their size and form, that they name what the program shows (its menus,
// buttons, fields and notices), and the window that shows them, read-only
// and from their start.
#include "tests/shell/shell_fixture.h"

#include "tests/shell/frame_items.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Text_Display.H>

#include "shell/docu_texts.h"
#include "state/state.h"
#include "views/dot_view.h"
#include "views/graph_view.h"

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

// UTF-8 characters of a text; -1 when it is no valid UTF-8.
long utf8_chars(const std::string& t) {
  long k = 0;
  for (size_t i = 0; i < t.size(); ++k) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    const size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > t.size()) return -1;
    for (size_t j = 1; j < len; ++j)
      if ((static_cast<unsigned char>(t[i + j]) & 0xc0) != 0x80) return -1;
    i += len;
  }
  return k;
}

// Runs of blanks and line breaks as one blank, without blanks at the ends:
// a name may be broken across lines in a manual.
std::string words(const std::string& t) {
  std::string out;
  for (char c : t) {
    const bool blank = c == ' ' || c == '\n';
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// A label as a manual quotes it: its words, without a closing ':' or '='.
std::string quoted(std::string label) {
  label = words(label);
  while (!label.empty() && (label.back() == ':' || label.back() == '=' || label.back() == ' '))
    label.pop_back();
  return label;
}

const std::pair<const char*, const char*> kManuals[] = {{"Deutsch", deutsch},
                                                        {"English", englisch}};

TEST(Manuals, SizeAndForm) {
  long chars[2];
  int i = 0;
  for (const auto& [name, text] : kManuals) {
    const std::string t = text;
    EXPECT_LE(t.size(), static_cast<size_t>(DOCU_LIMIT)) << name;  // fits the window
    chars[i] = utf8_chars(t);
    EXPECT_GE(chars[i], 15500) << name;
    EXPECT_LE(chars[i], 19500) << name;
    std::stringstream lines(t);
    std::string line;
    for (int k = 1; std::getline(lines, line); ++k) {
      EXPECT_LE(utf8_chars(line), 70) << name << " line " << k;
      EXPECT_EQ(line.find_first_of("\t\r"), std::string::npos) << name << " line " << k;
      EXPECT_TRUE(line.empty() || line.back() != ' ') << name << " line " << k;
    }
    ++i;
  }
  // Two versions of one manual.
  EXPECT_LT(std::abs(chars[0] - chars[1]) * 10, chars[1]);
}

// Every message the program may show stands in both manuals, with what to do.
TEST(Manuals, NameEveryNotice) {
  const char* notices[] = {
      "Not possible while computing !", "There are not enough inputs !?",
      "Sequence contains illegal chars !", "Sequence contains char '-' or '>' !",
      "Sequence too long for this operation !", "The problem does not fit in memory:",
      "Mathematical error during computation !", "Your subst.-table was incomplete !",
      "Your costfunction seems not to be'const. (>0) + concave' !", "There's a syntax error !",
      "There is one mistake !", "mistakes !", "There was nothing (correct) to get ?!",
      "Error in subst.-table: headline !", "Error in subst.-table: data line(s) !",
      "Error in subst.-table: too long !", "No correct input !", "This mark isn't possible !",
      "This node is out of range !", "There are not enough marks !",
      "Your marks don't include a new optimal alignment !", "Fatal error:",
      "Alignment couldn't be constructed !?", "Do you really want to quit ?",
      "interrupt this computation (loses data) ?", "The text window holds at most",
      "The file could not be read:", "The file could not be written:",
      "The text has changes that are not saved.",
      "The graph of all optimal alignments is too large to be drawn"};
  for (const auto& [name, text] : kManuals) {
    const std::string t = words(text);
    for (const char* n : notices) EXPECT_NE(t.find(words(n)), std::string::npos) << name << ": " << n;
  }
}

// A whole number in a text: not the part of a longer one.
bool names_number(const std::string& t, long v) {
  const std::string n = std::to_string(v);
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (size_t p = t.find(n); p != std::string::npos; p = t.find(n, p + 1))
    if ((p == 0 || !digit(t[p - 1])) && (p + n.size() == t.size() || !digit(t[p + n.size()])))
      return true;
  return false;
}

// The largest length for which `fits` holds, counting up from 1.
template <class Fits>
int largest(Fits fits) {
  int k = 1;
  while (fits(k + 1)) ++k;
  return k;
}

// The limits a user meets, as the program has them, stand in both manuals:
// the text window, the sequence lengths of the engines, the largest graph
// each size can draw, the automatic dot matrix style, and the lengths from
// which a dot matrix is drawn part by part.
TEST(Manuals, NameTheLimitsOfTheProgram) {
  const int graph_big = largest([](int k) { return graph_picture_fits(k, 1, 3); });
  const int graph_small = largest([](int k) { return graph_picture_fits(k, 1, 2); });
  const int automatic_big = largest([](int k) { return !dot_small_style(2, k - k / 2, k / 2); });
  auto dot_fits = [](bool small, int len1, int len2) {
    DotPlot p;
    p.small = small;
    p.s1.assign(static_cast<size_t>(len1), 'A');
    p.s2.assign(static_cast<size_t>(len2), 'A');
    return dot_picture_width(p) <= 32767 && dot_picture_height(p) <= 32767;
  };
  const int dot_big1 = largest([&](int k) { return dot_fits(false, k, 1); });
  const int dot_big2 = largest([&](int k) { return dot_fits(false, 1, k); });
  const int dot_small = largest([&](int k) { return dot_fits(true, k, k); });
  const long limits[] = {TEXT_LIMIT, GENERAL_MAX_LEN, CONCAVE_MAX_LEN, graph_big, graph_small,
                         automatic_big, dot_big1, dot_big2, dot_small};
  for (const auto& [name, text] : kManuals)
    for (long v : limits) EXPECT_TRUE(names_number(text, v)) << name << ": " << v;
}

// Every menu item, button, field and choice of every window stands in both
// manuals by its label.
TEST_F(ShellTest, ManualsNameEveryLabel) {
  std::vector<std::string> labels;
  for (int f = 0; f < shell_window_count; ++f) {
    Fl_Window* w = (*shell_windows[f].frame)->fl();
    if (w->label() && *w->label()) labels.push_back(w->label());
    for (int i = 0; i < w->children(); ++i) {
      Fl_Widget* c = w->child(i);
      if (auto* mb = dynamic_cast<Fl_Menu_Button*>(c)) {
        for (int k = 0; k < mb->size(); ++k)
          if (mb->menu()[k].label()) labels.push_back(mb->menu()[k].label());
      } else if (auto* ch = dynamic_cast<Fl_Choice*>(c)) {
        for (int k = 0; k < ch->size(); ++k)
          if (ch->menu()[k].label()) labels.push_back(ch->menu()[k].label());
      }
      if (c->label() && *c->label()) labels.push_back(c->label());
    }
  }
  ASSERT_GT(labels.size(), 50u);
  for (const auto& [name, text] : kManuals) {
    const std::string t = words(text);
    for (const std::string& l : labels) {
      std::string q = quoted(l);
      for (size_t p = q.find("&&"); p != std::string::npos; p = q.find("&&", p + 1)) q.erase(p, 1);
      if (q.size() > 1) {
        EXPECT_NE(t.find(q), std::string::npos) << name << ": \"" << q << "\"";
      }
    }
  }
}

TEST_F(ShellTest, DocumentationWindow) {
  EXPECT_EQ(infos_button->item_labels(), (Lines{"Info", "Documentation", "Deutsch", "English"}));
  EXPECT_STREQ(docu_frame->title(), "Documentation/Dokumentation");
  EXPECT_EQ(docu_frame->kind(), Frame::command);
  EXPECT_EQ(docu_frame->width() * 1000 + docu_frame->height(), 584400);
  EXPECT_EQ(docu->max_chars(), 20000);
  EXPECT_TRUE(docu->read_only());
  const Fl_Widget* area = reinterpret_cast<Fl_Widget*>(docu->editor());
  EXPECT_EQ(area->x() * 1000 + area->y(), 25);
  ASSERT_NE(frame_button(docu_frame, "Exit"), nullptr);

  NoticeRecorder rec;
  for (const auto& [name, text] : kManuals) {
    ASSERT_TRUE(infos_button->choose(name));
    EXPECT_TRUE(docu_frame->shown());
    EXPECT_EQ(docu->text(), text) << name;
    auto* display = reinterpret_cast<Fl_Text_Display*>(docu->editor());
    wait_until([] { return viewable(docu_frame->xid()); }, 5);
    settle();
    display->scroll(200, 0);
    docu->set_insertion_point(5000);
    settle();
    int x, y;
    EXPECT_EQ(display->position_to_xy(0, &x, &y), 0);  // scrolled away from the start
    ASSERT_TRUE(infos_button->choose(name));  // again: the text once, from its start
    EXPECT_EQ(docu->text(), text) << name;
    EXPECT_EQ(docu->insertion_point(), 0);
    settle();
    EXPECT_NE(display->position_to_xy(0, &x, &y), 0) << name;
    screenshot(docu_frame, std::string("documentation_") + name);
  }
  XSizeHints hints;
  long supplied;
  ASSERT_TRUE(XGetWMNormalHints(fl_display, docu_frame->xid(), &hints, &supplied));
  EXPECT_EQ(hints.min_width * 1000 + hints.min_height, 580150);
  press(docu_frame, "Exit");
  EXPECT_FALSE(docu_frame->shown());
  EXPECT_TRUE(rec.seen.empty());  // both fit the window's limit
}

}  // namespace
}  // namespace shell_test
