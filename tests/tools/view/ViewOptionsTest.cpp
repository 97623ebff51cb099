#include "tools/view/ViewOptions.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(ViewOptions, ReadsEveryOption) {
    const TViewOptions text = ParseViewArguments(
        {"teil.nc", "--png", "teil.png", "--scale", "3", "--lines", "1000", "--select", "2,1,9,4"});
    EXPECT_EQ(text.File, "teil.nc");
    EXPECT_EQ(text.Png, "teil.png");
    EXPECT_FALSE(text.Plot);
    EXPECT_EQ(text.Scale, 3);
    EXPECT_EQ(text.Lines, 1000);
    EXPECT_TRUE(text.Select);
    EXPECT_EQ(text.From, (TCodePoint{2, 1}));
    EXPECT_EQ(text.To, (TCodePoint{9, 4}));

    const TViewOptions plot = ParseViewArguments({"--plot", "teil.plt", "--png", "TEIL.SVG"});
    EXPECT_TRUE(plot.Plot);
    EXPECT_EQ(plot.File, "teil.plt");
    EXPECT_EQ(plot.Png, "TEIL.SVG");
    EXPECT_EQ(plot.Lines, 30);
    EXPECT_EQ(plot.Scale, 1);
    EXPECT_FALSE(plot.Select);

    // Help needs no file.
    EXPECT_TRUE(ParseViewArguments({"--help"}).Help);
    EXPECT_TRUE(ParseViewArguments({"--plot", "-h"}).Help);
}

TEST(ViewOptions, WrongCallsNameTheirFault) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "Keine Datei angegeben"},
        {{"--png", "a.png"}, "Keine Datei angegeben"},
        {{"a.nc", "b.nc"}, "Nur eine Datei erlaubt: b.nc"},
        {{"a.nc", "--bunt"}, "Unbekannte Option: --bunt"},
        {{"a.nc", "-x"}, "Unbekannte Option: -x"},
        {{"a.nc", "--png"}, "Option --png erwartet einen Wert"},
        {{"a.nc", "--png", ""}, "Option --png erwartet einen Dateinamen"},
        {{"a.nc", "--lines", "0"}, "Ungültige Zahl für --lines: 0 (erlaubt 1 bis 1000)"},
        {{"a.nc", "--lines", "1001"}, "Ungültige Zahl für --lines: 1001"},
        {{"a.nc", "--lines", "3x"}, "Ungültige Zahl für --lines: 3x"},
        {{"a.nc", "--scale", "9"}, "Ungültige Zahl für --scale: 9 (erlaubt 1 bis 8)"},
        {{"a.nc", "--scale", ""}, "Ungültige Zahl für --scale: "},
        {{"a.nc", "--select", "1,2,3"}, "--select erwartet X1,Y1,X2,Y2"},
        {{"a.nc", "--select", "1,2,3,4,5"}, "--select erwartet X1,Y1,X2,Y2"},
        {{"a.nc", "--select", "0,1,2,3"}, "--select erwartet X1,Y1,X2,Y2"},
        {{"a.nc", "--select", "1;2;3;4"}, "--select erwartet X1,Y1,X2,Y2"},
        {{"--plot", "a.plt", "--lines", "5"}, "--lines gilt nicht mit --plot"},
        {{"--plot", "a.plt", "--png", "a.jpg"}, "Bild muss auf .svg oder .png enden: a.jpg"},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& a : c.args)
            joined += "[" + a + "]";
        try {
            ParseViewArguments(c.args);
            ADD_FAILURE() << joined << " was accepted";
        } catch (const EViewUsage& e) {
            EXPECT_NE(e.Message().find(c.message), std::string::npos)
                << joined << ": " << e.Message();
        }
    }
}

} // namespace
} // namespace plotalon
