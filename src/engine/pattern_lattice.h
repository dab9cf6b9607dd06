#pragma once

#include "engine/pattern_group.h"

#include <QPoint>
#include <QPointF>
#include <QSize>

#include <algorithm>
#include <array>
#include <cmath>

// One transform of a pattern's point group about the lattice point at the
// origin: p -> R p + t, with the index of its point-group element (the
// two halves of a centred cell share their indices).
struct TPatternOp {
    double Xx = 1, Xy = 0, Yx = 0, Yy = 1;
    double Tx = 0, Ty = 0;
    int Element = 0;

    QPointF Apply(QPointF p) const { return {Xx * p.x() + Xy * p.y() + Tx, Yx * p.x() + Yy * p.y() + Ty}; }
};

// The number of elements of the group's point group.
int PointGroupOrder(TPatternGroup g);

// A pattern's transforms and lattice, worked out once per segment. The
// lattice is spanned by (Ux, 0) and (Vx, Vy); a frieze has one row only. On
// a rectangular or square lattice with even sides every number is a whole
// one, so the copies are exact pixel transforms.
class TPatternLattice {
public:
    static constexpr int MaxOps = 16;

    explicit TPatternLattice(const TPattern &p);

    int Count() const { return OpCount; }
    const TPatternOp &Op(int k) const { return Ops[std::size_t(k)]; }
    bool Frieze() const { return OneRow; }
    double Ux = 1, Vx = 0, Vy = 1;

private:
    std::array<TPatternOp, MaxOps> Ops{};
    int OpCount = 0;
    bool OneRow = false;
};

// Calls fn(element, q[]) for every image of the N points P under the
// pattern about the lattice point M whose bounding box comes within reach
// of the width x height area; the first call is P itself. The first point's
// images are rounded to the nearest pixel and the others keep their rounded
// offsets from it, so that all translations of one transform are the same
// shape (whole-number transforms stay exact).
// No allocation and no trigonometry per copy: each transform is applied
// once, and then the lattice rows and columns that can reach the area are
// stepped through.
template <std::size_t N, typename Fn>
void ForEachPatternCopy(const TPattern &pattern, QPoint M, QSize area, int reach,
                        const std::array<QPoint, N> &P, Fn &&fn)
{
    fn(0, P);
    const TPatternLattice lattice(pattern);
    // One pixel more for the rounding of inexact copies.
    const double lo = -double(reach) - 1;
    const double right = area.width() - 1 + double(reach) + 1, bottom = area.height() - 1 + double(reach) + 1;
    std::array<QPointF, N> image;
    std::array<QPoint, N> offset, q;
    for (int k = 0; k < lattice.Count(); ++k) {
        const TPatternOp &op = lattice.Op(k);
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
        for (std::size_t n = 0; n < N; ++n) {
            image[n] = op.Apply(QPointF(P[n] - M)) + QPointF(M);
            x0 = std::min(x0, image[n].x()), x1 = std::max(x1, image[n].x());
            y0 = std::min(y0, image[n].y()), y1 = std::max(y1, image[n].y());
            const QPointF d = image[n] - image[0];
            offset[n] = QPoint(int(std::lrint(d.x())), int(std::lrint(d.y())));
        }
        const int j0 = lattice.Frieze() ? 0 : int(std::ceil((lo - y1) / lattice.Vy));
        const int j1 = lattice.Frieze() ? 0 : int(std::floor((bottom - y0) / lattice.Vy));
        for (int j = j0; j <= j1; ++j) {
            const double sx = j * lattice.Vx, sy = j * lattice.Vy;
            const int i0 = int(std::ceil((lo - x1 - sx) / lattice.Ux));
            const int i1 = int(std::floor((right - x0 - sx) / lattice.Ux));
            for (int i = i0; i <= i1; ++i) {
                if (k == 0 && i == 0 && j == 0)
                    continue;
                const double tx = sx + i * lattice.Ux;
                q[0] = QPoint(int(std::lrint(image[0].x() + tx)), int(std::lrint(image[0].y() + sy)));
                for (std::size_t n = 1; n < N; ++n)
                    q[n] = q[0] + offset[n];
                fn(op.Element, q);
            }
        }
    }
}
