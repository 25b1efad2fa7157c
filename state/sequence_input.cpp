#include "state/sequence_input.h"

SequenceCheck clean_sequence(const std::string& raw) {
  SequenceCheck r;
  std::string up;
  up.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    signed char c = static_cast<signed char>(raw[i]);
    if (c == ' ' || c == '\n' || c == '\r') continue;
    // The same arithmetic as the getters: signed 8-bit values above 96 move
    // down by 32, so bytes of 128 and more (negative) stay and are refused.
    if (c > 96) c = static_cast<signed char>(c - 32);
    up.push_back(static_cast<char>(c));
    bool ok = (c >= 'A' && c <= 'Z') || c == '-' || c == '>';
    if (!ok) {
      r.notice = SeqNotice::illegal_chars;
      r.position = static_cast<int>(up.size() > 0x7fffffff ? 0x7fffffff : up.size());
      r.raw_offset = i;
      r.character = static_cast<unsigned char>(raw[i]);
      return r;  // seq stays empty
    }
  }
  r.seq = String(up.c_str());
  return r;
}

SequenceCheck clean_sequence(const String& raw) {
  return clean_sequence(std::string(raw.c_str(), static_cast<size_t>(raw.length())));
}

int find_gap_char(const String& seq) {
  for (int i = 0; i < seq.length(); ++i)
    if (seq.c_str()[i] == '-' || seq.c_str()[i] == '>') return i + 1;
  return 0;
}

const char* sequence_notice_text(SeqNotice n) {
  switch (n) {
    case SeqNotice::illegal_chars: return "Sequence contains illegal chars !";
    case SeqNotice::minus_inside: return "Sequence contains char '-' or '>' !";
    case SeqNotice::none: break;
  }
  return "";
}
