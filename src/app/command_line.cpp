#include "app/command_line.h"

#include <cstring>

namespace {

// Kept in step with the manual page resources/man/velmora.1.
const char HelpText[] =
    "Usage: velmora [FILE...]\n"
    "       velmora --help | --version\n"
    "\n"
    "Paints symmetric, kaleidoscope-like pictures. Opens the first FILE that names\n"
    "an existing PNG, GIF, BMP, OpenRaster, JPEG or WebP picture; a FILE that is\n"
    "not an absolute path is taken relative to the program's folder, not the\n"
    "current directory.\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Environment:\n"
    "  VELMORA_AUTOSAVE_SECONDS  seconds between recovery copies of a changed\n"
    "                            picture, 1 to 3600 (default 30)\n"
    "  QT_QPA_PLATFORM           when unset on a Wayland session (WAYLAND_DISPLAY set)\n"
    "                            with an X server at hand (DISPLAY set), Velmora\n"
    "                            starts on X11 (xcb), where its tool windows can keep\n"
    "                            their places and stay on top\n"
    "\n"
    "Files:\n"
    "  $XDG_CONFIG_HOME/Tarnwick/Velmora.conf    settings (~/.config when unset)\n"
    "  $XDG_DATA_HOME/Tarnwick/Velmora/recovery  recovery copies of unsaved pictures\n"
    "                                            (~/.local/share when unset)\n"
    "  lang.dll beside the program               user interface languages\n";

} // namespace

std::optional<int> AnswerInfoArguments(int argc, const char *const *argv, std::ostream &out)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            out << HelpText;
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            out << "Velmora 2.1\n";
            return 0;
        }
    }
    return std::nullopt;
}
