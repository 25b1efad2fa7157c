// What the graph window shows when the graph picture could not be made at
// the chosen size (a side beyond the 32767 pixels an X pixmap may have).
#pragma once
#include <string>
#include <vector>

// Whether the picture of n x m nodes fits in a pixmap at spacing exponent b
// (3 "big", 2 "small").
bool graph_picture_fits(int n, int m, int b);

// The message lines for the current n, m and big; they say when "small"
// would show the picture.
std::vector<std::string> graph_missing_lines();
