#include "app/command_line.h"

#include <cstring>

std::optional<int> AnswerInfoArguments(int argc, const char *const *argv, std::ostream &out)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            out << "Usage: velmora [IMAGE-FILE...]  (opens the first existing PNG, GIF or BMP file)\n";
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            out << "Velmora 2.1\n";
            return 0;
        }
    }
    return std::nullopt;
}
