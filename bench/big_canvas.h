#pragma once

#include "canvas/canvas_resources.h"
#include "canvas/velmora_canvas.h"

#include <memory>

constexpr int Big = 3000;

// A canvas with a 3000 x 3000 white picture laid out as the main window
// would; its master centre is the picture's middle.
inline std::unique_ptr<TVelmoraCanvas> BigCanvas()
{
    LoadCanvasModuleResources();
    auto c = std::make_unique<TVelmoraCanvas>();
    c->resize(Big + 50, Big + 50);
    c->SetCanvasSize(Big, Big, true, true);
    return c;
}
