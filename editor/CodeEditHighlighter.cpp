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
    for (std::size_t i = entries_.size(); i-- > 0;)
        if (entries_[i] == entry) entries_.erase(entries_.begin() + std::ptrdiff_t(i));
}

// A handler may hook or unhook handlers while the chain fires: each entry is looked up
// again before it is called, so a removed handler is never called afterwards.
void TCodeMethodChain::FireEntries(const std::function<void(const TEntry&)>& call) {
    std::vector<TEntry> snapshot = entries_;
    for (const TEntry& entry : snapshot) {
        if (std::find(entries_.begin(), entries_.end(), entry) == entries_.end()) continue;
        try {
            call(entry);
        } catch (...) {
            if (!HandleException(std::current_exception())) return;
        }
    }
}

bool TCodeMethodChain::HandleException(std::exception_ptr error) {
    if (!onException_) std::rethrow_exception(error);
    bool doContinue = true;
    try {
        onException_(error, doContinue);
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
        handler(sender_);
    });
}

// ---------------------------------------------------------------------------------------

void TCodeHighlighterAttributes::SetBackground(TColor value) {
    if (bg_ == value) return;
    bg_ = value;
    Changed();
}

void TCodeHighlighterAttributes::SetForeground(TColor value) {
    if (fg_ == value) return;
    fg_ = value;
    Changed();
}

void TCodeHighlighterAttributes::SetStyle(TFontStyles value) {
    if (fontStyle_ == value) return;
    fontStyle_ = value;
    Changed();
}

void TCodeHighlighterAttributes::InternalSaveDefaultValues() {
    bgDefault_ = bg_;
    fgDefault_ = fg_;
    styleDefault_ = fontStyle_;
}

void TCodeHighlighterAttributes::Assign(const TCodeHighlighterAttributes& source) {
    if (&source == this) return;
    attrName_ = source.attrName_;
    bool differs = bg_ != source.bg_ || fg_ != source.fg_ || fontStyle_ != source.fontStyle_;
    bg_ = source.bg_;
    fg_ = source.fg_;
    fontStyle_ = source.fontStyle_;
    if (differs) Changed();
}

void TCodeHighlighterAttributes::Changed() {
    if (onChange_) onChange_(this);
}

// ---------------------------------------------------------------------------------------

TCodeCustomHighlighter::TCodeCustomHighlighter() : changeChain_(this), destroyChain_(this) {}

TCodeCustomHighlighter::~TCodeCustomHighlighter() {
    try {
        destroyChain_.Fire();
    } catch (...) {
        // A destructor cannot pass the error on; the listeners have been told all the same.
    }
}

TCodeHighlighterAttributes* TCodeCustomHighlighter::AttributeAt(int index) const {
    if (index < 0 || index >= static_cast<int>(attributes_.size())) return nullptr;
    return attributes_[std::size_t(index)].get();
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
        attributes_.begin(), attributes_.end(), attr->Name(),
        [](const auto& a, const std::string& name) { return CompareNoCase(a->Name(), name) < 0; });
    if (at != attributes_.end() && CompareNoCase((*at)->Name(), attr->Name()) == 0)
        throw EDuplicateAttribute();
    return attributes_.insert(at, std::move(attr))->get();
}

void TCodeCustomHighlighter::ScanToLineEnd() {
    while (!AtLineEnd())
        NextToken();
}

void TCodeCustomHighlighter::SetAttributesOnChange(TAttributeChangeEvent handler) {
    for (auto& attr : attributes_) {
        attr->SetOnChange(handler);
        attr->InternalSaveDefaultValues();
    }
}

void TCodeCustomHighlighter::DefHighlightChange(TCodeHighlighterAttributes*) {
    changeChain_.Fire();
}

bool TCodeCustomHighlighter::IsOfMyKind(const TCodeCustomHighlighter& source) const {
    return typeid(source) == typeid(*this);
}

void TCodeCustomHighlighter::Assign(const TCodeCustomHighlighter& source) {
    if (&source == this) return;
    for (auto& own : attributes_)
        for (int i = 0; i < source.AttributeCount(); ++i) {
            TCodeHighlighterAttributes* theirs = source.AttributeAt(i);
            if (theirs->Name() == own->Name()) own->Assign(*theirs);
        }
    if (IsOfMyKind(source)) SetSampleSource(source.SampleSource());
}

} // namespace plotalon
