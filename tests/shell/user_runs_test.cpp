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
    ASSERT_TRUE(s.ok());
    if (with_wm) {
      ASSERT_TRUE(s.wm_ready()) << "openbox did not take a probe window into a frame";
    }
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
    ASSERT_TRUE(s.ok());
    if (with_wm) {
      ASSERT_TRUE(s.wm_ready()) << "openbox did not take a probe window into a frame";
    }
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

}  // namespace
}  // namespace shell_test
