// Reading the batch tool's inputs: sequence files (FASTA or plain text),
// the cost description and the substitution table. Each function returns ""
// on success or the message for standard error.
#pragma once
#include <cstddef>
#include <string>
#include <vector>
#include "text/strings.h"

// Reads a whole file ("-" = standard input) of at most `cap` bytes.
std::string read_input_file(const std::string& path, size_t cap, std::string* out);

// Display name of a path in messages ("standard input" for "-").
std::string input_name(const std::string& path);

// Extracts the sequence text of a file: for FASTA (first non-blank
// character '>') the first record without its header line; otherwise the
// whole text. *body_offset is the offset of the returned text in `file`.
// A second FASTA record is an error.
std::string sequence_text(const std::string& file, const std::string& name, std::string* body,
                          size_t* body_offset);

// Reads, cleans and checks a sequence file as "Get sequence 1" does, and
// refuses what a computation refuses: an empty sequence, '-' or '>', and
// more letters than `max_len`.
std::string load_sequence(const std::string& path, int max_len, String* seq);

// Reads a substitution table file into the cost model.
std::string load_table(const std::string& path);

// Reads a cost description into the cost model. `have_table` tells whether
// a table was read: then a score written as "table" keeps the table.
// *warnings receives what the text may mean otherwise than it is read
// (cost_description_warnings).
std::string load_cost(const std::string& text, bool have_table, std::vector<std::string>* warnings);
