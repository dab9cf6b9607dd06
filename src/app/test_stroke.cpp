#include "app/test_stroke.h"

#ifdef VELMORA_TEST_HOOKS

#include "app/main_form.h"
#include "canvas/velmora_canvas.h"

#include <QStringList>

void DrawTestStroke(TfrmMainForm &form, const QString &numbers)
{
    const QStringList parts = numbers.split(QLatin1Char(','));
    if (parts.size() != 4)
        return;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return;
    }
    TVelmoraCanvas &canvas = *form.Canvas();
    const QPoint offset(canvas.ImageRect.Left, canvas.ImageRect.Top);
    const QPoint from = QPoint(v[0], v[1]) + offset, to = QPoint(v[2], v[3]) + offset;
    canvas.MouseDown(mbLeft, ssLeft, from.x(), from.y());
    canvas.MouseMove(ssLeft, to.x(), to.y());
    canvas.MouseUp(mbLeft, 0, to.x(), to.y());
}

#endif
