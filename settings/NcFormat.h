#pragma once
// The settings of the NC format: how the NC text is read (literally or as standard RS274)
// and, for the standard reading, the pen level, what lowers the pen, tool pens and drill
// marks. They are integer keys in section "convert" after "type"; a file without them gives
// the literal reading exactly as before.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/ConvState.h"
#include "settings/FieldRules.h"

namespace plotalon {

inline constexpr std::string_view kNcModeKey = "ncmode";         // 0 literal, 1 standard
inline constexpr std::string_view kPenZKey = "penz";             // thousandths of an NC unit
inline constexpr std::string_view kPenSourceKey = "pensource";   // 0 Z, 1 spindle
inline constexpr std::string_view kToolPensKey = "toolpens";     // 1 on
inline constexpr std::string_view kDrillMarksKey = "drillmarks"; // 1 on

// The keys of the NC format from the settings file (Reg's folder, name and section as set);
// a missing key, or any value other than those named above, leaves the literal reading, a
// pen level of 0, the pen on Z and both options off.
void ReadNcFormat(TConvSettings& settings);

// The pen level as the dialog shows it, in NC units with up to three decimals: 0, -0.5, 1.25.
std::string PenLevelText(std::int32_t thousandths);
// A field text (the number syntax of the dialog's fields) as thousandths of an NC unit,
// rounded half away from zero; nothing when it is no number or lies beyond ±1000 units.
std::optional<std::int32_t> PenLevelThousandths(std::string_view text);

// The pen level field accepts numbers between -1000 and 1000; its steppers move it by 0.1.
inline constexpr TValidator kPenLevelValidator{true, -1000.0005L, 1000.0005L, "0"};
// The text a stepper press makes of the field's text: stepped by step NC units and shown as
// PenLevelText does; nothing when the text is no number (the field then stays as it is).
std::optional<std::string> StepPenLevel(std::string_view text, long double step);

} // namespace plotalon
