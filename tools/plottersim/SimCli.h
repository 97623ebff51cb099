#pragma once
// plotalon-plotter-sim: a simulated plotter on a pseudo-terminal. Kept apart from main() so
// that tests can read its options the same way.

#include <iosfwd>
#include <string>
#include <vector>

namespace plotalon {

enum SimExit { seClean = 0, seOverflow = 1, seUsage = 2 };

// args excludes the program name. The slave's path goes to out as the first line, the end
// report to err.
int RunPlotterSim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace plotalon
