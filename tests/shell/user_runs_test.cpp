// User-like runs of the program `vardane` on a virtual X server of their
// own, driven with xdotool as a user drives it: select with the mouse, press
// the buttons, choose from the menus, save with the keyboard, close with the
// window manager; once on the bare server and once under openbox. Each
// window is kept as a PNG in build/test-artifacts for people to look at.
#include "tests/shell/session.h"

#include <random>

#include "cost/cost.h"

namespace shell_test {
namespace {

class UserRun : public UserRunTest {
 protected:
  // Select, Get, Operation, insert both blocks, save with Ctrl+S, quit with
  // the window manager's close; compared with the batch tool.
  void compute_and_save(bool with_wm) {
    if (with_wm && !have("openbox")) GTEST_SKIP() << "openbox is missing";
    Session s(with_wm);
    ASSERT_TRUE(s.ok()) << "no X server, or openbox did not take a probe window into a frame";
    const std::string tag = with_wm ? "openbox" : "bare";
    const std::string s1 = "ACGTTGCATGCAACGTAGCTAGCTAGGCTAACG", s2 = "ACGTGCATGCTACGTAGCAGCTAGGCTACG";
    const std::string original = s1 + "\n" + s2 + "\n\nSaved by the user-like run.\n";
    const std::string file = temp_path("run-" + tag + ".txt");
    write_file(file, original);
    s.start_app(file, artifacts_dir() + "/user_run_" + tag + "_stderr.txt");
    const Window main = s.find("Vardane: sequence alignment, version 1.0");
    if (!main) s.diagnose("user_run_" + tag);
    ASSERT_NE(main, 0u);
    std::this_thread::sleep_for(300ms);
    s.screenshot(main, "user_run_" + tag + "_start");

    s.drag(main, 130, 600, text_line_y(0));
    s.screenshot(main, "user_run_" + tag + "_selected");
    ASSERT_EQ(trimmed(s.primary()), s1);
    s.click(main, 60, 110 + 11);  // "Get sequence 1"
    s.drag(main, 130, 600, text_line_y(1));
    ASSERT_EQ(trimmed(s.primary()), s2);
    s.click(main, 60, 135 + 11);  // "Get sequence 2"
    s.click(main, operation_button->x() + operation_button->w() / 2, 12);
    s.click(main, operation_button->x() + 40, 23 + 10);  // "Global optimal alignment"
    const Window out = s.find("Alignment output");
    ASSERT_NE(out, 0u) << "the output window did not appear";
    const Window graph = s.find("All optimal alignments & current alignment");
    const Window info = s.find("Alignment information");
    ASSERT_NE(graph, 0u);
    ASSERT_NE(info, 0u);
    std::this_thread::sleep_for(300ms);
    s.screenshot(main, "user_run_" + tag + "_main");
    s.screenshot(out, "user_run_" + tag + "_output");
    s.screenshot(graph, "user_run_" + tag + "_graph");
    s.screenshot(info, "user_run_" + tag + "_information");

    // Insertion point at the end of the text, then both blocks.
    s.click(main, 400, 440);
    s.xdo("key ctrl+End");
    s.click(out, 80, 12);   // "Insert alignment into text"
    s.click(info, 80, 12);  // "Insert infos into text"
    s.click(main, 400, 440);
    s.xdo("key ctrl+s");
    const std::string tool = std::getenv("VARDANE_ALIGN") ? std::getenv("VARDANE_ALIGN") : "";
    const std::string f1 = temp_path("s1.txt"), f2 = temp_path("s2.txt");
    write_file(f1, s1);
    write_file(f2, s2);
    const std::string expect = original + s.run(tool + " " + f1 + " " + f2);
    std::string saved;
    for (int i = 0; i < 100 && saved != expect; ++i) {
      std::this_thread::sleep_for(50ms);
      saved = read_file(file);
    }
    EXPECT_EQ(saved, expect);

    // The window manager's close asks the quit question; " Yes " ends it.
    s.wm_close(main);
    const Window question = s.other_window({main, out, graph, info});
    ASSERT_NE(question, 0u) << "no quit question";
    s.screenshot(question, "user_run_" + tag + "_quit_question");
    const int w = s.size(question).first;
    s.click(question, (w - 132) / 2 + 30, 20 + 24 + 12 + 15);  // " Yes "
    EXPECT_EQ(s.wait_app(10), 0);
    for (const std::string& f : {file, f1, f2}) std::remove(f.c_str());
  }

