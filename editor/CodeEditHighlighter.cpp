#include "editor/CodeEditHighlighter.h"

#include <algorithm>
#include <cctype>
#include <typeinfo>

namespace plotalon {

namespace {

int CompareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = std::toupper(static_cast<unsigned char>(a[i]));
        int cb = std::toupper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

// ---------------------------------------------------------------------------------------

void TCodeMethodChain::RemoveEntry(TEntry entry) {
    for (std::size_t i = Entries.size(); i-- > 0;)
        if (Entries[i] == entry) Entries.erase(Entries.begin() + std::ptrdiff_t(i));
}

// A handler may hook or unhook handlers while the chain fires: each entry is looked up
// again before it is called, so a removed handler is never called afterwards.
void TCodeMethodChain::FireEntries(const std::function<void(const TEntry&)>& call) {
    std::vector<TEntry> snapshot = Entries;
    for (const TEntry& entry : snapshot) {
        if (std::find(Entries.begin(), Entries.end(), entry) == Entries.end()) continue;
        try {
            call(entry);
        } catch (...) {
            if (!HandleException(std::current_exception())) return;
        }
    }
}

bool TCodeMethodChain::HandleException(std::exception_ptr error) {
    if (!OnException) std::rethrow_exception(error);
    bool doContinue = true;
    try {
        OnException(error, doContinue);
    } catch (...) {
        throw ECodeMethodChain(ClassName() +
                               ".DoHandleException : MUST NOT occur any kind of exception in "
                               "ExceptionHandler");
    }
    return doContinue;
}

void TCodeNotifyEventChain::Add(TNotifyEvent handler) {
    AddEntry({reinterpret_cast<void (*)()>(handler.Code), handler.Receiver});
}

void TCodeNotifyEventChain::Remove(TNotifyEvent handler) {
    RemoveEntry({reinterpret_cast<void (*)()>(handler.Code), handler.Receiver});
}

void TCodeNotifyEventChain::Fire() {
    FireEntries([this](const TEntry& entry) {
        TNotifyEvent handler(reinterpret_cast<TNotifyEvent::TCode>(entry.Code), entry.Receiver);
        handler(Sender);
    });
}

// ---------------------------------------------------------------------------------------

void TCodeHighlighterAttributes::SetBackground(TColor value) {
    if (Bg == value) return;
    Bg = value;
    Changed();
}

void TCodeHighlighterAttributes::SetForeground(TColor value) {
    if (Fg == value) return;
    Fg = value;
    Changed();
}

void TCodeHighlighterAttributes::SetStyle(TFontStyles value) {
    if (FontStyle == value) return;
    FontStyle = value;
    Changed();
}

void TCodeHighlighterAttributes::InternalSaveDefaultValues() {
    BgDefault = Bg;
    FgDefault = Fg;
    StyleDefault = FontStyle;
}

void TCodeHighlighterAttributes::Assign(const TCodeHighlighterAttributes& source) {
    if (&source == this) return;
    AttrName = source.AttrName;
    bool differs = Bg != source.Bg || Fg != source.Fg || FontStyle != source.FontStyle;
    Bg = source.Bg;
    Fg = source.Fg;
    FontStyle = source.FontStyle;
    if (differs) Changed();
}

void TCodeHighlighterAttributes::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------

TCodeCustomHighlighter::TCodeCustomHighlighter() : ChangeChain(this), DestroyChain(this) {}

TCodeCustomHighlighter::~TCodeCustomHighlighter() {
    try {
        DestroyChain.Fire();
    } catch (...) {
        // A destructor cannot pass the error on; the listeners have been told all the same.
    }
}

TCodeHighlighterAttributes* TCodeCustomHighlighter::AttributeAt(int index) const {
    if (index < 0 || index >= static_cast<int>(Attributes.size())) return nullptr;
    return Attributes[std::size_t(index)].get();
}

TCharSet TCodeCustomHighlighter::IdentifierChars() const {
    TCharSet set;
    for (int c = 33; c <= 255; ++c)
        set.set(std::size_t(c));
    return set;
}

TCodeHighlighterAttributes*
TCodeCustomHighlighter::AddAttribute(std::unique_ptr<TCodeHighlighterAttributes> attr) {
    auto at = std::lower_bound(
        Attributes.begin(), Attributes.end(), attr->Name(),
        [](const auto& a, const std::string& name) { return CompareNoCase(a->Name(), name) < 0; });
    if (at != Attributes.end() && CompareNoCase((*at)->Name(), attr->Name()) == 0)
        throw EDuplicateAttribute();
    return Attributes.insert(at, std::move(attr))->get();
}

void TCodeCustomHighlighter::ScanToLineEnd() {
    while (!AtLineEnd())
        NextToken();
}

void TCodeCustomHighlighter::SetAttributesOnChange(TAttributeChangeEvent handler) {
    for (auto& attr : Attributes) {
        attr->SetOnChange(handler);
        attr->InternalSaveDefaultValues();
    }
}

void TCodeCustomHighlighter::DefHighlightChange(TCodeHighlighterAttributes*) {
    ChangeChain.Fire();
}

bool TCodeCustomHighlighter::IsOfMyKind(const TCodeCustomHighlighter& source) const {
    return typeid(source) == typeid(*this);
}

void TCodeCustomHighlighter::Assign(const TCodeCustomHighlighter& source) {
    if (&source == this) return;
    for (auto& own : Attributes)
        for (int i = 0; i < source.AttributeCount(); ++i) {
            TCodeHighlighterAttributes* theirs = source.AttributeAt(i);
            if (theirs->Name() == own->Name()) own->Assign(*theirs);
        }
    if (IsOfMyKind(source)) SetSampleSource(source.SampleSource());
}

} // namespace plotalon
