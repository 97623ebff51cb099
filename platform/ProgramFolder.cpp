#include "platform/ProgramFolder.h"

#include <climits>
#include <unistd.h>

namespace plotalon {

namespace {

// Empty: no override.
std::string& OverrideFolder() {
    static std::string folder;
    return folder;
}

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

} // namespace

std::string ProgramFolder() {
    if (!OverrideFolder().empty()) return OverrideFolder();
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == ssize_t(sizeof path)) return "./";
    const std::string file(path, std::size_t(length));
    return file.substr(0, file.rfind('/') + 1);
}

TProgramFolderOverride::TProgramFolderOverride(std::string folder) : previous_(OverrideFolder()) {
    OverrideFolder() = WithSeparator(std::move(folder));
}

TProgramFolderOverride::~TProgramFolderOverride() {
    OverrideFolder() = previous_;
}

} // namespace plotalon
