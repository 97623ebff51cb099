#include "tools/plottersim/SimCli.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return plotalon::RunPlotterSim(args, std::cout, std::cerr);
}
