#pragma once
// The command line of plotalon-view: what it shows, and where it writes the picture. Kept
// apart from main() so that tests check every usage error in-process.

#include "editor/core/CodeEditUndo.h"
#include "platform/Errors.h"

#include <string>
#include <vector>

namespace plotalon {

enum ViewExit { veOk = 0, veFailure = 1, veUsage = 2 };

// A wrong command line; its message names the argument at fault.
class EViewUsage : public Exception {
    using Exception::Exception;
};

struct TViewOptions {
    std::string File;
    std::string Png;   // empty: show a window
    bool Plot = false; // File is a PLT file: its drawing, not its text
    int Lines = 30;
    int Scale = 1;
    bool Select = false;
    TCodePoint From, To;
    bool Help = false;
};

// args excludes the program name. Raises EViewUsage.
TViewOptions ParseViewArguments(const std::vector<std::string>& args);

// The text of --help.
extern const char* const kViewHelp;

} // namespace plotalon
