#include "engine/NcBlock.h"

#include <cmath>

#include "engine/NcReader.h"

namespace plotalon {

namespace {

// The group of a G code given as ten times its number; ggGroups where it is not read.
TGGroup GroupOfG(int code10) {
    switch (code10) {
    case 0:
    case 10:
    case 20:
    case 30:
    case 730:
    case 800:
    case 810:
    case 820:
    case 830:
        return ggMotion;
    case 40:
    case 280:
    case 300:
    case 530:
        return ggNonModal;
    case 170:
        return ggPlane;
    case 900:
    case 910:
        return ggDistance;
    case 901:
    case 911:
        return ggArcDistance;
    case 930:
    case 940:
    case 950:
        return ggFeedMode;
    case 200:
    case 210:
        return ggUnits;
    case 400:
        return ggCutter;
    case 430:
    case 490:
        return ggToolLength;
    case 980:
    case 990:
        return ggRetract;
    case 540:
    case 550:
    case 560:
    case 570:
    case 580:
    case 590:
    case 591:
    case 592:
    case 593:
        return ggCoordinates;
    case 610:
    case 611:
    case 640:
        return ggPath;
    default:
        return ggGroups;
    }
}

TMGroup GroupOfM(int code) {
    switch (code) {
    case 0:
    case 1:
    case 2:
    case 30:
        return mgStop;
    case 6:
        return mgToolChange;
    case 3:
    case 4:
    case 5:
        return mgSpindle;
    case 7:
    case 8:
    case 9:
        return mgCoolant;
    default:
        return mgGroups;
    }
}

std::string MCodeText(int code) {
    return "M" + std::to_string(code);
}

// The code of a G or M word: a whole number, or for G one with a single decimal (G91.1).
// -1 for anything else, which no group holds.
int CodeOf(const TNcWord& word, long double scale) {
    const long double scaled = word.Value * scale;
    if (!(scaled >= 0 && scaled < 100000)) return -1;
    const int whole = static_cast<int>(scaled + 0.5L);
    if (std::fabs(scaled - static_cast<long double>(whole)) > 1e-6L) return -1;
    return whole;
}

[[noreturn]] void Unsupported(const std::string& word) {
    throw ENcError(word + " wird nicht unterstützt");
}

// How the codes of one letter are read: the factor that makes them whole numbers, their
// groups, and how a code is named in a message.
struct TCodeKind {
    long double Scale;
    int (*GroupOf)(int code); // Groups where no group holds the code
    int Groups;
    std::string (*Text)(int code);
};

const TCodeKind kGCodes{10, [](int code) { return static_cast<int>(GroupOfG(code)); }, ggGroups,
                        GCodeText};
const TCodeKind kMCodes{1, [](int code) { return static_cast<int>(GroupOfM(code)); }, mgGroups,
                        MCodeText};

// Puts the word's code into its group's slot; a code that no group holds, and a second code
// of one group, are refused.
void AddCode(const TNcWord& word, const TCodeKind& kind, int* slots) {
    const int code = CodeOf(word, kind.Scale);
    const int group = code < 0 ? kind.Groups : kind.GroupOf(code);
    if (group == kind.Groups) Unsupported(code < 0 ? WordText(word) : kind.Text(code));
    if (slots[group] >= 0)
        throw ENcError(kind.Text(slots[group]) + " und " + kind.Text(code) +
                       " schließen sich aus (dieselbe modale Gruppe)");
    slots[group] = code;
}

bool IsValueLetter(char letter) {
    switch (letter) {
    case 'F':
    case 'H':
    case 'I':
    case 'J':
    case 'L':
    case 'N':
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
    case 'T':
    case 'X':
    case 'Y':
    case 'Z':
        return true;
    default:
        return false;
    }
}

} // namespace

std::string GCodeText(int code10) {
    std::string text = "G" + std::to_string(code10 / 10);
    if (code10 % 10) text += "." + std::to_string(code10 % 10);
    return text;
}

void MakeNcBlock(const TNcLine& line, TNcBlock& block) {
    for (int& g : block.G)
        g = -1;
    for (int& m : block.M)
        m = -1;
    for (bool& has : block.Has)
        has = false;
    for (std::size_t i = 0; i < line.Count; ++i) {
        const TNcWord& word = line.Words[i];
        if (word.Letter == 'G') {
            AddCode(word, kGCodes, block.G);
        } else if (word.Letter == 'M') {
            AddCode(word, kMCodes, block.M);
        } else if (IsValueLetter(word.Letter)) {
            const int index = word.Letter - 'A';
            if (block.Has[index])
                throw ENcError(std::string(1, word.Letter) + " steht zweimal im Satz");
            block.Has[index] = true;
            block.Value[index] = word.Value;
        } else {
            Unsupported(WordText(word));
        }
    }
}

} // namespace plotalon
