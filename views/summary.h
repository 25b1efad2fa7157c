// The input summary strip of the main window: the file name of the text
// window, both sequences with their lengths and the active cost function.
// Built here as texts and lines; the shell draws them.
#pragma once
#include <string>
#include <vector>

struct SummaryText {
  int x, y;
  std::string text;
};
struct SummaryLine {
  int x1, y1, x2, y2;
};
struct SummaryPicture {
  std::vector<SummaryText> texts;
  std::vector<SummaryLine> lines;
};

// "Filename  : " + the text window's file name (nothing after it when unsaved).
std::string summary_file_line(const std::string& file_name);
// "Sequence1: (" + length at 5 digits or "empty" + ") " + the sequence (k = 1
// or 2; seq1/n or seq2/m).
std::string summary_sequence_line(int k);
// "Costfunction is " + the function + its parameters and scores. With a
// substitution table active this normalises the table text in `subst`
// (carriage returns become line feeds, doubled line feeds single), as the
// preview has always done.
std::string summary_cost_line();
// The preview of the substitution table in the cost line (only meaningful
// while sub holds the table marker).
std::string table_preview();

// Everything the strip shows for a frame `width` pixels wide.
SummaryPicture summary_picture(const std::string& file_name, int width);
