#include "app/application.h"
#include "app/command_line.h"

#include <iostream>

int main(int argc, char **argv)
{
    if (const auto code = AnswerInfoArguments(argc, argv, std::cout))
        return *code;
    return RunApplication(argc, argv);
}
