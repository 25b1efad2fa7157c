// Blocking notices: one or two message lines, one or two buttons; returns
// the value of the pressed button. Headless callers and tests install a
// responder that records the request and chooses the answer; nothing blocks
// then. With no responder installed and no display the first button's value
// is returned and the lines are written to standard error. With a display the
// notice is a small modal window with the lines and the buttons in the given
// order, left to right; only a button answers it. A request without buttons
// gets " Ok " with the value 0 (headless: returns 0).
#pragma once
#include <functional>
#include <string>
#include <vector>

struct NoticeButton {
  std::string label;
  int value;
};

// What a notice is about, so that callers that answer notices without a
// window (the batch tool, tests) tell them apart without reading their texts.
// The owner of a notice sets its id; most notices are `other`.
enum class NoticeId {
  other,
  not_while_computing,  // "Not possible while computing !"
  math_error,           // "Mathematical error during computation !"
  minus_inside,         // "Sequence contains char '-' or '>' !"
  alignment_not_built,  // "Fatal error:" / "Alignment couldn't be constructed !?"
  concavity,            // the concavity warning: stop (1) or go on (0)
  subst_incomplete,     // "Your subst.-table was incomplete !"
  too_long,             // a sequence is longer than the engine accepts
  no_memory,            // the tables of an operation do not fit in memory
  text_full,            // the text window would exceed its character limit
  file_error,           // a file of the text window could not be read or written
  unsaved_text,         // loading over a text with unsaved changes: go on (1) or not (0)
};

struct NoticeRequest {
  std::vector<std::string> lines;
  std::vector<NoticeButton> buttons;
  NoticeId id = NoticeId::other;
};

using NoticeResponder = std::function<int(const NoticeRequest&)>;

int notice(const NoticeRequest& r);
// Shorthands for the common shapes.
int notice1(const std::string& line, const std::string& button, int value = 1,
            NoticeId id = NoticeId::other);
int notice2(const std::string& line1, const std::string& line2, const std::string& button,
            int value = 1, NoticeId id = NoticeId::other);

// Installs a responder; returns the previous one.
NoticeResponder set_notice_responder(NoticeResponder r);

// A responder for tests: records every request and answers with a fixed
// button value (or the first button's when answer < 0).
// Recorders nest: each restores the responder it replaced.
struct NoticeRecorder {
  std::vector<NoticeRequest> seen;
  int answer = -1;
  NoticeResponder previous;
  NoticeRecorder();
  ~NoticeRecorder();
  NoticeRecorder(const NoticeRecorder&) = delete;  // the installed responder points here
  NoticeRecorder& operator=(const NoticeRecorder&) = delete;
  std::string last_line() const;  // first line of the last notice, "" when none
};

// The program's standard notices.
void berechnung_laeuft();        // "Not possible while computing !" / " Sorry "
void fp_err_message();           // "Mathematical error during computation !" / "Check costfunction"
void alignment_output_error();   // "Fatal error:" / "Alignment couldn't be constructed !?" / " Wrong marks "
void no_float();                 // "No correct input !" / " Try again " (a value typed into a window)
