#include "views/graph_view.h"

#include "engine/common/graph_picture.h"
#include "state/state.h"

bool graph_picture_fits(int nn, int mm, int b) {
  return (long(nn + 4) << b) <= 32767 && (long(mm + 4) << b) <= 32767;
}

std::vector<std::string> graph_missing_lines() {
  std::vector<std::string> l;
  l.push_back("The graph of all optimal alignments is too large to be drawn");
  l.push_back("at this size: it would be " + std::to_string(graph_picture_width(n)) + " x " +
              std::to_string(graph_picture_height(m)) + " pixels, and a picture");
  l.push_back("may have at most 32767 pixels a side.");
  if (big == 3 && graph_picture_fits(n, m, 2))
    l.push_back("Choose \"small\" in the Options: the graph fits there.");
  l.push_back("The alignment and its figures are complete.");
  return l;
}
