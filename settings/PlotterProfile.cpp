#include "settings/PlotterProfile.h"

#include "settings/Reg.h"

namespace plotalon {

namespace {

int ReadInteger(std::string_view key, int fallback, int min, int max) {
    const std::optional<std::int32_t> value = Reg::ParseWholeNumber(Reg::IniReadString(key));
    return value && *value >= min && *value <= max ? *value : fallback;
}

template <class Enum>
Enum ReadWord(std::string_view key, Enum fallback, std::optional<Enum> (*parse)(std::string_view)) {
    return parse(Reg::IniReadString(key)).value_or(fallback);
}

} // namespace

TPlotterSettings ReadPlotterSettings() {
    Reg::IniSection = "plotter";
    const TPlotterSettings d;
    TPlotterSettings s;
    s.Port = Reg::IniReadString("port");
    s.Line.Baud = ReadInteger("baud", d.Line.Baud, 1, 4000000);
    s.Line.DataBits = ReadInteger("databits", d.Line.DataBits, 7, 8);
    s.Line.Parity = ReadWord("parity", d.Line.Parity, &ParseParity);
    s.Line.StopBits = ReadInteger("stopbits", d.Line.StopBits, 1, 2);
    s.Line.Handshake = ReadWord("handshake", d.Line.Handshake, &ParseHandshake);
    s.BlockSize = ReadInteger("block", d.BlockSize, 1, kMaxBlockSize);
    s.Init = Reg::IniReadString("init");
    s.RangeMin = ReadInteger("rangemin", d.RangeMin, INT32_MIN, INT32_MAX);
    s.RangeMax = ReadInteger("rangemax", d.RangeMax, INT32_MIN, INT32_MAX);
    if (s.RangeMin > s.RangeMax) {
        s.RangeMin = d.RangeMin;
        s.RangeMax = d.RangeMax;
    }
    s.TimeoutSeconds = ReadInteger("timeout", d.TimeoutSeconds, 1, kMaxTimeoutSeconds);
    return s;
}

void WritePlotterSettings(const TPlotterSettings& s) {
    Reg::IniSection = "plotter";
    Reg::IniWriteString("port", s.Port);
    Reg::IniWriteString("baud", std::to_string(s.Line.Baud));
    Reg::IniWriteString("databits", std::to_string(s.Line.DataBits));
    Reg::IniWriteString("parity", ParityName(s.Line.Parity));
    Reg::IniWriteString("stopbits", std::to_string(s.Line.StopBits));
    Reg::IniWriteString("handshake", HandshakeName(s.Line.Handshake));
    Reg::IniWriteString("block", std::to_string(s.BlockSize));
    Reg::IniWriteString("init", s.Init);
    Reg::IniWriteString("rangemin", std::to_string(s.RangeMin));
    Reg::IniWriteString("rangemax", std::to_string(s.RangeMax));
    Reg::IniWriteString("timeout", std::to_string(s.TimeoutSeconds));
}

} // namespace plotalon
