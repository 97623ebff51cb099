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

    TCodeHighlighterAttributes* CommentAttri() const { return comment_; }
    TCodeHighlighterAttributes* IdentifierAttri() const { return identifier_; }
    TCodeHighlighterAttributes* LabelAttri() const { return label_; }
    TCodeHighlighterAttributes* KeyAttri() const { return key_; }
    TCodeHighlighterAttributes* NumberAttri() const { return number_; }
    TCodeHighlighterAttributes* SatzAttri() const { return satz_; }
    TCodeHighlighterAttributes* SpaceAttri() const { return space_; }
    TCodeHighlighterAttributes* SymbolAttri() const { return symbol_; }

    std::string LanguageName() const override { return "NC"; }
    TCodeHighlighterAttributes* DefaultAttribute(int index) const override;
    TCharSet IdentifierChars() const override;
    std::unique_ptr<TCodeCustomHighlighter> NewOfSameKind() const override;
    // Every NC block stands on its own line.
    bool CarriesRangeAcrossLines() const override { return false; }

    // The text is borrowed: it must stay alive and unchanged until the line is finished.
    void BeginLine(std::string_view text, int lineIndex) override;
    void NextToken() override;
    bool AtLineEnd() const override { return kind_ == tkLineEnd; }
    std::string TokenText() const override;
    int TokenStart() const override { return static_cast<int>(start_); }
    int TokenKind() const override { return kind_; }
    TCodeHighlighterAttributes* TokenAttribute() const override;
    int LineIndex() const { return currentLineIndex_; }

    TCodeRange RangeState() const override { return range_; }
    void SetRangeState(TCodeRange value) override { range_ = static_cast<std::uint8_t>(value); }
    void ResetRangeState() override { range_ = 0; }

protected:
    bool IsOfMyKind(const TCodeCustomHighlighter& source) const override;

private:
    using TScanProc = void (TNCSyn::*)();

    // The byte at p; past the end of the line this is the 0 that ends every line.
    unsigned char At(std::size_t p) const {
        return p < length_ ? static_cast<unsigned char>(line_[p]) : 0;
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

    TCodeHighlighterAttributes* comment_;
    TCodeHighlighterAttributes* identifier_;
    TCodeHighlighterAttributes* label_;
    TCodeHighlighterAttributes* key_;
    TCodeHighlighterAttributes* number_;
    TCodeHighlighterAttributes* satz_;
    TCodeHighlighterAttributes* space_;
    TCodeHighlighterAttributes* symbol_;

    std::array<TScanProc, 256> procs_{};
    const char* line_ = "";
    std::size_t length_ = 0;
    int currentLineIndex_ = 0;
    std::size_t run_ = 0;
    std::size_t start_ = 0;
    std::uint8_t kind_ = tkLineEnd;
    std::uint8_t range_ = 0;
};

} // namespace plotalon
