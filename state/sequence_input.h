// Cleaning and checking of a sequence text, as "Get sequence 1" and "Get
// sequence 2" do it, without selection reading and without windows: the
// caller shows the notice (the window) or prints it (the batch tool).
#pragma once
#include <cstddef>
#include <string>
#include "text/strings.h"

enum class SeqNotice {
  none,           // the text was read (it may be empty)
  illegal_chars,  // "Sequence contains illegal chars !"
  minus_inside,   // "Sequence contains char '-' or '>' !" (only from find_gap_char users)
};

struct SequenceCheck {
  String seq;                   // cleaned upper-case sequence; empty when refused
  SeqNotice notice = SeqNotice::none;
  int position = 0;             // 1-based position of the refused character in the cleaned text
  size_t raw_offset = 0;        // 0-based offset of the refused character in the raw text
  unsigned char character = 0;  // the refused character as it stands in the raw text
};

// Removes every blank, line feed and carriage return; takes a character
// above 96 ('a'..'z' and the codes 123..127) 32 lower; refuses the whole
// text at the first character that is then not 'A'..'Z', '-' or '>'.
// '-' and '>' pass, so that aligned sequences written by the program read
// back; computations refuse them (find_gap_char). The raw text may hold any
// bytes, NUL included (a NUL is an illegal character).
SequenceCheck clean_sequence(const std::string& raw);
SequenceCheck clean_sequence(const String& raw);

// 1-based position of the first '-' or '>' of a cleaned sequence, 0 if none.
int find_gap_char(const String& seq);

// The notice text: "Sequence contains illegal chars !" or
// "Sequence contains char '-' or '>' !"; empty for none.
const char* sequence_notice_text(SeqNotice n);
