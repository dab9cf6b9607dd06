#include "engine/brush_string.h"

#include <cmath>

bool TBrushString::Pull(QPoint pointer, double length)
{
    const QPointF d = QPointF(pointer) - Brush;
    const double distance = std::hypot(d.x(), d.y());
    if (distance <= length)
        return false;
    Brush += d * ((distance - length) / distance);
    return true;
}

QPoint TBrushString::Pixel() const
{
    return QPoint(int(std::nearbyint(Brush.x())), int(std::nearbyint(Brush.y())));
}
