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
    comment_ = MakeAttribute("Comment", clGray, fsBold | fsItalic);
    identifier_ = MakeAttribute("Identifier", clGray, fsBold | fsItalic);
    label_ = MakeAttribute("Label", clRed, fsBold);
    key_ = MakeAttribute("Key", clLime, 0);
    number_ = MakeAttribute("Number", clNavy, fsBold);
    satz_ = MakeAttribute("Marker", clGray, fsItalic);
    space_ = MakeAttribute("Space", clNone, 0);
    symbol_ = MakeAttribute("Symbol", clLime, 0);
    SetAttributesOnChange(TAttributeChangeEvent::Of<&TNCSyn::DefHighlightChange>(
        static_cast<TCodeCustomHighlighter*>(this)));
    BuildDispatchTable();
    SetDefaultFilter("All files (*.*)|*.*");
    range_ = 0;
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
        procs_[c] = proc;
    }
}

TCodeHighlighterAttributes* TNCSyn::DefaultAttribute(int index) const {
    switch (index) {
    case daComment:
        return comment_;
    case daKeyword:
        return key_;
    case daWhitespace:
        return space_;
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
    line_ = text.empty() ? "" : text.data();
    length_ = text.size();
    run_ = 0;
    currentLineIndex_ = lineIndex;
    NextToken();
}

void TNCSyn::NextToken() {
    start_ = run_;
    (this->*procs_[At(run_)])();
}

std::string TNCSyn::TokenText() const {
    return std::string(line_ + start_, run_ - start_);
}

TCodeHighlighterAttributes* TNCSyn::TokenAttribute() const {
    switch (kind_) {
    case tkComment:
        return comment_;
    case tkIdentifier:
        return identifier_;
    case tkLabel:
        return label_;
    case tkNumber:
        return number_;
    case tkSpace:
        return space_;
    case tkSatz:
        return satz_;
    case tkOther:
        return identifier_;
    default:
        return nullptr; // Key, LineEnd, Symbol: the editor's own font
    }
}

void TNCSyn::CommentProc() {
    kind_ = tkComment;
    ++run_;
    for (;;) {
        unsigned char c = At(run_);
        if (c == 0 || c == '\n' || c == '\r') return;
        ++run_;
        if (c == kCommentClose) return;
    }
}

void TNCSyn::CloseParenProc() {
    kind_ = tkSymbol;
    ++run_;
}

void TNCSyn::CRProc() {
    kind_ = tkSpace;
    run_ += At(run_ + 1) == '\n' ? 2 : 1;
}

void TNCSyn::LetterProc() {
    kind_ = tkLabel;
    ++run_;
}

void TNCSyn::LFProc() {
    kind_ = tkSpace;
    ++run_;
}

void TNCSyn::LineEndProc() {
    kind_ = tkLineEnd;
}

void TNCSyn::NumberProc() {
    kind_ = tkNumber;
    ++run_;
    while (IsNumberByte(At(run_)))
        ++run_;
}

void TNCSyn::SpaceProc() {
    kind_ = tkSpace;
    ++run_;
    while (IsSpaceByte(At(run_)))
        ++run_;
}

void TNCSyn::OtherProc() {
    kind_ = tkOther;
    ++run_;
}

} // namespace plotalon
