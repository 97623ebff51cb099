#pragma once
// What the program knows about the plotter at the other end of the line: the port, the line's
// frame, the handshake, how the text is cut into blocks, the set-up string sent first, the
// range of coordinates the plotter takes and how long it may take to answer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plotalon {

enum class THandshake { None, XonXoff, RtsCts, Query };
enum class TParity { None, Even, Odd };

struct TLineSettings {
    int Baud = 9600;
    int DataBits = 8; // 7 or 8
    TParity Parity = TParity::None;
    int StopBits = 1; // 1 or 2
    THandshake Handshake = THandshake::None;

    // Characters per second the line carries: a start bit, the data bits, the parity bit and
    // the stop bits make one character.
    double CharsPerSecond() const;
};

struct TPlotterSettings {
    std::string Port;
    TLineSettings Line;
    int BlockSize = 256;
    // Sent before the data, in the escaped notation of DecodeEscapes ("\e.@1024;0:").
    std::string Init;
    std::int32_t RangeMin = -32768;
    std::int32_t RangeMax = 32767;
    // How long the plotter may take to answer a query.
    int TimeoutSeconds = 5;
};

// The baud rates offered for a serial line, slowest first.
inline constexpr int kStandardBauds[] = {300,  600,   1200,  2400,  4800,
                                         9600, 19200, 38400, 57600, 115200};
inline constexpr int kMaxBlockSize = 65536;

// The words of the settings file and the command line: "none", "xonxoff", "rtscts", "query"
// and "none", "even", "odd". Parse gives nothing for any other word.
std::string_view HandshakeName(THandshake handshake);
std::optional<THandshake> ParseHandshake(std::string_view name);
std::string_view ParityName(TParity parity);
std::optional<TParity> ParseParity(std::string_view name);

// One line option of the command-line tools: "--baud", "--bits", "--parity", "--stop" or
// "--handshake" with its value into line. False for another option; throws Exception for a
// value the option does not take.
bool ApplyLineOption(std::string_view option, std::string_view value, TLineSettings& line);

// The set-up string's notation: "\e" is ESC, "\r" CR, "\n" LF, "\t" TAB, "\\" a backslash and
// "\xHH" the byte HH; every other character stands for itself. Throws Exception naming the
// first sequence it cannot read.
std::string DecodeEscapes(std::string_view text);

} // namespace plotalon
