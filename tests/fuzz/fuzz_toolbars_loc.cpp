// The stored tool window places, as read back from the settings store.
#include "app/toolbars_location.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString stored = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *name : {"tools", "palette", "commands", "brush"})
        ToolBarLocation(stored, QLatin1String(name));
    return 0;
}
