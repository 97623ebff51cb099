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
        dir_.Write("main.ini", "[convert]\r\nfactor=40\r\ndeg=5\r\ntype=2\r\n");
        dir_.Write("vorspann.plt", "IN;SP1;");
        dir_.Write("nachspann.plt", "PU0,0;SP0;");
        input_ = dir_.Write("flange.nc", TTempDir::Read(FIXTURES "/flange.nc"));
    }

    int Run(std::vector<std::string> args) {
        err_.str("");
        std::ostringstream out;
        args.push_back(input_);
        return RunConvertCli(args, dir_.Folder() + "/", out, err_);
    }

    // The picture that the preview library draws of an HPGL file.
    static std::string PictureOf(const std::string& plt, TPlotFileFormat format) {
        THpglReader reader;
        reader.ReadText(TTempDir::Read(plt));
        std::string bytes;
        WritePlotFile(reader.Plot(), format, [&](std::string_view b) { bytes += b; });
        return bytes;
    }

    TTempDir dir_;
    std::string input_;
    std::ostringstream err_;
};

TEST_F(PreviewOption, DrawsExactlyTheHpglItWrites) {
    const std::string plain = dir_.Path("plain.plt"), plt = dir_.Path("out.plt");
    ASSERT_EQ(Run({"-o", plain}), 0);
    for (const auto& [name, format] : {std::pair{"out.svg", TPlotFileFormat::pfSvg},
                                       std::pair{"OUT.PNG", TPlotFileFormat::pfPng}}) {
        SCOPED_TRACE(name);
        const std::string picture = dir_.Path(name);
        EXPECT_EQ(Run({"-o", plt, "--preview", picture}), 0);
        EXPECT_EQ(err_.str(), "HPGL2-Konvertierung beendet\n");
        EXPECT_EQ(TTempDir::Read(plt), TTempDir::Read(plain));
        EXPECT_EQ(TTempDir::Read(picture), PictureOf(plt, format));
    }
    EXPECT_NE(TTempDir::Read(dir_.Path("out.svg")).find(">120,0 \xC3\x97 80,0 mm<"),
              std::string::npos);
    EXPECT_EQ(TTempDir::Read(dir_.Path("OUT.PNG")).rfind("\x89PNG\r\n", 0), 0u);
}

TEST_F(PreviewOption, MentionsWhatThePreviewLeftOut) {
    dir_.Write("vorspann.plt", "IN;SP1;LT2;VS20;");
    EXPECT_EQ(Run({"--preview", dir_.Path("p.svg")}), 0);
    EXPECT_EQ(err_.str(), "HPGL2-Konvertierung beendet\n"
                          "Vorschau: 1 Befehl nicht ausgewertet: LT 1\n");
    dir_.Write("vorspann.plt", "IN;SP1;LT2;\x1B.(;PA1,2,3");
    EXPECT_EQ(Run({"--preview", dir_.Path("p.svg")}), 0);
    EXPECT_EQ(err_.str(), "HPGL2-Konvertierung beendet\nVorschau: 3 Befehle nicht ausgewertet: "
                          "LT 1, PA fehlerhaft 1, Escape-Sequenzen 1\n");
}

TEST_F(PreviewOption, RefusesAndWritesNothing) {
    fs::create_directories(dir_.Path("folder.svg"));
    const std::string inputAsSvg = dir_.Write("part.svg", TTempDir::Read(input_));
    const std::string plt = dir_.Path("out.plt");
    struct Case {
        std::string preview, output;
        const char* message;
    };
    const Case cases[] = {
        {dir_.Path("p.txt"), plt, "Vorschau muss auf .svg oder .png enden"},
        {dir_.Path("svg"), plt, "Vorschau muss auf .svg oder .png enden"},
        {dir_.Path("same.svg"), dir_.Path("same.svg"),
         "Vorschau darf nicht die Ein- oder Ausgabedatei ersetzen"},
        {dir_.Path("missing/p.svg"), plt, "kann nicht erstellt werden"},
        {dir_.Path("folder.svg"), plt, "kann nicht erstellt werden"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preview);
        EXPECT_EQ(Run({"--preview", c.preview, "-o", c.output}), 2);
        EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
        EXPECT_FALSE(fs::exists(c.output));
    }
    // The program's own input named as the preview (here an NC file called .svg).
    input_ = inputAsSvg;
    EXPECT_EQ(Run({"--preview", dir_.Path("./part.svg")}), 2);
    EXPECT_EQ(TTempDir::Read(inputAsSvg), TTempDir::Read(FIXTURES "/flange.nc"));
    EXPECT_TRUE(fs::is_directory(dir_.Path("folder.svg")));
    EXPECT_EQ(fs::directory_iterator(dir_.Path("folder.svg")), fs::directory_iterator());
}

TEST_F(PreviewOption, AFaultyConversionLeavesTheOldPreview) {
    dir_.Write("bad.nc", "G0 X0 Y0\nG1 Z-1\nG2 X5 Y0\n"); // an arc without radius
    input_ = dir_.Path("bad.nc");
    const std::string picture = dir_.Write("p.svg", "old picture");
    EXPECT_EQ(Run({"--preview", picture}), 1);
    EXPECT_EQ(TTempDir::Read(picture), "old picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Folder()), fs::directory_iterator()), 6);
}

} // namespace
} // namespace plotalon
