#pragma once
// Error types of the program. Each carries the message text the user sees in the
// top-level error report, so a handler only throws and never formats a dialog itself.

#include <cerrno>
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
    // The message with what is known about its cause, for command-line tools and the log;
    // the windows show Message() alone.
    virtual std::string Detailed() const { return Message(); }
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

// Why a file operation failed, in a few words ("Datenträger voll"), from the platform's error
// number (errno); empty for 0.
std::string FileErrorReason(int code);

// File errors, with the texts the platform gives them. The error number behind the failure
// travels along: the message stays the same whatever it was, the reason is added where there
// is room for it.
class EInOutError : public Exception {
public:
    explicit EInOutError(const std::string& message, int code = 0)
        : Exception(message), code_(code) {}
    // The platform's error number (errno); 0 when unknown.
    int Code() const { return code_; }
    std::string Reason() const { return FileErrorReason(code_); }
    // "Datei x kann nicht erstellt werden (Datenträger voll)".
    std::string Detailed() const override;

private:
    int code_;
};
// code: errno where the call failed, which is what it holds at most throw sites.
class EFOpenError : public EInOutError {
public:
    explicit EFOpenError(std::string_view path, int code = errno)
        : EInOutError(FormatMessage("Datei %s kann nicht geöffnet werden", path), code) {}
};
class EFCreateError : public EInOutError {
public:
    explicit EFCreateError(std::string_view path, int code = errno)
        : EInOutError(FormatMessage("Datei %s kann nicht erstellt werden", path), code) {}
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
