#pragma once
// The range check before sending: a plotter takes coordinates only within its number range
// (16-bit plotters -32768 to 32767) and answers anything beyond with an error or garbage. The
// check reads the HPGL instructions of each line (a two-letter mnemonic and its numbers up to
// ";" or the next mnemonic) and looks at every number. The text of a label (LB, up to its
// terminator, ETX unless DT set another), the data of an encoded polyline (PE, up to ";") and
// device-control sequences (ESC . x ... ) are no numbers and are skipped.

#include "engine/LineSeams.h"

#include <cstdint>
#include <optional>
#include <string>

namespace plotalon {

struct TRangeViolation {
    std::size_t Line;   // 0-based
    std::string Number; // as written
};

// The first number of lines outside min..max, or nothing when all lie within.
std::optional<TRangeViolation> FindOutOfRange(const ILineSource& lines, std::int32_t min,
                                              std::int32_t max);

// The same for a whole text whose lines end in LF or CR LF; Line counts those lines.
std::optional<TRangeViolation> FindOutOfRangeInText(std::string_view text, std::int32_t min,
                                                    std::int32_t max);

// The line of text with the 0-based index line, without its line break.
std::string_view LineOfText(std::string_view text, std::size_t line);

// "Zeile 17 liegt außerhalb des Plotterbereichs -32768 bis 32767: PA40000,0;" (line counted
// from 1, the line's text shortened to 60 characters).
std::string DescribeViolation(const TRangeViolation& violation, std::string_view lineText,
                              std::int32_t min, std::int32_t max);

} // namespace plotalon
