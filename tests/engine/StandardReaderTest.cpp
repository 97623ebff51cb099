#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string_view>

#include "engine/ConversionRun.h"
#include "engine/NcWords.h"
#include "platform/Errors.h"
#include "tests/engine/CamPrograms.h"

namespace plotalon {
namespace {

using Lines = std::vector<std::string>;

// "X10.5 Y-3" for the words of a line, or "! message" for the fault it raises, or "%".
std::string Words(const std::string& text) {
    TNcLine line;
    try {
        ReadNcWords(text, line);
    } catch (const ENcError& e) {
        return "! " + e.Message();
    }
    if (line.Percent) return "%";
    std::ostringstream out;
    for (std::size_t i = 0; i < line.Count; ++i)
        out << (i ? " " : "") << line.Words[i].Letter << static_cast<double>(line.Words[i].Value);
    return out.str();
}

TEST(NcWords, TokensCommentsAndRefusals) {
    const struct {
        const char* line;
        const char* words;
    } cases[] = {
        {"G1 X10.5 Y-3", "G1 X10.5 Y-3"},
        {"g1 x 1 0 y + 1 . 5", "G1 X10 Y1.5"}, // blanks anywhere, either case, a "+"
        {"G01X5.Y-.5", "G1 X5 Y-0.5"},
        {"N10 G0 X1", "N10 G0 X1"},
        {"/G0 X1", "G0 X1"}, // block delete off: the line is run
        {"G0 X1 (Nr. 1: Kontur G41) Y2", "G0 X1 Y2"},
        {"G0 X1 ; G42 Y7", "G0 X1"},
        {"(MAX) G1 X5", "G1 X5"},
        {"G0 X1 (a)(b)", "G0 X1"},
        {"\t G90.1 ", "G90.1"},
        {"", ""},
        {"(nur ein Kommentar)", ""},
        {"  %  ", "%"},
        {"G0 X", "! Zahl fehlt nach X"},
        {"G0 X Y1", "! Zahl fehlt nach X"},
        {"G1 X.", "! Zahl fehlt nach X"},
        {"G1 X-", "! Zahl fehlt nach X"},
        {"G1 X--1", "! Zahl fehlt nach X"},
        {"G1 X1.2.3", "! Ungültige Zahl nach X"},
        {"G0 X1 (a (b) c)", "! Kommentar in einem Kommentar"},
        {"G0 X1 (offen", "! Kommentar ohne schließende Klammer"},
        {"G0 X[1+2]", "! Ausdrücke in eckigen Klammern werden nicht unterstützt"},
        {"#1=5", "! Parameter (#) werden nicht unterstützt"},
        {"G0 X#1", "! Parameter (#) werden nicht unterstützt"},
        {"O100 sub", "! O-Wörter (Unterprogramme, Schleifen) werden nicht unterstützt"},
        {"G0 N5 X1", "! N-Wort nur am Anfang des Satzes erlaubt"},
        {"G0 X1 * 2", "! Zeichen „*“ ist hier nicht erlaubt"},
        {"% abc", "! Zeichen „%“ ist hier nicht erlaubt"},
        {"G0 X1 / Y2", "! Zeichen „/“ ist hier nicht erlaubt"},
        {"G0 X\xb5", "! Zahl fehlt nach X"},
        {"G0 \xb5", "! Zeichen mit dem Code 181 ist hier nicht erlaubt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Words(c.line), c.words) << c.line;
}

// The number of a word by the rule, plainly: blanks anywhere, a sign, every digit accumulated
// in extended precision, one division. The reader takes a shortcut for the plain form; its
// values must be the same bits.
long double NumberByTheRule(std::string_view text) {
    std::string compact;
    for (const char c : text)
        if (c != ' ' && c != '\t') compact += c;
    std::size_t i = 0;
    bool negative = false;
    if (i < compact.size() && (compact[i] == '-' || compact[i] == '+'))
        negative = compact[i++] == '-';
    long double digits = 0, power = 1;
    for (bool point = false; i < compact.size(); ++i) {
        if (compact[i] == '.') {
            point = true;
            continue;
        }
        digits = digits * 10 + (compact[i] - '0');
        if (point) power *= 10;
    }
    return negative ? -(digits / power) : digits / power;
}

TEST(NcWords, NumbersGiveTheBitsOfTheRuleForEveryDigitCount) {
    std::mt19937_64 random(18);
    const auto blank = [&random] { return random() % 4 == 0 ? (random() % 2 ? " " : "\t") : ""; };
    for (int n = 0; n < 100000; ++n) {
        const std::size_t count = 1 + random() % 30, point = random() % (count + 2);
        std::string number = random() % 3 == 0 ? "-" : random() % 5 == 0 ? "+" : "";
        for (std::size_t k = 0; k < count; ++k) {
            if (k == point) number += ".";
            number += blank();
            number += static_cast<char>('0' + random() % 10);
        }
        if (point == count) number += ".";
        const std::string line = "X" + number + (random() % 2 ? " Y1" : "");
        TNcLine words;
        ReadNcWords(line, words);
        const long double expected = NumberByTheRule(number);
        ASSERT_EQ(std::memcmp(&words.Words[0].Value, &expected, 10), 0) << line;
        std::string written = number;
        std::erase_if(written, [](char c) { return c == ' ' || c == '\t'; });
        ASSERT_EQ(WordText(words.Words[0]), "X" + written) << line;
    }
}

class StandardReading : public ::testing::Test {
protected:
    StandardReading() {
        settings_.NcMode = TNcMode::nmStandard;
        settings_.Factor = 40;
        settings_.HpglType = 1;
        settings_.Deg = 90;
    }
    // The program's lines as HPGL, or "! message" where the run stops.
    Lines Run(const Lines& program) {
        TLineVector source(program), none, target;
        TModalState state;
        TConversionRun run(settings_, state, target);
        try {
            run.Execute(source, none, none);
        } catch (const ENcLineError& e) {
            target.Lines.push_back("! " + e.Message());
        }
        return target.Lines;
    }
    TConvSettings settings_;
};

TEST_F(StandardReading, ProgramsDrawAsTheMachineMoves) {
    const struct {
        const char* what;
        std::uint8_t type;
        Lines program;
        Lines hpgl;
    } cases[] = {
        {"plunge, G01 line, quarter arc by I/J as chords, retract lifts the pen",
         1,
         {"%", "G90 G94 G17 G91.1", "G21", "G00 X0 Y0 Z1.", "G01 Z-1. F100", "G01 X10",
          "G03 X20 Y10 I0 J10.", "G00 Z5", "M30", "%"},
         {"PU0,0;", "PD;", "PA400,0;", "PA800,400;", "PU800,400;"}},
        {"the same arc as one AT in HPGL 2",
         2,
         {"G0 X10 Y0 Z-1", "G3 X20 Y10 I0 J10 F100"},
         {"PU400,0;", "PD;", "AT683,117,800,400;", "PU800,400;"}},
        {"inch values times 25.4: 1016 units an inch at factor 40",
         1,
         {"G20 G0 X1 Y1", "G1 Z-0.1 F10", "G1 X2", "G21 G1 X76.2", "M2"},
         {"PU1016,1016;", "PD;", "PA2032,1016;", "PA3048,1016;", "PU3048,1016;"}},
        {"incremental moves and centres, back to absolute",
         1,
         {"G0 X10 Y10 Z-1", "G91 G1 X5 F100", "Y5", "G2 X5 Y-5 I0 J-5", "G90 G1 X0"},
         {"PU400,400;", "PD600,400;", "PA600,600;", "PA800,400;", "PA0,400;", "PU0,400;"}},
        {"absolute centres (G90.1)",
         1,
         {"G90.1 G0 X10 Y0 Z-1", "G3 X0 Y10 I0 J0 F100"},
         {"PU400,0;", "PD0,400;", "PU0,400;"}},
        {"full circle by I/J: two halves in HPGL 2",
         2,
         {"G0 X10 Y0 Z-1", "G2 I-10 J0 F100"},
         {"PU400,0;", "PD;", "AT0,-400,-400,0;", "AT0,400,400,0;", "PU400,0;"}},
        {"full circle with its end written out, as chords",
         1,
         {"G0 X10 Y0 Z-1", "G2 X10 Y0 I-10 J0 F100"},
         {"PU400,0;", "PD0,-400;", "PA-400,0;", "PA0,400;", "PA400,0;", "PU400,0;"}},
        {"negative R takes the longer arc, split at its middle",
         2,
         {"G0 X0 Y0 Z-1", "G2 X10 Y0 R-6 F100"},
         {"PU0,0;", "PD;", "AT-11,246,200,373;", "AT411,246,400,0;", "PU400,0;"}},
        {"positive R the shorter one",
         2,
         {"G0 X0 Y0 Z-1", "G2 X10 Y0 R6 F100"},
         {"PU0,0;", "PD;", "AT200,107,400,0;", "PU400,0;"}},
        {"a helix down through the pen level draws its lower half",
         1,
         {"G0 X10 Y0 Z1", "G2 Z-1 I-10 F100"},
         {"PU400,0;", "PU-400,0;", "PD0,400;", "PA400,0;", "PU400,0;"}},
        {"ramps through the pen level draw the part at or below it",
         1,
         {"G0 X0 Y0 Z1", "G1 X10 Z-1 F100", "G1 X20 Z1"},
         {"PU0,0;", "PU200,0;", "PD400,0;", "PA600,0;", "PU800,0;"}},
        {"the tool starts at Z0, which is at the pen level",
         1,
         {"G1 X1 F100", "G0 X2", "G1 X3"},
         {"PU0,0;", "PD40,0;", "PU80,0;", "PD120,0;", "PU120,0;"}},
        {"after G28 the pen stays up until a move sets Z; M30 ends the program",
         1,
         {"G0 X1 Y1 Z-1", "G1 X2 F100", "G28", "G1 X3", "G0 X4 Y4", "G1 Z-1", "G1 X5", "M30",
          "G1 X9", "this line is not read"},
         {"PU40,40;", "PD80,40;", "PU0,0;", "PU120,0;", "PU160,160;", "PD200,160;", "PU200,160;"}},
        {"G91 G28 Z0 keeps X and Y; G53 moves are travel, and a G53 Z is unknown",
         1,
         {"G0 X1 Y1 Z-1", "G91 G28 Z0", "G90 G1 X2 F100", "G0 Z-1", "G53 G1 X3", "G1 X4",
          "G53 G0 Z-1", "G1 X5"},
         {"PU40,40;", "PU80,40;", "PU120,40;", "PD160,40;", "PU160,40;", "PU200,40;"}},
        {"a closing % ends the program", 1, {"", "%", "G0 X1 Y1 Z-1", "%", "G1 X2"}, {"PU40,40;"}},
        {"what does not shape the drawing passes",
         1,
         {"N10 G90 G94 G17 G40 G49 G54 G61", "G64 P0.01 Q0.01", "T1 M6", "G0 G43 Z15. H1",
          "S12000 M3 M8", "G4 P0.5", "G93 G98", "G95 G99", "G94 G80", "M0", "M1", "F-0 M5 M9"},
         {"PU0,0;"}},
    };
    for (const auto& c : cases) {
        settings_.HpglType = c.type;
        EXPECT_EQ(Run(c.program), c.hpgl) << c.what;
    }
}

TEST_F(StandardReading, PenLevelInProgramUnits) {
    settings_.PenZ = -500; // -0.5 in the program's units
    EXPECT_EQ(Run({"G0 X0 Y0 Z0", "G1 X1 F1", "G1 Z-0.5", "G1 X2"}),
              (Lines{"PU0,0;", "PU40,0;", "PD;", "PA80,0;", "PU80,0;"}));
    EXPECT_EQ(Run({"G20 G0 X0 Y0 Z-0.1", "G1 X1 F1", "G1 Z-0.5", "G1 X2"}),
              (Lines{"PU0,0;", "PU1016,0;", "PD;", "PA2032,0;", "PU2032,0;"}));
}

TEST_F(StandardReading, SpindlePenIgnoresZ) {
    settings_.PenSource = TPenSource::psSpindle;
    settings_.HpglType = 2;
    EXPECT_EQ(Run({"G0 X0 Y0 Z5", "M3 S1000", "G1 X10 F100", "G1 X20 M5", "G1 X30", "M4",
                   "G2 X40 Y0 R5", "T2 M6", "G1 X50", "M3", "G0 X60", "G1 X70", "M2"}),
              (Lines{"PU0,0;", "PD400,0;", "PU400,0;", "PU800,0;", "PU1200,0;", "PD;",
                     "AT1400,200,1600,0;", "PU1600,0;", "PU2000,0;", "PU2400,0;", "PD2800,0;",
                     "PU2800,0;"}));
}

TEST_F(StandardReading, ToolPensSelectPensOnlyWhenAskedFor) {
    const Lines program{"T2 M6", "G0 X1 Y1 Z-1", "G1 X2 F100", "T0", "M6", "M2"};
    EXPECT_EQ(Run(program), (Lines{"PU40,40;", "PD80,40;", "PU80,40;"}));
    settings_.ToolPens = true;
    EXPECT_EQ(Run(program), (Lines{"SP2;", "PU40,40;", "PD80,40;", "PU80,40;", "SP0;"}));
    EXPECT_EQ(Run({"G0 X1", "T9 M6"}), (Lines{"PU40,0;", "! Zeile 2: T9: Stifte gibt es nur "
                                                         "von 1 bis 8 (T0: kein Stift)"}));
    // A block that faults after its pen change writes nothing of itself.
    EXPECT_EQ(Run({"G0 X1", "T2 M6 G2 X5"}),
              (Lines{"PU40,0;", "! Zeile 2: Bogen ohne I, J oder R"}));
}

TEST_F(StandardReading, DrillingCyclesMoveAsLinuxCncAndMarkHolesOnRequest) {
    // Holes at (1,1) and (2,1); the second returns to R (G99), the first to the start (G98).
    const Lines program{"G0 Z5", "G98 G81 X1 Y1 Z-1 R1 F100", "G99 X2", "G80", "G1 X3"};
    EXPECT_EQ(Run(program), (Lines{"PU0,0;", "PU40,40;", "PU80,40;", "PU120,40;"}));
    settings_.DrillMarks = true;
    EXPECT_EQ(Run(program), (Lines{"PU0,0;", "PU40,40;", "PD;", "PU40,40;", "PU80,40;", "PD;",
                                   "PU80,40;", "PU120,40;"}));
    // After G98 the tool is back at Z5, after G99 at R: a feed there stays above the level
    // either way. A hole that ends above the pen level gets no dot; incremental cycles with
    // repeats step from hole to hole.
    EXPECT_EQ(Run({"G0 Z5", "G83 X1 Y1 Z0.5 R1 Q0.2 F100", "G91 G81 X1 Y0 Z-3 R-2 L2", "G90"}),
              (Lines{"PU0,0;", "PU40,40;", "PU80,40;", "PD;", "PU80,40;", "PU120,40;", "PD;",
                     "PU120,40;"}));
}

// Each refused construct stops the run at its line with a German message naming it.
TEST_F(StandardReading, RefusedConstructsNameTheLineAndTheWord) {
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"G41 D1", "G41 wird nicht unterstützt"},
        {"G42", "G42 wird nicht unterstützt"},
        {"G18", "G18 wird nicht unterstützt"},
        {"G19 G2 X1", "G19 wird nicht unterstützt"},
        {"G5 X1 Y1 I1 J1 P1 Q1", "G5 wird nicht unterstützt"},
        {"G33 Z-1 K1", "G33 wird nicht unterstützt"},
        {"G92 X0", "G92 wird nicht unterstützt"},
        {"G38.2 Z-5", "G38.2 wird nicht unterstützt"},
        {"M98 P100", "M98 wird nicht unterstützt"},
        {"G1 X1 A5", "A5 wird nicht unterstützt"},
        {"G2 X1 K0.5", "K0.5 wird nicht unterstützt"},
        {"G1 X1 X2", "X steht zweimal im Satz"},
        {"G0 G1 X1", "G0 und G1 schließen sich aus (dieselbe modale Gruppe)"},
        {"M3 M5", "M3 und M5 schließen sich aus (dieselbe modale Gruppe)"},
        {"G80 X1", "G80 steht mit Achswerten"},
        {"G28 G0 X1", "G28 und G0 verwenden beide die Achswerte"},
        {"G2 X10 Y0", "Bogen ohne I, J oder R"},
        {"G2 X10 Y0 R5 I5", "Bogen mit R und I, J zugleich"},
        {"G2 X1 Y1 R0.49", "Radius R 0.4900 mm ist zu klein für den Endpunkt (halbe Sehne 0.5000 "
                           "mm)"},
        {"G2 X1 Y1 R1 Z-1 P2", "P (mehrere Umläufe) wird bei G2 und G3 nicht unterstützt"},
        {"G2 X10 Y1 I5.1", "Bogen: Start- und Endpunkt liegen nicht auf einem Kreis um I, J "
                           "(Radius 5.1000 und 4.9000 mm)"},
        {"G2 X10 I0 J0", "Bogen mit Radius 0: der Mittelpunkt liegt auf dem Startpunkt"},
        {"G0 X1 I2", "I und J gehören zu einem Bogen (G2, G3)"},
        {"G1 X1 R2", "R gehört zu einem Bogen (G2, G3) oder Bohrzyklus"},
        {"G1 X1 P3", "P gehört zu G4, G64 oder G82"},
        {"G1 X1 Q1", "Q gehört zu G73, G83 oder G64"},
        {"G1 X1 L2", "L gehört zu einem Bohrzyklus"},
        {"G0 Z1 H1", "H steht ohne G43"},
        {"G4", "G4 ohne Verweilzeit P"},
        {"T1.5", "T muss eine ganze Zahl ab 0 sein"},
        {"F-1", "F darf nicht negativ sein"},
        {"G81 X1 Y1 Z-1", "Bohrzyklus ohne R-Ebene"},
        {"G81 X1 Y1 R1", "Bohrzyklus ohne Bohrtiefe Z"},
        {"G83 X1 Y1 Z-1 R1", "G83 ohne Zustellung Q (größer als 0)"},
        {"G81 X1 Y1 Z2 R1", "R-Ebene liegt unter der Bohrtiefe Z"},
        {"G81 X1 Y1 Z-1 R1 L0", "L muss eine ganze Zahl ab 1 sein"},
        {"G91 G81 X1 Y1 Z-1 R1 L999999999", "L darf höchstens 100000 sein"},
        {"G91 G53 G0 Z0", "G53 ist im Kettenmaß (G91) nicht möglich"},
        {"G53 G2 X1 R1", "G53 steht nur mit G0 oder G1"},
        {"%", "„%“ steht nur in der ersten und der letzten Zeile"},
        {"G1 X999999999999999999", "Koordinate außerhalb des Bereichs des Plotters"},
    };
    for (const auto& c : cases) {
        // The faulty line comes third; what the first two drew stays.
        EXPECT_EQ(Run({"G0 X0 Y0 Z-1", "G1 Y1 F100", c.line, "G1 X5"}),
                  (Lines{"PU0,0;", "PD0,40;", std::string("! Zeile 3: ") + c.message}))
            << c.line;
    }
    // An R arc cannot describe a full circle; axis words need a motion first.
    EXPECT_EQ(Run({"G0 X1 Y1", "G2 X1 Y1 R5"}),
              (Lines{"PU40,40;", "! Zeile 2: Vollkreis mit R ist nicht möglich: Mittelpunkt "
                                 "mit I und J angeben"}));
    EXPECT_EQ(Run({"X1 Y1"}),
              (Lines{"! Zeile 1: Achswerte ohne Bewegungsart (G0, G1, G2, G3 oder Bohrzyklus)"}));
}

// Lines of random words, now and then with junk among them, either convert or stop at a
// line with a message; nothing else, and never a hang.
TEST_F(StandardReading, ArbitraryWordsConvertOrStopWithAMessage) {
    std::mt19937 random(2027);
    const char* const codes[] = {"G0",    "G1",  "G2",  "G3",  "G17", "G20", "G21", "G28", "G30",
                                 "G53",   "G73", "G80", "G81", "G82", "G83", "G90", "G91", "G90.1",
                                 "G91.1", "G98", "G99", "M2",  "M3",  "M5",  "M6",  "T2"};
    const char letters[] = "XYZXYZIJRQPLF";
    const char* const numbers[] = {"0",   "1",  "2.5",   "-1", "-.5",
                                   "5.",  "10", "0.001", "-3", "99999999999999999999",
                                   "1 0", "+7"};
    const char* const junk[] = {"(", ")", ";", "%", "/", "-", "#", "[", "\xff", "(G41)", "N5"};
    for (int round = 0; round < 2000; ++round) {
        Lines program;
        for (int l = 0; l < 40; ++l) {
            std::string line;
            for (int w = static_cast<int>(random() % 6); w > 0; --w) {
                const unsigned kind = random() % 20;
                if (kind < 5)
                    line += codes[random() % std::size(codes)];
                else if (kind < 19)
                    line += std::string(1, letters[random() % (std::size(letters) - 1)]) +
                            numbers[random() % std::size(numbers)];
                else
                    line += junk[random() % std::size(junk)];
                line += ' ';
            }
            program.push_back(line);
        }
        settings_.HpglType = static_cast<std::uint8_t>(random() % 3);
        settings_.Deg = static_cast<std::int32_t>(random() % 400) - 20;
        settings_.PenZ = static_cast<std::int32_t>(random() % 3000) - 1500;
        settings_.PenSource = random() % 2 ? TPenSource::psZ : TPenSource::psSpindle;
        settings_.ToolPens = random() % 2;
        settings_.DrillMarks = random() % 2;
        const Lines out = Run(program);
        for (std::size_t i = 0; i + 1 < out.size(); ++i)
            ASSERT_NE(out[i].rfind("! ", 0), 0u) << "a fault before the end";
    }
    // CAM programs with a few characters changed: most lines stay valid, so the reading goes
    // deep before a change, if ever, stops it.
    const std::string replacements = "GXYZIJRMT0123456789.-+ ()%;#[/";
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::string text = test::TCamProgram(seed, seed % 5 == 0).Text;
        for (int change = static_cast<int>(random() % 4); change > 0; --change)
            text[random() % text.size()] = replacements[random() % replacements.size()];
        Lines program;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            program.push_back(line);
        settings_.HpglType = static_cast<std::uint8_t>(1 + random() % 2);
        settings_.PenSource = seed % 5 == 0 ? TPenSource::psSpindle : TPenSource::psZ;
        const Lines out = Run(program);
        for (std::size_t i = 0; i + 1 < out.size(); ++i)
            ASSERT_NE(out[i].rfind("! ", 0), 0u) << "a fault before the end";
    }
}

} // namespace
} // namespace plotalon
