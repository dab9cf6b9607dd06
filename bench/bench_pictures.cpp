#include "bench_pictures.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <cmath>
#include <random>

QImage MakePainting(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    std::mt19937 rng(20240611u);
    const auto uniform = [&](int lo, int hi) { return lo + int(rng() % std::uint32_t(hi - lo + 1)); };
    static const QRgb kPalette[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
                                    0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF,
                                    0x00FFFF, 0xFF8040, 0x804000, 0x80FF80, 0x4080FF, 0xFF80C0};
    const auto colour = [&]() {
        if (rng() % 4 == 0)
            return QColor(uniform(0, 255), uniform(0, 255), uniform(0, 255));
        return QColor(kPalette[rng() % std::size(kPalette)]);
    };
    const auto randomPoint = [&](int reach) { return QPoint(uniform(-reach, reach), uniform(-reach, reach)); };

    const int scale = std::min(width, height);
    constexpr int kCopies = 13;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.translate(width / 2.0, height / 2.0);
    const auto drawCopies = [&](auto &&draw) {
        for (int c = 0; c < kCopies; ++c) {
            p.rotate(360.0 / kCopies);
            draw();
        }
    };

    for (int i = 0; i < 30; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour());
        const int r = uniform(scale / 80, scale / 20);
        const QPoint at = randomPoint(scale / 2);
        QPolygon poly;
        const int corners = uniform(3, 7);
        for (int k = 0; k < corners; ++k) {
            const double a = 2 * M_PI * k / corners;
            poly << at + QPoint(int(r * std::cos(a)), int(r * std::sin(a)));
        }
        if (i % 2)
            drawCopies([&] { p.drawEllipse(at, r, r * 2 / 3); });
        else
            drawCopies([&] { p.drawPolygon(poly); });
    }

    static const int kBrushSizes[] = {1, 3, 7, 13, 21, 21, 40};
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 300; ++i) {
        const int brush = kBrushSizes[rng() % std::size(kBrushSizes)];
        p.setPen(QPen(colour(), brush, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        // A mouse drag: short segments turning a little at each step.
        QPointF at = randomPoint(scale / 2);
        double heading = uniform(0, 359) * M_PI / 180;
        QPainterPath path(at);
        for (int k = uniform(10, 60); k > 0; --k) {
            heading += uniform(-30, 30) * M_PI / 180;
            const double step = uniform(3, 12) * scale / 800.0;
            at += QPointF(step * std::cos(heading), step * std::sin(heading));
            path.lineTo(at);
        }
        drawCopies([&] { p.drawPath(path); });
    }
    return img;
}
