#pragma once

#include <utility>
#include <vector>

// The lines of a figure through k vertices, as index pairs in drawing order.
// A polygon (k >= 3) is the closed outline 0, 1, ..., k - 1, 0. A star
// (k >= 5) joins every vertex to the next but one: for odd k one closed
// outline 0, 2, 4, ... that wraps around past k - 1 (0, 2, 4, 1, 3, 0 for
// k = 5); for even k two, through the even and through the odd vertices.
// Fewer vertices give no lines.
std::vector<std::pair<int, int>> FigureEdges(int k, bool star);
