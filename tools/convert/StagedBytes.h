#pragma once
// Bytes held back until a run has succeeded, in bounded memory: the first megabyte in
// memory, everything beyond it in an unnamed temporary file in the temporary folder ($TMPDIR,
// else /tmp), which vanishes with the process. Standard output, a device and a FIFO see
// every byte as it is written, so a conversion that may still fault stages its text here.

#include <functional>
#include <string>
#include <string_view>

namespace plotalon {

class TStagedBytes {
public:
    TStagedBytes() = default;
    ~TStagedBytes();
    TStagedBytes(const TStagedBytes&) = delete;
    TStagedBytes& operator=(const TStagedBytes&) = delete;

    // Appends bytes. Raises EInOutError when the temporary file cannot be created or
    // written.
    void Write(std::string_view bytes);
    // Hands everything written, in order, to out, in pieces of bounded size. Raises
    // EInOutError when the temporary file cannot be read back.
    void Replay(const std::function<void(std::string_view)>& out);

    static constexpr std::size_t kInMemory = 1 << 20;

private:
    void Spill();
    std::string memory_;
    int fd_ = -1;
    std::string folder_; // where the temporary file lies, for the message
};

} // namespace plotalon
