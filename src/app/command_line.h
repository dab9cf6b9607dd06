#pragma once

#include <optional>
#include <ostream>

// Answers "--help" and "--version" on the command line without starting the
// program; returns the exit code when one of them was given. Every other
// argument is left to the file rule of the main window.
std::optional<int> AnswerInfoArguments(int argc, const char *const *argv, std::ostream &out);
