#include "settings/NcFormat.h"

#include <cmath>
#include <cstdlib>

#include "settings/Reg.h"

namespace plotalon {

void ReadNcFormat(TConvSettings& settings) {
    settings.NcMode =
        Reg::IniReadInteger(kNcModeKey) == 1 ? TNcMode::nmStandard : TNcMode::nmLiteral;
    settings.PenZ = Reg::IniReadInteger(kPenZKey);
    settings.PenSource =
        Reg::IniReadInteger(kPenSourceKey) == 1 ? TPenSource::psSpindle : TPenSource::psZ;
    settings.ToolPens = Reg::IniReadInteger(kToolPensKey) == 1;
    settings.DrillMarks = Reg::IniReadInteger(kDrillMarksKey) == 1;
}

std::string PenLevelText(std::int32_t thousandths) {
    const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(thousandths));
    std::string text = (thousandths < 0 ? "-" : "") + std::to_string(magnitude / 1000);
    if (std::int64_t fraction = magnitude % 1000) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 3 - digits.size(), '0');
        while (digits.back() == '0')
            digits.pop_back();
        text += "." + digits;
    }
    return text;
}

std::optional<std::int32_t> PenLevelThousandths(std::string_view text) {
    const std::optional<long double> value = ParseFieldNumber(text);
    if (!value || std::fabs(*value) > 1000.0005L) return std::nullopt;
    return static_cast<std::int32_t>(std::lround(static_cast<double>(*value * 1000)));
}

std::optional<std::string> StepPenLevel(std::string_view text, long double step) {
    const std::optional<long double> value = ParseFieldNumber(text);
    if (!value) return std::nullopt;
    const long double stepped = std::fmax(-1000, std::fmin(1000, *value + step));
    return PenLevelText(
        static_cast<std::int32_t>(std::lround(static_cast<double>(stepped * 1000))));
}

} // namespace plotalon
