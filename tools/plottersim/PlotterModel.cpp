#include "tools/plottersim/PlotterModel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

namespace plotalon {

namespace {

constexpr char kEsc = '\x1b', kXon = '\x11', kXoff = '\x13';
// The device-control instructions that take parameters up to ":".
constexpr std::string_view kWithParameters = "@HIMNPST";
constexpr std::size_t kLongestEscape = 80;

bool EndsCommand(char c) {
    return c == ';' || c == '\n';
}

} // namespace

TPlotterModel::TPlotterModel(TPlotterModelOptions options) : Options(std::move(options)) {}

void TPlotterModel::Receive(char byte, double t, std::string& reply) {
    DrainTo(t, reply);
    ++Figures_.Received;
    if (!Escape.empty() || byte == kEsc) {
        Escape += byte;
        Record += byte;
        ++Figures_.Accepted;
        DeviceControl(reply);
        return;
    }
    if (Xoff) ++Figures_.DuringXoff;
    if (Free() <= 0) {
        ++Figures_.Overflows;
        return;
    }
    Buffer += byte;
    Record += byte;
    ++Figures_.Accepted;
    Figures_.MaxFill = std::max(Figures_.MaxFill, int(Buffer.size()));
    if (Options.XonXoff && !Xoff && Free() <= Options.XoffAt) {
        Xoff = true;
        ++Figures_.XoffsSent;
        reply += kXoff;
    }
}

// Acts on a complete ESC . x [parameters :] and forgets it.
void TPlotterModel::DeviceControl(std::string& reply) {
    if (Escape.size() < 3) {
        if (Escape.size() == 2 && Escape[1] != '.') Escape.clear(); // no instruction after all
        return;
    }
    const char kind = char(std::toupper(static_cast<unsigned char>(Escape[2])));
    const bool parameters = kWithParameters.find(kind) != std::string_view::npos;
    if (parameters && Escape.back() != ':' && Escape.size() < kLongestEscape) return;
    switch (kind) {
    case 'B':
        ++Figures_.Queries;
        reply += std::to_string(Free()) + '\r';
        break;
    case 'L':
        reply += std::to_string(Options.BufferSize) + '\r';
        break;
    case 'O':
        reply += (Buffer.empty() ? "8" : "0") + std::string("\r");
        break;
    case 'E':
        reply += "0\r";
        break;
    case 'K':
    case 'R':
        if (kind == 'K') ++Figures_.Aborts;
        Buffer.clear();
        Command.clear();
        CheckXon(reply);
        break;
    default:
        break;
    }
    Escape.clear();
}

void TPlotterModel::DrainTo(double t, std::string& reply) {
    if (t <= DrainedAt) return;
    if (Buffer.empty()) {
        Credit = 0; // an idle pen banks nothing
    } else {
        Credit += (t - DrainedAt) * Options.DrainRate;
    }
    DrainedAt = t;
    while (Credit >= 1 && !Buffer.empty() && DrainOne(reply))
        Credit -= 1;
    CheckXon(reply);
}

// One byte, or one instruction, from the buffer to the pen. An instruction ends at ";" or at
// a line feed; the line break after it goes with it. A full buffer without any end is taken
// whole, so that the pen never waits for an end that cannot come.
bool TPlotterModel::DrainOne(std::string& reply) {
    std::size_t take = 1;
    if (Options.DrainCommands) {
        std::size_t end = Buffer.find_first_of(";\n");
        if (end == std::string::npos) {
            if (Free() > 0) {
                Credit = std::min(Credit, 1.0); // waits for the rest of the instruction
                return false;
            }
            end = Buffer.size() - 1;
        }
        take = end + 1;
        while (take < Buffer.size() && (Buffer[take] == '\r' || Buffer[take] == '\n'))
            ++take;
    }
    for (std::size_t i = 0; i < take; ++i) {
        const char c = Buffer[i];
        if (!EndsCommand(c)) {
            if (c != '\r' && c != ' ') Command += c;
            continue;
        }
        std::string upper = Command;
        for (char& u : upper)
            u = char(std::toupper(static_cast<unsigned char>(u)));
        if (upper.starts_with("OI")) reply += Options.Model + '\r';
        if (upper.starts_with("OS")) reply += "8\r";
        if (!Command.empty()) ++Figures_.Drawn;
        Command.clear();
    }
    Buffer.erase(0, take);
    return true;
}

void TPlotterModel::CheckXon(std::string& reply) {
    if (Xoff && Free() >= Options.XonAt) {
        Xoff = false;
        reply += kXon;
    }
}

} // namespace plotalon
