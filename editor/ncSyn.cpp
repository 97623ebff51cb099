#include "editor/ncSyn.h"

namespace plotalon {

namespace {

constexpr char kCommentOpen = '(';
constexpr char kCommentClose = ')';

bool IsNumberByte(unsigned char c) {
    return c == '+' || c == ',' || c == '-' || c == '.' || (c >= '0' && c <= '9');
}

// Blanks and control bytes, except CR, LF and the line-ending 0.
bool IsSpaceByte(unsigned char c) {
    return (c >= 1 && c <= 9) || c == 11 || c == 12 || (c >= 14 && c <= 32);
}

} // namespace

TNCSyn::TNCSyn() {
    Comment = MakeAttribute("Comment", clGray, fsBold | fsItalic);
    Identifier = MakeAttribute("Identifier", clGray, fsBold | fsItalic);
    Label = MakeAttribute("Label", clRed, fsBold);
    Key = MakeAttribute("Key", clLime, 0);
    Number = MakeAttribute("Number", clNavy, fsBold);
    Satz = MakeAttribute("Marker", clGray, fsItalic);
    Space = MakeAttribute("Space", clNone, 0);
    Symbol = MakeAttribute("Symbol", clLime, 0);
    SetAttributesOnChange(TAttributeChangeEvent::Of<&TNCSyn::DefHighlightChange>(
        static_cast<TCodeCustomHighlighter*>(this)));
    BuildDispatchTable();
    SetDefaultFilter("All files (*.*)|*.*");
    Range = 0;
}

TCodeHighlighterAttributes* TNCSyn::MakeAttribute(const char* name, TColor foreground,
                                                  TFontStyles style) {
    auto attr = std::make_unique<TCodeHighlighterAttributes>(name);
    attr->SetForeground(foreground);
    attr->SetStyle(style);
    return AddAttribute(std::move(attr));
}

void TNCSyn::BuildDispatchTable() {
    for (int b = 0; b < 256; ++b) {
        unsigned char c = static_cast<unsigned char>(b);
        TScanProc proc = &TNCSyn::OtherProc;
        if (c == kCommentClose)
            proc = &TNCSyn::CloseParenProc;
        else if (c == kCommentOpen)
            proc = &TNCSyn::CommentProc;
        else if (c == 13)
            proc = &TNCSyn::CRProc;
        else if (c >= 'A' && c <= 'Z')
            proc = &TNCSyn::LetterProc;
        else if (c == 10)
            proc = &TNCSyn::LFProc;
        else if (c == 0)
            proc = &TNCSyn::LineEndProc;
        else if (IsNumberByte(c))
            proc = &TNCSyn::NumberProc;
        else if (IsSpaceByte(c))
            proc = &TNCSyn::SpaceProc;
        Procs[c] = proc;
    }
}

TCodeHighlighterAttributes* TNCSyn::DefaultAttribute(int index) const {
    switch (index) {
    case daComment:
        return Comment;
    case daKeyword:
        return Key;
    case daWhitespace:
        return Space;
    default:
        return nullptr;
    }
}

TCharSet TNCSyn::IdentifierChars() const {
    TCharSet set;
    for (int c = '0'; c <= '9'; ++c)
        set.set(std::size_t(c));
    for (int c = 'A'; c <= 'Z'; ++c)
        set.set(std::size_t(c));
    for (int c = 'a'; c <= 'z'; ++c)
        set.set(std::size_t(c));
    set.set('_');
    return set;
}

std::unique_ptr<TCodeCustomHighlighter> TNCSyn::NewOfSameKind() const {
    return std::make_unique<TNCSyn>();
}

bool TNCSyn::IsOfMyKind(const TCodeCustomHighlighter& source) const {
    return dynamic_cast<const TNCSyn*>(&source) != nullptr;
}

void TNCSyn::BeginLine(std::string_view text, int lineIndex) {
    Line = text.empty() ? "" : text.data();
    Length = text.size();
    Run = 0;
    CurrentLineIndex = lineIndex;
    NextToken();
}

void TNCSyn::NextToken() {
    Start = Run;
    (this->*Procs[At(Run)])();
}

std::string TNCSyn::TokenText() const {
    return std::string(Line + Start, Run - Start);
}

TCodeHighlighterAttributes* TNCSyn::TokenAttribute() const {
    switch (Kind) {
    case tkComment:
        return Comment;
    case tkIdentifier:
        return Identifier;
    case tkLabel:
        return Label;
    case tkNumber:
        return Number;
    case tkSpace:
        return Space;
    case tkSatz:
        return Satz;
    case tkOther:
        return Identifier;
    default:
        return nullptr; // Key, LineEnd, Symbol: the editor's own font
    }
}

void TNCSyn::CommentProc() {
    Kind = tkComment;
    ++Run;
    for (;;) {
        unsigned char c = At(Run);
        if (c == 0 || c == '\n' || c == '\r') return;
        ++Run;
        if (c == kCommentClose) return;
    }
}

void TNCSyn::CloseParenProc() {
    Kind = tkSymbol;
    ++Run;
}

void TNCSyn::CRProc() {
    Kind = tkSpace;
    Run += At(Run + 1) == '\n' ? 2 : 1;
}

void TNCSyn::LetterProc() {
    Kind = tkLabel;
    ++Run;
}

void TNCSyn::LFProc() {
    Kind = tkSpace;
    ++Run;
}

void TNCSyn::LineEndProc() {
    Kind = tkLineEnd;
}

void TNCSyn::NumberProc() {
    Kind = tkNumber;
    ++Run;
    while (IsNumberByte(At(Run)))
        ++Run;
}

void TNCSyn::SpaceProc() {
    Kind = tkSpace;
    ++Run;
    while (IsSpaceByte(At(Run)))
        ++Run;
}

void TNCSyn::OtherProc() {
    Kind = tkOther;
    ++Run;
}

} // namespace plotalon
