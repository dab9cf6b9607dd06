#include "engine/pattern_lattice.h"

#include <numbers>
#include <vector>

namespace {

// A transform in the terms of the group tables: a turn by Turn steps of
// the lattice's rotation (a quarter turn, or a sixth on the hexagonal
// lattice), after a mirror across the vertical axis when Mirror is set,
// then a shift by half the cell's width and height where HalfX and HalfY
// say so.
struct TProto {
    int Turn;
    bool Mirror;
    bool HalfX = false;
    bool HalfY = false;
};

using TProtos = std::vector<TProto>;

const TProtos &ProtosOf(TPatternGroup g)
{
    static const TProtos p1{{0, false}}, p2{{0, false}, {2, false}}, pm{{0, false}, {0, true}},
        pg{{0, false}, {0, true, false, true}},
        pmm{{0, false}, {0, true}, {2, false}, {2, true}},
        pmg{{0, false}, {2, false}, {0, true, true}, {2, true, true}},
        pgg{{0, false}, {2, false}, {0, true, true, true}, {2, true, true, true}},
        p4{{0, false}, {1, false}, {2, false}, {3, false}},
        p4m{{0, false}, {1, false}, {2, false}, {3, false}, {0, true}, {1, true}, {2, true}, {3, true}},
        p4g{{0, false},
            {1, false},
            {2, false},
            {3, false},
            {0, true, true, true},
            {1, true, true, true},
            {2, true, true, true},
            {3, true, true, true}},
        p3{{0, false}, {2, false}, {4, false}}, p3m1{{0, false}, {2, false}, {4, false}, {0, true}, {2, true}, {4, true}},
        p31m{{0, false}, {2, false}, {4, false}, {3, true}, {5, true}, {1, true}},
        p6{{0, false}, {1, false}, {2, false}, {3, false}, {4, false}, {5, false}},
        p6m{{0, false}, {1, false}, {2, false}, {3, false}, {4, false}, {5, false},
            {0, true},  {1, true},  {2, true},  {3, true},  {4, true},  {5, true}},
        p11g{{0, false}, {2, true, true}}, p1m1{{0, false}, {0, true}}, p11m{{0, false}, {2, true}};
    switch (g) {
    case pgP1: case pgFriezeP1: return p1;
    case pgP2: case pgFriezeP2: return p2;
    case pgPm: case pgCm: return pm;
    case pgPg: return pg;
    case pgPmm: case pgCmm: case pgFriezeP2mm: return pmm;
    case pgPmg: case pgFriezeP2mg: return pmg;
    case pgPgg: return pgg;
    case pgP4: return p4;
    case pgP4m: return p4m;
    case pgP4g: return p4g;
    case pgP3: return p3;
    case pgP3m1: return p3m1;
    case pgP31m: return p31m;
    case pgP6: return p6;
    case pgP6m: return p6m;
    case pgFriezeP11g: return p11g;
    case pgFriezeP1m1: return p1m1;
    case pgFriezeP11m: return p11m;
    default: return p1;
    }
}

bool IsHexagonal(TPatternGroup g)
{
    return g >= pgP3 && g <= pgP6m;
}

bool IsSquare(TPatternGroup g)
{
    return g >= pgP4 && g <= pgP4g;
}

bool IsCentred(TPatternGroup g)
{
    return g == pgCm || g == pgCmm;
}

// Cosine and sine of Turn steps, whole numbers for the quarter turns.
void TurnOf(int turn, bool hexagonal, double &c, double &s)
{
    static constexpr double quarter[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    if (!hexagonal) {
        c = quarter[turn & 3][0], s = quarter[turn & 3][1];
        return;
    }
    static constexpr double h = std::numbers::sqrt3 / 2;
    static constexpr double sixth[6][2] = {{1, 0}, {0.5, h}, {-0.5, h}, {-1, 0}, {-0.5, -h}, {0.5, -h}};
    c = sixth[turn % 6][0], s = sixth[turn % 6][1];
}

} // namespace

int PointGroupOrder(TPatternGroup g)
{
    return int(ProtosOf(g).size());
}

// Turns are clockwise on the screen (y points down), as in the rosettes.
TPatternLattice::TPatternLattice(const TPattern &p)
{
    const bool hexagonal = IsHexagonal(p.Group);
    const double w = p.Width, h = IsSquare(p.Group) || hexagonal ? p.Width : p.Height;
    const TProtos &protos = ProtosOf(p.Group);
    const int halves = IsCentred(p.Group) ? 2 : 1;
    for (int half = 0; half < halves; ++half)
        for (std::size_t e = 0; e < protos.size(); ++e) {
            const TProto &proto = protos[e];
            double c, s;
            TurnOf(proto.Turn, hexagonal, c, s);
            const double m = proto.Mirror ? -1 : 1;
            TPatternOp &op = Ops[std::size_t(OpCount++)];
            op = {m * c, -s, m * s, c, (proto.HalfX + half) * w / 2, (proto.HalfY + half) * h / 2, int(e)};
        }
    OneRow = IsFrieze(p.Group);
    Ux = w;
    if (hexagonal) {
        Vx = w / 2, Vy = w * std::numbers::sqrt3 / 2;
    } else if (UsesAngle(p.Group) && p.Angle != 90) {
        const double a = p.Angle * std::numbers::pi / 180;
        Vx = h * std::cos(a), Vy = h * std::sin(a);
    } else {
        Vx = 0, Vy = h;
    }
}
