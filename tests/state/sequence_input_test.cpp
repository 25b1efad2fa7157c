// Cleaning and checking of sequence texts.
#include <gtest/gtest.h>

#include <string>

#include "state/sequence_input.h"

namespace {

std::string seq_of(const std::string& raw) {
  SequenceCheck c = clean_sequence(raw);
  EXPECT_EQ(c.notice, SeqNotice::none) << raw;
  return c.seq.c_str();
}

TEST(SequenceInput, CleansBlanksLineBreaksAndCase) {
  EXPECT_EQ(seq_of("ac gt\nAC"), "ACGTAC");
  EXPECT_EQ(seq_of("  a\r\nc\r\n\n g "), "ACG");
  EXPECT_EQ(seq_of(""), "");
  EXPECT_EQ(seq_of(" \n\r "), "");
  EXPECT_EQ(seq_of("abcdefghijklmnopqrstuvwxyz"), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  // '-' and '>' pass the reader (aligned sequences read back) ...
  EXPECT_EQ(seq_of("A-C>G"), "A-C>G");
  // ... and the computation check finds them.
  EXPECT_EQ(find_gap_char(String("A-C>G")), 2);
  EXPECT_EQ(find_gap_char(String("AC>G")), 3);
  EXPECT_EQ(find_gap_char(String("ACG")), 0);
  EXPECT_STREQ(sequence_notice_text(SeqNotice::minus_inside), "Sequence contains char '-' or '>' !");
}

TEST(SequenceInput, RefusesIllegalCharactersWithTheirPlace) {
  struct Case {
    std::string raw;
    int position;
    size_t offset;
    unsigned char ch;
  } cases[] = {
      {"AC\tGT", 3, 2, '\t'},          // tabs are not removed
      {"ac 1g", 3, 3, '1'},            // digits
      {"AC{", 3, 2, '{'},              // '{' becomes '[' and is refused
      {"A\x7f", 2, 1, 0x7f},           // DEL becomes '_'
      {std::string("AC\0G", 4), 3, 2, 0},  // a NUL byte does not end the text
      {"A\xc3\xa9", 2, 1, 0xc3},       // bytes above 127 stay negative
      {"*", 1, 0, '*'},
  };
  for (const Case& c : cases) {
    SequenceCheck r = clean_sequence(c.raw);
    EXPECT_EQ(r.notice, SeqNotice::illegal_chars) << c.raw;
    EXPECT_EQ(r.seq.length(), 0) << c.raw;
    EXPECT_EQ(r.position, c.position) << c.raw;
    EXPECT_EQ(r.raw_offset, c.offset) << c.raw;
    EXPECT_EQ(r.character, c.ch) << c.raw;
  }
  EXPECT_STREQ(sequence_notice_text(SeqNotice::illegal_chars), "Sequence contains illegal chars !");
  EXPECT_EQ(clean_sequence(String("ac gt")).seq, String("ACGT"));
}

}  // namespace