  // A long computation stopped with the interrupt button.
  void interrupt(bool with_wm) {
    if (with_wm && !have("openbox")) GTEST_SKIP() << "openbox is missing";
    Session s(with_wm);
    ASSERT_TRUE(s.ok()) << "no X server, or openbox did not take a probe window into a frame";
    const std::string tag = with_wm ? "openbox" : "bare";
    std::mt19937 g(3);
    std::string a, b;
    for (int i = 0; i < 3000; ++i) a += "ACGT"[g() % 4], b += "ACGT"[g() % 4];
    const std::string file = temp_path("long-" + tag + ".txt");
    write_file(file, a + "\n" + b + "\n");
    s.start_app(file, artifacts_dir() + "/user_run_" + tag + "_long_stderr.txt");
    const Window main = s.find("Vardane: sequence alignment, version 1.0");
    if (!main) s.diagnose("user_run_" + tag + "_long");
    ASSERT_NE(main, 0u);
    std::this_thread::sleep_for(300ms);
    // A whole line with a triple click.
    auto [ox, oy] = s.origin(main);
    s.xdo("mousemove " + std::to_string(ox + 200) + " " + std::to_string(oy + text_line_y(0)) +
          " click --repeat 3 --delay 60 1 sleep 0.3");
    ASSERT_EQ(s.primary().substr(0, 3000), a);
    s.click(main, 60, 110 + 11);
    s.xdo("mousemove " + std::to_string(ox + 200) + " " + std::to_string(oy + text_line_y(1)) +
          " click --repeat 3 --delay 60 1 sleep 0.3");
    ASSERT_EQ(s.primary().substr(0, 3000), b);
    s.click(main, 60, 135 + 11);
    s.click(main, operation_button->x() + operation_button->w() / 2, 12);
    s.click(main, operation_button->x() + 40, 23 + 10);
    std::this_thread::sleep_for(400ms);
    s.screenshot(main, "user_run_" + tag + "_computing");
    s.click(main, inter_rupt->x() + inter_rupt->w() / 2, 12);
    const Window question = s.other_window({main});
    ASSERT_NE(question, 0u) << "no interrupt question";
    s.screenshot(question, "user_run_" + tag + "_interrupt_question");
    const int w = s.size(question).first;
    s.click(question, (w - 132) / 2 + 30, 20 + 2 * 24 + 12 + 15);  // "Yes"
    // The program is idle again at once, and shows no results.
    std::this_thread::sleep_for(300ms);
    const double before = s.cpu_seconds();
    std::this_thread::sleep_for(1s);
    EXPECT_LT(s.cpu_seconds() - before, 0.3) << "still computing after the interrupt";
    EXPECT_FALSE(s.visible("Alignment output"));
    s.screenshot(main, "user_run_" + tag + "_interrupted");
    s.wm_close(main);
    const Window quit = s.other_window({main});
    ASSERT_NE(quit, 0u);
    s.click(quit, (s.size(quit).first - 132) / 2 + 30, 20 + 24 + 12 + 15);
    EXPECT_EQ(s.wait_app(10), 0);
    std::remove(file.c_str());
  }
};

TEST_F(UserRun, ComputeAndSaveBareServer) { compute_and_save(false); }
TEST_F(UserRun, ComputeAndSaveUnderOpenbox) { compute_and_save(true); }
TEST_F(UserRun, InterruptBareServer) { interrupt(false); }
TEST_F(UserRun, InterruptUnderOpenbox) { interrupt(true); }

// Runs of the cost windows and the documentation: a session, and `vardane`
// started in it on a text file.
class WindowRun : public UserRun {
 protected:
  void TearDown() override {
    session.reset();
    if (!file.empty()) std::remove(file.c_str());
    UserRun::TearDown();
  }

