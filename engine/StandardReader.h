#pragma once
// The standard reading: the subset of RS274/NGC that CAM post-processors write, interpreted
// as LinuxCNC's interpreter does. G0/G1/G2/G3 with I, J or R; G90/G91, G90.1/G91.1; G20/G21
// (inch values are multiplied by 25.4, so Factor counts plotter units per millimetre); the
// drilling cycles G73, G81, G82, G83 with G98/G99; G28, G30 and G53 as travel. What does not
// shape the drawing (F, S, coolant, dwell, tool length, work offsets, path control, feed
// mode, stops) is accepted and passed over; every other construct is refused with a message.
//
// The tool starts at X0 Y0 Z0. A feed move draws where the tool's Z is at or below the pen
// level (split where it crosses it); rapid moves never draw. Optionally the pen follows the
// spindle instead (down while M3 or M4 is on), T n M6 selects pen n, and drilling cycles mark
// their holes with a dot.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/NcBlock.h"
#include "engine/NcReader.h"
#include "engine/PenPlotter.h"

namespace plotalon {

class TStandardReader : public INcReader {
public:
    TStandardReader(const TConvSettings& settings, ILineSink& target)
        : settings_(settings), output_(target), plotter_(settings, pending_) {}

    void Block(std::string_view line) override;
    bool Ended() const override { return done_; }
    void Finish() override;

private:
    // The lines of the block being read, held until it is complete: their bytes one after
    // the other and where each ends. Both are kept for the next block, so that holding costs
    // no allocation once they have grown.
    class TPendingLines : public ILineSink {
    public:
        void AppendLine(std::string_view line) override {
            bytes_.append(line);
            ends_.push_back(bytes_.size());
        }
        void Clear() {
            bytes_.clear();
            ends_.clear();
        }
        void MoveTo(ILineSink& target) {
            const std::string_view bytes = bytes_;
            std::size_t start = 0;
            for (const std::size_t end : ends_) {
                target.AppendLine(bytes.substr(start, end - start));
                start = end;
            }
            Clear();
        }

    private:
        std::string bytes_;
        std::vector<std::size_t> ends_;
    };

    struct TPosition {
        long double X = 0, Y = 0, Z = 0; // millimetres
    };
    // What the part of a feed move the pen draws: from and to as parameters of the move.
    struct TSpan {
        bool Any = false;
        long double From = 0, To = 0;
    };

    void Percent();
    void Execute(const TNcBlock& block);
    void CheckWords(const TNcBlock& block, int motion, bool moves) const;
    void Modes(const TNcBlock& block);
    void Home(const TNcBlock& block);
    void Move(const TNcBlock& block, int motion, bool machine);
    void Arc(const TNcBlock& block, int motion, const TPosition& to);
    void Cycle(const TNcBlock& block, int motion);

    long double Unit() const { return inch_ ? 25.4L : 1; }
    // Where an axis word sends the axis from current: absolute, or added in G91.
    long double Destination(const TNcBlock& block, char letter, long double current,
                            bool absolute) const;
    TSpan DrawnSpan(long double z0, long double z1) const;

    const TConvSettings& settings_;
    ILineSink& output_;
    TPendingLines pending_;
    TPenPlotter plotter_;
    TNcLine line_;
    TNcBlock current_;

    TPosition tool_;
    bool zKnown_ = true; // false after G28, G30 or a G53 Z move, until a move sets Z
    int motion_ = -1;    // ten times the modal motion code; -1 before the first and after G80
    bool inch_ = false, incremental_ = false, arcAbsolute_ = false, retractToOldZ_ = false;
    bool spindle_ = false;
    std::int64_t selectedTool_ = 0;
    // The drilling cycle's sticky values, in millimetres, until the motion mode changes.
    bool hasCycleR_ = false, hasCycleZ_ = false, hasCycleQ_ = false;
    long double cycleR_ = 0, cycleZ_ = 0, cycleQ_ = 0;
    bool started_ = false;     // a line other than blanks has been read
    bool percentOpen_ = false; // the program began with "%"
    bool done_ = false;
};

} // namespace plotalon
