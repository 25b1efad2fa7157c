// "Documentation/Dokumentation": the user manual in German or English
// (Infos → "Documentation" → "Deutsch" / "English") in a read-only text
// window. The texts are compiled into the program (shell/docu_texts.h).
#include <string>

#include "shell/docu_texts.h"
#include "shell/shell.h"

namespace {

void exit_docu() { docu_frame->hide(); }

}  // namespace

const MenuDef documentation_menu = {help_menu, {{"Deutsch"}, {"English"}}};

void build_docu_window() {
  docu_frame = new Frame(Frame::command, 584, 400, "Documentation/Dokumentation");
  docu_frame->position(60, 60);
  docu_frame->min_size(580, 150);
  new Button(docu_frame, 5, 1, 0, "Exit", exit_docu);
  docu = new TextWindow(docu_frame, 0, 25, 584, 375, DOCU_LIMIT);
  docu->set_read_only(true);
  docu->follow_frame(docu_frame);
}

void help_menu(const char* label) {
  const std::string l = label;
  const char* text = l == "Deutsch" ? deutsch : l == "English" ? englisch : nullptr;
  if (!text) return;
  docu->clear();
  docu->insert(text);
  docu->show_from_start();
  docu_frame->raise();
}