 public:
  // False (with the reason reported) when the program's main window did not show.
  bool start(bool with_wm, const std::string& name, const std::string& text) {
    tag = name + (with_wm ? "_openbox" : "_bare");
    session = std::make_unique<Session>(with_wm);
    if (!session->ok())
      return ADD_FAILURE() << "no X server, or openbox did not take a probe window into a frame", false;
    file = temp_path(tag + ".txt");
    write_file(file, text);
    session->start_app(file, artifacts_dir() + "/user_run_" + tag + "_stderr.txt");
    main = session->find("Vardane: sequence alignment, version 1.0");
    if (!main) session->diagnose("user_run_" + tag);
    std::this_thread::sleep_for(300ms);
    return main != 0 || (ADD_FAILURE() << "no main window", false);
  }
  // Opens a menu of the main window with a click and chooses its item with
  // the keyboard: `keys` as xdotool names them ("Down Down Return").
  void menu_keys(const MenuButton* b, const std::string& keys) {
    session->click(main, b->x() + b->w() / 2, 12);
    session->xdo("key --delay 120 " + keys + " sleep 0.3");
  }
  // Types into a field of a window: a click into it, the text, Return.
  void type_field(Window w, const TextField* f, const std::string& text) {
    session->click(w, f->fl()->x() + 10, f->fl()->y() + 11);
    session->xdo("key End shift+Home BackSpace sleep 0.1");
    session->xdo("type --delay 40 '" + text + "'");
    session->xdo("key Return sleep 0.2");
  }
  std::unique_ptr<Session> session;
  Window main = 0;
  std::string file, tag;
};

// An own formula typed into "Own insert/delete costfunction", then a
// predefined function and a parameter chosen in "Insert/Delete
// costfunction"; each time "Global optimal alignment", both blocks
// inserted, and the saved text compared with the batch tool's output for
// the same cost.
void cost_windows_run(WindowRun& r, bool with_wm) {
  const std::string s1 = "GATTACAGATTACACCGT", s2 = "GCATGCACCGTTA";
  const std::string original = s1 + "\n" + s2 + "\n";
  if (!r.start(with_wm, "costs", original)) return;
  Session& s = *r.session;
  const Window main = r.main;
  s.drag(main, 130, 600, text_line_y(0));
  ASSERT_EQ(trimmed(s.primary()), s1);
  s.click(main, 60, 110 + 11);  // "Get sequence 1"
  s.drag(main, 130, 600, text_line_y(1));
  ASSERT_EQ(trimmed(s.primary()), s2);
  s.click(main, 60, 135 + 11);  // "Get sequence 2"

  auto compute_and_insert = [&](const std::string& what) {
    r.menu_keys(operation_button, "Down Return");  // "Global optimal alignment"
    const Window out = s.find("Alignment output");
    const Window info = s.find("Alignment information");
    ASSERT_NE(out, 0u) << what;
    ASSERT_NE(info, 0u) << what;
    std::this_thread::sleep_for(300ms);
    s.click(main, 400, 440);
    s.xdo("key ctrl+End");
    s.click(out, 80, 12);   // "Insert alignment into text"
    s.click(info, 80, 12);  // "Insert infos into text"
  };

  // " Costfunctions " → "Insert own costfunctions"; the formula, Return, "Ok".
  r.menu_keys(cost_button, "Down Down Down Return");
  const Window own = s.find("Own insert/delete costfunction");
  ASSERT_NE(own, 0u) << "the own-function window did not appear";
  std::this_thread::sleep_for(300ms);
  r.type_field(own, panel_o, "1+2*k");
  s.click(own, 110 + 12, 135 + 11);  // "Ok"
  std::this_thread::sleep_for(300ms);
  s.screenshot(own, "user_run_" + r.tag + "_own_window");
  s.screenshot(main, "user_run_" + r.tag + "_own_main");
  compute_and_insert("own formula");

  // " Costfunctions " → "Edit predefined costfunctions" → "a+b*log(k)"
  // (the pull-right opens on "Active function"); a = 3, Return, "Ok".
  r.menu_keys(cost_button, "Down Down Down Down Right Down Return");
  const Window pre = s.find("Insert/Delete costfunction");
  ASSERT_NE(pre, 0u) << "the predefined-function window did not appear";
  std::this_thread::sleep_for(300ms);
  r.type_field(pre, panel_a, "3");
  s.screenshot(pre, "user_run_" + r.tag + "_predefined_window");
  s.click(pre, 110 + 12, 215 + 11);  // "Ok"
  std::this_thread::sleep_for(300ms);
  compute_and_insert("predefined function");

  s.click(main, 400, 440);
  s.xdo("key ctrl+s");
  const std::string tool = std::getenv("VARDANE_ALIGN") ? std::getenv("VARDANE_ALIGN") : "";
  const std::string f1 = temp_path("c1.txt"), f2 = temp_path("c2.txt");
  write_file(f1, s1);
  write_file(f2, s2);
  const std::string expect = original + s.run(tool + " -c 'cost=1+2*k' " + f1 + " " + f2) +
                             s.run(tool + " -c 'cost=a+b*log(k), a=3, b=1' " + f1 + " " + f2);
  std::string saved;
  for (int i = 0; i < 100 && saved != expect; ++i) {
    std::this_thread::sleep_for(50ms);
    saved = read_file(r.file);
  }
  EXPECT_EQ(saved, expect);
  s.screenshot(main, "user_run_" + r.tag + "_end");
  for (const std::string& f : {f1, f2}) std::remove(f.c_str());
}

// Infos → Documentation → Deutsch, then English: the window shows the
// manual from its start, pages, keeps its text against typing, and "Save
// as ..." of the right mouse button writes all of it.
void documentation_run(WindowRun& r, bool with_wm) {
  if (!r.start(with_wm, "docu", "")) return;
  Session& s = *r.session;
  const std::pair<const char*, const char*> manuals[] = {{"Deutsch", "deutsch.txt"},
                                                         {"English", "english.txt"}};
  for (const auto& [language, source] : manuals) {
    // The pull-right opens on "Deutsch".
    r.menu_keys(infos_button, std::string("Down Down Right") +
                                  (std::string(language) == "English" ? " Down" : "") + " Return");
    const Window docu_w = s.find("Documentation/Dokumentation");
    ASSERT_NE(docu_w, 0u) << language;
    std::this_thread::sleep_for(400ms);
    const std::string shot = "user_run_" + r.tag + "_" + language;
    s.screenshot(docu_w, shot);
    s.click(docu_w, 300, 200);
    s.xdo("type --delay 20 'xyz'");
    s.xdo("key Return BackSpace Delete ctrl+a ctrl+x ctrl+v ctrl+z sleep 0.2");
    s.xdo("key Next Next Next sleep 0.3");
    s.screenshot(docu_w, shot + "_page4");

    // A name of its own in the chooser's folder (the program's working
    // folder): a typed path would meet the chooser's completion.
    const std::string name = "vardane-test-" + std::to_string(getpid()) + "-" + r.tag + "-" +
                             language + ".txt";
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::string saved = std::string(cwd) + "/" + name;
    auto [ox, oy] = s.origin(docu_w);
    s.xdo("mousemove " + std::to_string(ox + 300) + " " + std::to_string(oy + 200) +
          " click 3 sleep 0.3 key Down Return");
    const Window asker = s.find("Save as", 10);
    ASSERT_NE(asker, 0u) << "no file chooser";
    std::this_thread::sleep_for(500ms);
    s.click(asker, s.size(asker).first - 120, s.size(asker).second - 58);  // "Filename:"
    s.xdo("key End shift+Home BackSpace sleep 0.1");
    s.xdo("type --delay 10 '" + name + "'");
    s.screenshot(asker, shot + "_save_as");
    s.click(asker, s.size(asker).first - 122, s.size(asker).second - 24);  // "OK"
    const std::string want = read_file(std::string(VARDANE_SOURCE_DIR) + "/shell/docs/" + source);
    std::string got;
    for (int i = 0; i < 100 && got != want; ++i) {
      std::this_thread::sleep_for(50ms);
      got = read_file(saved);
    }
    EXPECT_EQ(got, want) << language;  // typing changed nothing
    std::remove(saved.c_str());
  }
  s.wm_close(r.main);
  const Window quit = s.other_window({r.main, s.find("Documentation/Dokumentation", 1)});
  ASSERT_NE(quit, 0u);
  s.click(quit, (s.size(quit).first - 132) / 2 + 30, 20 + 24 + 12 + 15);
  EXPECT_EQ(s.wait_app(10), 0);
}

TEST_F(WindowRun, CostWindowsBareServer) { cost_windows_run(*this, false); }
TEST_F(WindowRun, CostWindowsUnderOpenbox) {
  if (!have("openbox")) GTEST_SKIP() << "openbox is missing";
  cost_windows_run(*this, true);
}
TEST_F(WindowRun, DocumentationBareServer) { documentation_run(*this, false); }
TEST_F(WindowRun, DocumentationUnderOpenbox) {
  if (!have("openbox")) GTEST_SKIP() << "openbox is missing";
  documentation_run(*this, true);
}

}  // namespace
}  // namespace shell_test
