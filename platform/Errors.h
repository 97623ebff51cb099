#pragma once
// Error types of the program. Each carries the message text the user sees in the
// top-level error report, so a handler only throws and never formats a dialog itself.

#include <stdexcept>
#include <string>
#include <string_view>

namespace plotalon {

// Replaces the first "%s" of pattern by arg.
std::string FormatMessage(std::string_view pattern, std::string_view arg);

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Floating-point faults that the engine does not mask.
class EMathError : public Exception {
    using Exception::Exception;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Gleitkommadivision durch Null") {}
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Ungültige Gleitkommaoperation") {}
};

// File errors, with the texts the platform gives them.
class EInOutError : public Exception {
    using Exception::Exception;
};
class EFOpenError : public EInOutError {
public:
    explicit EFOpenError(std::string_view path)
        : EInOutError(FormatMessage("Datei %s kann nicht geöffnet werden", path)) {}
};
class EFCreateError : public EInOutError {
public:
    explicit EFCreateError(std::string_view path)
        : EInOutError(FormatMessage("Datei %s kann nicht erstellt werden", path)) {}
};

// A text longer than a memo control can hold.
class EMemoCapacityError : public Exception {
public:
    EMemoCapacityError() : Exception("Text überschreitet Memo-Kapazität") {}
};

// An object used as something it is not (a component whose owner is not a window, say).
class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception("Ungültige Typumwandlung") {}
};

} // namespace plotalon
