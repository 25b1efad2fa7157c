// The text window: an editor where users keep sequences, cost descriptions,
// tables and results. Typing, cut/copy/paste, undo, Load, Save, Save as,
// Include file, Find, Find again and Replace, from a menu on the right mouse
// button and with Ctrl+O, Ctrl+S, Ctrl+F (Ctrl+G or F3: find again), Ctrl+Z,
// Ctrl+X, Ctrl+C and Ctrl+V.
//
// It never holds more than its limit of characters: typing beyond it beeps,
// and a paste, a load, an include or an insertion from the program that
// would pass it is refused with a notice; the text stays as it was.
// Selecting with the mouse makes this program hold the X PRIMARY selection.
//
// A read-only text window keeps the text the program puts into it: the user
// may scroll, select, copy, find and save it as a file, but typing, cut,
// paste, drops, undo, replace, load and include change nothing.
#pragma once
#include <string>

#include "ui/widgets.h"

class Fl_Text_Buffer;
class TextEditor;
class FindDialog;

class TextWindow {
 public:
  TextWindow(Frame* f, int x, int y, int w, int h, int max_chars);
  ~TextWindow();
  TextWindow(const TextWindow&) = delete;
  TextWindow& operator=(const TextWindow&) = delete;

  int max_chars() const { return max_chars_; }
  std::string text() const;
  int length() const;
  // Replaces the whole text (no limit notice: a longer text is cut); the file
  // name stays.
  void set_text(const std::string& t);
  // Empties the text and forgets the file name.
  void clear();
  // Shows the text from its first line, with the insertion point there.
  void show_from_start();
  void set_read_only(bool on) { read_only_ = on; }
  bool read_only() const { return read_only_; }

  // Inserts at the insertion point and moves it behind the inserted text;
  // false (with a notice) when the text would pass the limit.
  bool insert(const std::string& s);
  int insertion_point() const;
  void set_insertion_point(int pos);
  // Selects [from, to) from the program (does not take PRIMARY).
  void select(int from, int to);
  std::string selected_text() const;

  // Files. A failure shows a notice and changes nothing.
  bool load(const std::string& path);      // replaces the text; the file name becomes path
  bool include(const std::string& path);   // inserts the file at the insertion point
  bool save();                             // to the file name (asks for one when there is none)
  bool save_as(const std::string& path);   // the file name becomes path
  const std::string& file_name() const { return file_name_; }
  // Writes the text to a file descriptor without allocating (the rescue
  // after a failed allocation); false on a write error.
  bool write_raw(int fd) const;
  bool modified() const { return modified_; }

  // The dialogs of the menu: ask for a file name, then load, include or save.
  void load_dialog();
  void include_dialog();
  void save_as_dialog();
  void find_dialog();

  // Find: selects the next occurrence after the insertion point (wrapping
  // round once); false when there is none.
  bool find(const std::string& what);
  bool find_again();
  // Replaces the selection when it is `what`, then finds the next one.
  bool replace(const std::string& what, const std::string& with);
  int replace_all(const std::string& what, const std::string& with);  // how many

  void undo();
  void cut();
  void copy();
  void paste();   // the clipboard (CLIPBOARD), as Ctrl+V

  // Called after every change of the text and after a load or save.
  void on_change(Action a) { change_ = a; }

  // How file names are asked for (tests replace it): returns "" for cancel.
  using FileAsker = std::string (*)(const char* title, const char* current, bool for_saving);
  static void set_file_asker(FileAsker a);

  TextEditor* editor() const { return ed_; }
  // Grows and shrinks with the frame (keeps its left and top edge).
  void follow_frame(Frame* f);

 private:
  friend class TextEditor;
  bool fits(long long added, const char* what);
  void changed(bool by_edit);
  static void modify_cb(int, int, int, int, const char*, void*);
  TextEditor* ed_;
  Fl_Text_Buffer* buf_;
  FindDialog* find_ = nullptr;
  int max_chars_;
  std::string file_name_;
  std::string last_find_;
  bool modified_ = false;
  bool loading_ = false;
  bool read_only_ = false;
  Action change_ = nullptr;
};
