#pragma once
// A fresh folder under /tmp for one test, removed afterwards.

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <stdlib.h>

namespace plotalon::test {

class TTempDir {
public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "plotalon-ed-XXXXXX");
        dir_ = mkdtemp(pattern.data());
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    std::string Path(std::string_view name) const { return dir_ + "/" + std::string(name); }
    std::string Write(std::string_view name, std::string_view bytes) const {
        std::string path = Path(name);
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    const std::string& Folder() const { return dir_; }

private:
    std::string dir_;
};

} // namespace plotalon::test
