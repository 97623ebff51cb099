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

TPlotterModel::TPlotterModel(TPlotterModelOptions options) : options_(std::move(options)) {}

void TPlotterModel::Receive(char byte, double t, std::string& reply) {
    DrainTo(t, reply);
    ++figures_.Received;
    if (!escape_.empty() || byte == kEsc) {
        escape_ += byte;
        record_ += byte;
        ++figures_.Accepted;
        DeviceControl(reply);
        return;
    }
    if (xoff_) ++figures_.DuringXoff;
    if (Free() <= 0) {
        ++figures_.Overflows;
        return;
    }
    buffer_ += byte;
    record_ += byte;
    ++figures_.Accepted;
    figures_.MaxFill = std::max(figures_.MaxFill, int(buffer_.size()));
    if (options_.XonXoff && !xoff_ && Free() <= options_.XoffAt) {
        xoff_ = true;
        ++figures_.XoffsSent;
        reply += kXoff;
    }
}

// Acts on a complete ESC . x [parameters :] and forgets it.
void TPlotterModel::DeviceControl(std::string& reply) {
    if (escape_.size() < 3) {
        if (escape_.size() == 2 && escape_[1] != '.') escape_.clear(); // no instruction after all
        return;
    }
    const char kind = char(std::toupper(static_cast<unsigned char>(escape_[2])));
    const bool parameters = kWithParameters.find(kind) != std::string_view::npos;
    if (parameters && escape_.back() != ':' && escape_.size() < kLongestEscape) return;
    switch (kind) {
    case 'B':
        ++figures_.Queries;
        reply += std::to_string(Free()) + '\r';
        break;
    case 'L':
        reply += std::to_string(options_.BufferSize) + '\r';
        break;
    case 'O':
        reply += (buffer_.empty() ? "8" : "0") + std::string("\r");
        break;
    case 'E':
        reply += "0\r";
        break;
    case 'K':
    case 'R':
        if (kind == 'K') ++figures_.Aborts;
        buffer_.clear();
        command_.clear();
        CheckXon(reply);
        break;
    default:
        break;
    }
    escape_.clear();
}

void TPlotterModel::DrainTo(double t, std::string& reply) {
    if (t <= drainedAt_) return;
    if (buffer_.empty()) {
        credit_ = 0; // an idle pen banks nothing
    } else {
        credit_ += (t - drainedAt_) * options_.DrainRate;
    }
    drainedAt_ = t;
    while (credit_ >= 1 && !buffer_.empty() && DrainOne(reply))
        credit_ -= 1;
    CheckXon(reply);
}

// One byte, or one instruction, from the buffer to the pen. An instruction ends at ";" or at
// a line feed; the line break after it goes with it. A full buffer without any end is taken
// whole, so that the pen never waits for an end that cannot come.
bool TPlotterModel::DrainOne(std::string& reply) {
    std::size_t take = 1;
    if (options_.DrainCommands) {
        std::size_t end = buffer_.find_first_of(";\n");
        if (end == std::string::npos) {
            if (Free() > 0) {
                credit_ = std::min(credit_, 1.0); // waits for the rest of the instruction
                return false;
            }
            end = buffer_.size() - 1;
        }
        take = end + 1;
        while (take < buffer_.size() && (buffer_[take] == '\r' || buffer_[take] == '\n'))
            ++take;
    }
    for (std::size_t i = 0; i < take; ++i) {
        const char c = buffer_[i];
        if (!EndsCommand(c)) {
            if (c != '\r' && c != ' ') command_ += c;
            continue;
        }
        std::string upper = command_;
        for (char& u : upper)
            u = char(std::toupper(static_cast<unsigned char>(u)));
        if (upper.starts_with("OI")) reply += options_.Model + '\r';
        if (upper.starts_with("OS")) reply += "8\r";
        if (!command_.empty()) ++figures_.Drawn;
        command_.clear();
    }
    buffer_.erase(0, take);
    return true;
}

void TPlotterModel::CheckXon(std::string& reply) {
    if (xoff_ && Free() >= options_.XonAt) {
        xoff_ = false;
        reply += kXon;
    }
}

} // namespace plotalon
