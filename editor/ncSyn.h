#pragma once
// The highlighter for DIN/ISO NC text. Classification is by byte class alone: every
// upper-case letter is an address letter, a run of digits, signs, points and commas a value,
// text from "(" to the first ")" a comment. No keywords, no state from line to line, so the
// range of every line is 0 and a rescan after an edit stops after the edited line.

#include "editor/CodeEditHighlighter.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace plotalon {

// Token kinds as the kind query returns them.
enum TNCTokenKind : int {
    tkComment = 0,
    tkIdentifier = 1, // never produced
    tkLabel = 2,
    tkKey = 3, // never produced
    tkLineEnd = 4,
    tkNumber = 5,
    tkSpace = 6,
    tkSymbol = 7,
    tkSatz = 8, // never produced
    tkOther = 9,
};

class TNCSyn : public TCodeCustomHighlighter {
public:
    TNCSyn();

    TCodeHighlighterAttributes* CommentAttri() const { return Comment; }
    TCodeHighlighterAttributes* IdentifierAttri() const { return Identifier; }
    TCodeHighlighterAttributes* LabelAttri() const { return Label; }
    TCodeHighlighterAttributes* KeyAttri() const { return Key; }
    TCodeHighlighterAttributes* NumberAttri() const { return Number; }
    TCodeHighlighterAttributes* SatzAttri() const { return Satz; }
    TCodeHighlighterAttributes* SpaceAttri() const { return Space; }
    TCodeHighlighterAttributes* SymbolAttri() const { return Symbol; }

    std::string LanguageName() const override { return "NC"; }
    TCodeHighlighterAttributes* DefaultAttribute(int index) const override;
    TCharSet IdentifierChars() const override;
    std::unique_ptr<TCodeCustomHighlighter> NewOfSameKind() const override;
    // Every NC block stands on its own line.
    bool CarriesRangeAcrossLines() const override { return false; }

    // The text is borrowed: it must stay alive and unchanged until the line is finished.
    void BeginLine(std::string_view text, int lineIndex) override;
    void NextToken() override;
    bool AtLineEnd() const override { return Kind == tkLineEnd; }
    std::string TokenText() const override;
    int TokenStart() const override { return static_cast<int>(Start); }
    int TokenKind() const override { return Kind; }
    TCodeHighlighterAttributes* TokenAttribute() const override;
    int LineIndex() const { return CurrentLineIndex; }

    TCodeRange RangeState() const override { return Range; }
    void SetRangeState(TCodeRange value) override { Range = static_cast<std::uint8_t>(value); }
    void ResetRangeState() override { Range = 0; }

protected:
    bool IsOfMyKind(const TCodeCustomHighlighter& source) const override;

private:
    using TScanProc = void (TNCSyn::*)();

    // The byte at p; past the end of the line this is the 0 that ends every line.
    unsigned char At(std::size_t p) const {
        return p < Length ? static_cast<unsigned char>(Line[p]) : 0;
    }
    TCodeHighlighterAttributes* MakeAttribute(const char* name, TColor foreground,
                                              TFontStyles style);
    void BuildDispatchTable();

    void CommentProc();
    void CloseParenProc();
    void CRProc();
    void LetterProc();
    void LFProc();
    void LineEndProc();
    void NumberProc();
    void SpaceProc();
    void OtherProc();

    TCodeHighlighterAttributes* Comment;
    TCodeHighlighterAttributes* Identifier;
    TCodeHighlighterAttributes* Label;
    TCodeHighlighterAttributes* Key;
    TCodeHighlighterAttributes* Number;
    TCodeHighlighterAttributes* Satz;
    TCodeHighlighterAttributes* Space;
    TCodeHighlighterAttributes* Symbol;

    std::array<TScanProc, 256> Procs{};
    const char* Line = "";
    std::size_t Length = 0;
    int CurrentLineIndex = 0;
    std::size_t Run = 0;
    std::size_t Start = 0;
    std::uint8_t Kind = tkLineEnd;
    std::uint8_t Range = 0;
};

} // namespace plotalon
