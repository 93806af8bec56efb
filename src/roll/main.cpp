// quelvane-roll: rolls Cadrelants without a window.
#include <iostream>
#include <string>
#include <vector>

#include "roll/RollCommand.h"

int main(int argc, char *argv[])
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return quelvane::roll::RunRoll(args, std::cout, std::cerr);
}
