#pragma once
// plotalon-send: sends a PLT file to a plotter from the command line. Kept apart from main()
// so that tests drive it in-process.

#include <iosfwd>
#include <string>
#include <vector>

namespace plotalon {

class TSendControl;

enum SendExit {
    sxSent = 0,
    sxFailed = 1,
    sxUsage = 2,
    sxCancelled = 3,
    sxOutOfRange = 4,
};

// args excludes the program name; "-" as the file reads in. control: cancelled when the user
// presses Ctrl+C (main sets that up). progressToErr: the progress line on err.
int RunSendCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, TSendControl& control, bool progressToErr);

} // namespace plotalon
