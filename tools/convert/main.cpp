#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tools/convert/ConvertCli.h"

namespace {

std::string ExecutableFolder(const char* argv0) {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string full = n > 0 ? std::string(path, static_cast<std::size_t>(n)) : argv0;
    const auto slash = full.rfind('/');
    return slash == std::string::npos ? "./" : full.substr(0, slash + 1);
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return plotalon::RunConvertCli(args, ExecutableFolder(argv[0]), std::cout, std::cerr);
}
