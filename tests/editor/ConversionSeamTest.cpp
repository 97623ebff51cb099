// The panes' line lists serve the conversion engine directly: a loaded NC file is its source,
// a second list its target, and saving that list gives the PLT file.

#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "editor/CodeEditStringList.h"
#include "engine/ConversionRun.h"

namespace plotalon {
namespace {

namespace fs = std::filesystem;

TEST(ConversionSeam, LoadedSourceConvertsIntoATargetListThatSavesAsPlt) {
    const test::TTempDir temp;
    const fs::path dir = temp.Folder();
    std::ofstream(dir / "in.nc", std::ios::binary)
        << "G0 X0 Y0\nG1 Z-1\nG1 X10\nG3 X20 Y0 R5\nG0 Z5\nM30\n";

    TCodeEditStringList source, target;
    source.LoadFile((dir / "in.nc").string());
    target.AddLine("left over from the last run");
    target.ClearLines();

    TConvSettings settings;
    settings.Factor = 1000;
    settings.Deg = 45;
    settings.HpglType = 1;
    TModalState state;
    TConversionRun run(settings, state, target);
    EXPECT_EQ(run.Execute(source, TLineVector{"IN;SP1;"}, TLineVector{"SP0;"}),
              "HPGL1-Konvertierung beendet");

    target.SaveFile((dir / "out.plt").string());
    std::ifstream in(dir / "out.plt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, "IN;SP1;\r\nPU0,0;\r\nPD;\r\nPA10000,0;\r\nPA11464,-3536;\r\n"
                     "PA15000,-5000;\r\nPA18536,-3536;\r\nPA20000,0;\r\nSP0;\r\n");
}

} // namespace
} // namespace plotalon
