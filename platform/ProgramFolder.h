#pragma once
// The folder of the program file, where the settings file, the prefix and suffix blocks and
// the help text lie beside the program.

#include <string>

namespace plotalon {

// The folder of the running program file, ending in "/". Resolved through /proc/self/exe, so
// a program started through a link still finds its own files; the current folder when the
// link cannot be read.
std::string ProgramFolder();

// While it lives, ProgramFolder() gives folder instead (a "/" is added when it lacks one),
// so that tests point the program's files at a folder of their own.
class TProgramFolderOverride {
public:
    explicit TProgramFolderOverride(std::string folder);
    ~TProgramFolderOverride();
    TProgramFolderOverride(const TProgramFolderOverride&) = delete;
    TProgramFolderOverride& operator=(const TProgramFolderOverride&) = delete;

private:
    std::string previous_;
};

} // namespace plotalon
