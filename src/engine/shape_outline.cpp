#include "engine/shape_outline.h"

namespace {

// The closed outline first, first + step, ... back to first, wrapping
// around past k - 1.
void AddClosedOutline(std::vector<std::pair<int, int>> &edges, int k, int first, int step, int count)
{
    int t = first;
    for (int i = 0; i < count; ++i) {
        int next = t + step;
        if (next > k - 1)
            next -= k;
        edges.emplace_back(t, i + 1 == count ? first : next);
        t = next;
    }
}

} // namespace

std::vector<std::pair<int, int>> FigureEdges(int k, bool star)
{
    std::vector<std::pair<int, int>> edges;
    if (star ? k < 5 : k < 3)
        return edges;
    if (!star) {
        AddClosedOutline(edges, k, 0, 1, k);
    } else if (k % 2 == 1) {
        AddClosedOutline(edges, k, 0, 2, k);
    } else {
        AddClosedOutline(edges, k, 0, 2, k / 2);
        AddClosedOutline(edges, k, 1, 2, k / 2);
    }
    return edges;
}
