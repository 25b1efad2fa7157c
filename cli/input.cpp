#include "cli/input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cost/cost_text.h"
#include "state/sequence_input.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Line and column (1-based) of an offset.
void line_column(const std::string& text, size_t off, size_t* line, size_t* col) {
  *line = 1;
  size_t start = 0;
  for (size_t i = 0; i < off && i < text.size(); ++i)
    if (text[i] == '\n') {
      ++*line;
      start = i + 1;
    }
  *col = off - start + 1;
}

std::string describe_char(unsigned char c) {
  char buf[32];
  if (c == '\t') return "a tab";
  if (c >= 32 && c < 127) std::snprintf(buf, sizeof buf, "'%c'", c);
  else std::snprintf(buf, sizeof buf, "byte 0x%02x", c);
  return buf;
}

}  // namespace

std::string input_name(const std::string& path) {
  return path == "-" ? std::string("standard input") : path;
}

std::string read_input_file(const std::string& path, size_t cap, std::string* out) {
  out->clear();
  FILE* f = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (f == nullptr) return "cannot open " + path + ": " + std::strerror(errno);
  char buf[65536];
  size_t got;
  std::string err;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (out->size() + got > cap) {
      err = input_name(path) + " is too large (more than " + std::to_string(cap) + " bytes)";
      break;
    }
    out->append(buf, got);
  }
  if (err.empty() && std::ferror(f)) err = "cannot read " + input_name(path);
  if (f != stdin) std::fclose(f);
  return err;
}

std::string sequence_text(const std::string& file, const std::string& name, std::string* body,
                          size_t* body_offset) {
  size_t start = 0;
  if (file.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;  // a byte order mark
  size_t first = start;
  while (first < file.size() && is_blank(file[first])) ++first;
  if (first >= file.size() || file[first] != '>') {
    *body = file.substr(start);
    *body_offset = start;
    return "";
  }
  // FASTA: drop the header line, take the record up to the end.
  size_t nl = file.find('\n', first);
  size_t b = nl == std::string::npos ? file.size() : nl + 1;
  // A line that starts (after blanks) with '>' opens a second record.
  size_t line_start = b;
  while (line_start < file.size()) {
    size_t p = line_start;
    while (p < file.size() && (file[p] == ' ' || file[p] == '\t' || file[p] == '\r')) ++p;
    if (p < file.size() && file[p] == '>') {
      size_t line, col;
      line_column(file, p, &line, &col);
      return name + " holds a second FASTA record (line " + std::to_string(line) +
             "); give one sequence per file";
    }
    size_t e = file.find('\n', line_start);
    if (e == std::string::npos) break;
    line_start = e + 1;
  }
  *body = file.substr(b);
  *body_offset = b;
  return "";
}

std::string load_sequence(const std::string& path, int max_len, String* seq) {
  std::string file, body;
  std::string name = input_name(path);
  // Generous cap: far above the longest sequence plus line breaks and a header.
  std::string err = read_input_file(path, size_t(64) << 20, &file);
  if (!err.empty()) return err;
  size_t off = 0;
  err = sequence_text(file, name, &body, &off);
  if (!err.empty()) return err;
  SequenceCheck c = clean_sequence(body);
  if (c.notice != SeqNotice::none) {
    size_t line, col;
    line_column(file, off + c.raw_offset, &line, &col);
    return std::string(sequence_notice_text(c.notice)) + "\n  " + name + ", line " +
           std::to_string(line) + ", column " + std::to_string(col) + " (letter " +
           std::to_string(c.position) + " of the sequence): " + describe_char(c.character);
  }
  if (int p = find_gap_char(c.seq)) {
    // Locate the character in the file for the message.
    int seen = 0;
    size_t at = 0;
    for (size_t i = 0; i < body.size(); ++i) {
      char ch = body[i];
      if (ch == ' ' || ch == '\n' || ch == '\r') continue;
      if (++seen == p) {
        at = i;
        break;
      }
    }
    size_t line, col;
    line_column(file, off + at, &line, &col);
    return std::string(sequence_notice_text(SeqNotice::minus_inside)) + "\n  " + name +
           ", line " + std::to_string(line) + ", column " + std::to_string(col) + " (letter " +
           std::to_string(p) + " of the sequence): '" + c.seq.c_str()[p - 1] + "'";
  }
  if (c.seq.length() == 0) return "There are not enough inputs !?\n  " + name + " holds no sequence";
  if (c.seq.length() > max_len)
    return name + ": the sequence has " + std::to_string(c.seq.length()) +
           " letters; this mode accepts at most " + std::to_string(max_len);
  *seq = c.seq;
  return "";
}

std::string load_table(const std::string& path) {
  std::string text;
  std::string err = read_input_file(path, size_t(1) << 20, &text);
  if (!err.empty()) return err;
  if (text.find('\0') != std::string::npos)
    return table_error_text(TableError::headline).c_str() + std::string("\n  ") +
           input_name(path) + " holds a NUL byte";
  TableError e = read_substitution_table(String(text.c_str()));
  if (e != TableError::none)
    return std::string(table_error_text(e).c_str()) + "\n  in " + input_name(path);
  return "";
}

std::string load_cost(const std::string& text, bool have_table, std::vector<std::string>* warnings) {
  if (text.find('\0') != std::string::npos) return "the cost description holds a NUL byte";
  const String t(text.c_str());
  *warnings = cost_description_warnings(t);
  // Scores written as "table" (as "Put actual cost into text" writes them
  // while a table is active) count as mistakes for the reader and keep the
  // scores as they are; with a table given that is what the user means.
  int table_words = 0;
  String v;
  const char* subst_key = t.is_in("subst.=") ? "subst.=" : "subst=";
  if (cost_keyword_value_of(t, subst_key, &v) && v == String("table")) ++table_words;
  if (cost_keyword_value_of(t, "match=", &v) && v == String("table")) ++table_words;
  if (table_words > 0 && !have_table)
    return "the cost description takes scores from a substitution table ('table'); "
           "give one with -t FILE";
  CostReadResult r = read_cost_description(t);
  if (r.notice == CostNotice::none) return "";
  if (r.notice == CostNotice::mistakes && r.mistakes == table_words) return "";
  return std::string(cost_notice_text(r).c_str()) + "\n  in the cost description";
}
