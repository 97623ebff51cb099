#include "platform/Clipboard.h"

namespace plotalon {

bool InMemoryClipboard::Open() {
    if (failOpen_ || open_) return false;
    open_ = true;
    return true;
}

bool InMemoryClipboard::Clear() {
    if (!open_ || failWrite_) return false;
    formats_.clear();
    return true;
}

bool InMemoryClipboard::SetData(std::string_view format, std::string_view bytes) {
    if (!open_ || failWrite_) return false;
    formats_[std::string(format)] = std::string(bytes);
    return true;
}

bool InMemoryClipboard::HasFormat(std::string_view format) const {
    return formats_.find(format) != formats_.end();
}

std::optional<std::string> InMemoryClipboard::Data(std::string_view format) const {
    if (failRead_) return std::nullopt;
    auto it = formats_.find(format);
    if (it == formats_.end()) return std::nullopt;
    return it->second;
}

} // namespace plotalon
