#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "preview/HpglReader.h"
#include "preview/PlotFile.h"
#include "tests/support/TempDir.h"
#include "tools/convert/ConvertCli.h"

namespace plotalon {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;

class PreviewOption : public ::testing::Test {
protected:
    PreviewOption() {
        Dir.Write("main.ini", "[convert]\r\nfactor=40\r\ndeg=5\r\ntype=2\r\n");
        Dir.Write("vorspann.plt", "IN;SP1;");
        Dir.Write("nachspann.plt", "PU0,0;SP0;");
        Input = Dir.Write("flange.nc", TTempDir::Read(FIXTURES "/flange.nc"));
    }

    int Run(std::vector<std::string> args) {
        Err.str("");
        std::ostringstream out;
        args.push_back(Input);
        return RunConvertCli(args, Dir.Folder() + "/", out, Err);
    }

    // The picture that the preview library draws of an HPGL file.
    static std::string PictureOf(const std::string& plt, TPlotFileFormat format) {
        THpglReader reader;
        reader.ReadText(TTempDir::Read(plt));
        std::string bytes;
        WritePlotFile(reader.Plot(), format, [&](std::string_view b) { bytes += b; });
        return bytes;
    }

    TTempDir Dir;
    std::string Input;
    std::ostringstream Err;
};

TEST_F(PreviewOption, DrawsExactlyTheHpglItWrites) {
    const std::string plain = Dir.Path("plain.plt"), plt = Dir.Path("out.plt");
    ASSERT_EQ(Run({"-o", plain}), 0);
    for (const auto& [name, format] : {std::pair{"out.svg", TPlotFileFormat::pfSvg},
                                       std::pair{"OUT.PNG", TPlotFileFormat::pfPng}}) {
        SCOPED_TRACE(name);
        const std::string picture = Dir.Path(name);
        EXPECT_EQ(Run({"-o", plt, "--preview", picture}), 0);
        EXPECT_EQ(Err.str(), "HPGL2-Konvertierung beendet\n");
        EXPECT_EQ(TTempDir::Read(plt), TTempDir::Read(plain));
        EXPECT_EQ(TTempDir::Read(picture), PictureOf(plt, format));
    }
    EXPECT_NE(TTempDir::Read(Dir.Path("out.svg")).find(">120,0 \xC3\x97 80,0 mm<"),
              std::string::npos);
    EXPECT_EQ(TTempDir::Read(Dir.Path("OUT.PNG")).rfind("\x89PNG\r\n", 0), 0u);
}

TEST_F(PreviewOption, MentionsWhatThePreviewLeftOut) {
    Dir.Write("vorspann.plt", "IN;SP1;LT2;VS20;");
    EXPECT_EQ(Run({"--preview", Dir.Path("p.svg")}), 0);
    EXPECT_EQ(Err.str(), "HPGL2-Konvertierung beendet\n"
                         "Vorschau: 1 Befehl nicht ausgewertet: LT 1\n");
    Dir.Write("vorspann.plt", "IN;SP1;LT2;\x1B.(;PA1,2,3");
    EXPECT_EQ(Run({"--preview", Dir.Path("p.svg")}), 0);
    EXPECT_EQ(Err.str(), "HPGL2-Konvertierung beendet\nVorschau: 3 Befehle nicht ausgewertet: "
                         "LT 1, PA fehlerhaft 1, Escape-Sequenzen 1\n");
}

TEST_F(PreviewOption, RefusesAndWritesNothing) {
    fs::create_directories(Dir.Path("folder.svg"));
    const std::string inputAsSvg = Dir.Write("part.svg", TTempDir::Read(Input));
    const std::string plt = Dir.Path("out.plt");
    struct Case {
        std::string preview, output;
        const char* message;
    };
    const Case cases[] = {
        {Dir.Path("p.txt"), plt, "Vorschau muss auf .svg oder .png enden"},
        {Dir.Path("svg"), plt, "Vorschau muss auf .svg oder .png enden"},
        {Dir.Path("same.svg"), Dir.Path("same.svg"),
         "Vorschau darf nicht die Ein- oder Ausgabedatei ersetzen"},
        {Dir.Path("missing/p.svg"), plt, "kann nicht erstellt werden"},
        {Dir.Path("folder.svg"), plt, "kann nicht erstellt werden"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preview);
        EXPECT_EQ(Run({"--preview", c.preview, "-o", c.output}), 2);
        EXPECT_NE(Err.str().find(c.message), std::string::npos) << Err.str();
        EXPECT_FALSE(fs::exists(c.output));
    }
    // The program's own input named as the preview (here an NC file called .svg).
    Input = inputAsSvg;
    EXPECT_EQ(Run({"--preview", Dir.Path("./part.svg")}), 2);
    EXPECT_EQ(TTempDir::Read(inputAsSvg), TTempDir::Read(FIXTURES "/flange.nc"));
    EXPECT_TRUE(fs::is_directory(Dir.Path("folder.svg")));
    EXPECT_EQ(fs::directory_iterator(Dir.Path("folder.svg")), fs::directory_iterator());
}

TEST_F(PreviewOption, AFaultyConversionLeavesTheOldPreview) {
    Dir.Write("bad.nc", "G0 X0 Y0\nG1 Z-1\nG2 X5 Y0\n"); // an arc without radius
    Input = Dir.Path("bad.nc");
    const std::string picture = Dir.Write("p.svg", "old picture");
    EXPECT_EQ(Run({"--preview", picture}), 1);
    EXPECT_EQ(TTempDir::Read(picture), "old picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Folder()), fs::directory_iterator()), 6);
}

} // namespace
} // namespace plotalon
