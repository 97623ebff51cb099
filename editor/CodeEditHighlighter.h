#pragma once
// What a syntax highlighter is to the editor panes: a component that owns named display
// attributes and delivers one line at a time as tokens (start, text, kind, attribute).
//
// Scan protocol, as every caller uses it:
//   SetRangeState(stored range of the line) or ResetRangeState();
//   BeginLine(text, index);          // the first token is current; the text must stay
//                                    // alive and unchanged until the line is finished
//   while (!AtLineEnd()) { TokenStart/TokenText/TokenKind/TokenAttribute; NextToken(); }
//   RangeState()                     // the range at the start of the next line
// The token at which AtLineEnd() becomes true is never drawn or reported.

#include "editor/CodeEditStringList.h"
#include "platform/Errors.h"
#include "platform/Graphics.h"

#include <bitset>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

using TCharSet = std::bitset<256>;

class ECodeMethodChain : public Exception {
    using Exception::Exception;
};
// The attribute list rejects a second attribute of the same name.
class EDuplicateAttribute : public Exception {
public:
    EDuplicateAttribute() : Exception("Stringliste gestattet keine Duplikate") {}
};

// A callback bound to a receiver, comparable so that it can be removed again.
// Bind a member function with TMethod<Args...>::Of<&T::Member>(receiver).
template <class... Args> class TMethod {
public:
    using TCode = void (*)(void* receiver, Args... args);

    TMethod() = default;
    TMethod(TCode code, void* receiver) : Code(code), Receiver(receiver) {}
    template <auto Member, class T> static TMethod Of(T* receiver) {
        return TMethod([](void* r, Args... args) { (static_cast<T*>(r)->*Member)(args...); },
                       receiver);
    }

    explicit operator bool() const { return Code != nullptr; }
    void operator()(Args... args) const { Code(Receiver, args...); }
    bool operator==(const TMethod& other) const = default;

    TCode Code = nullptr;
    void* Receiver = nullptr;
};

// The parts a highlighter's attributes can play, as DefaultAttribute's index: bracket matching
// skips comments and strings, the text area takes the whitespace's background.
enum TDefaultAttribute : int {
    daComment = 0,
    daKeyword = 2,
    daString = 3,
    daWhitespace = 4,
};

class TCodeCustomHighlighter;
class TCodeHighlighterAttributes;
using TNotifyEvent = TMethod<TCodeCustomHighlighter*>;
using TAttributeChangeEvent = TMethod<TCodeHighlighterAttributes*>;

// An ordered list of handlers. Firing calls them in list order; a handler's exception goes to
// the exception handler when one is set (which decides whether firing goes on), otherwise
// it propagates out of Fire.
class TCodeMethodChain {
public:
    // doContinue starts true; clear it to stop firing after this handler.
    using TExceptionHandler = std::function<void(std::exception_ptr error, bool& doContinue)>;

    virtual ~TCodeMethodChain() = default;
    virtual std::string ClassName() const { return "TCodeMethodChain"; }

    void SetExceptionHandler(TExceptionHandler handler) { onException_ = std::move(handler); }
    int HandlerCount() const { return static_cast<int>(entries_.size()); }

protected:
    struct TEntry {
        void (*Code)();
        void* Receiver;
        bool operator==(const TEntry&) const = default;
    };
    void AddEntry(TEntry entry) { entries_.push_back(entry); } // duplicates allowed
    void RemoveEntry(TEntry entry);                            // every equal entry
    // Calls call(entry) for every entry still present when its turn comes.
    void FireEntries(const std::function<void(const TEntry&)>& call);

private:
    bool HandleException(std::exception_ptr error);

    std::vector<TEntry> entries_;
    TExceptionHandler onException_;
};

class TCodeNotifyEventChain : public TCodeMethodChain {
public:
    explicit TCodeNotifyEventChain(TCodeCustomHighlighter* sender) : sender_(sender) {}
    std::string ClassName() const override { return "TCodeNotifyEventChain"; }

    void Add(TNotifyEvent handler);
    void Remove(TNotifyEvent handler);
    void Fire();

private:
    TCodeCustomHighlighter* sender_;
};

class TCodeHighlighterAttributes {
public:
    explicit TCodeHighlighterAttributes(std::string name) : attrName_(std::move(name)) {}
    virtual ~TCodeHighlighterAttributes() = default;

    const std::string& Name() const { return attrName_; }
    TColor Background() const { return bg_; }
    TColor Foreground() const { return fg_; }
    TFontStyles Style() const { return fontStyle_; }
    void SetBackground(TColor value);
    void SetForeground(TColor value);
    void SetStyle(TFontStyles value);

    // A property is written out only while it differs from its recorded default.
    bool IsBackgroundStored() const { return bg_ != bgDefault_; }
    bool IsForegroundStored() const { return fg_ != fgDefault_; }
    bool IsStyleStored() const { return fontStyle_ != styleDefault_; }
    void InternalSaveDefaultValues();

    // Copies name, colours and style; fires Changed once when a colour or the style differed.
    void Assign(const TCodeHighlighterAttributes& source);

    void SetOnChange(TAttributeChangeEvent handler) { onChange_ = handler; }
    virtual void Changed();

private:
    std::string attrName_;
    TColor bg_ = clNone;
    TColor bgDefault_ = clNone;
    TColor fg_ = clNone;
    TColor fgDefault_ = clNone;
    TFontStyles fontStyle_ = 0;
    TFontStyles styleDefault_ = 0;
    TAttributeChangeEvent onChange_;
};

class TCodeCustomHighlighter {
public:
    TCodeCustomHighlighter();
    // Tells the destroy listeners first, then frees the attributes.
    virtual ~TCodeCustomHighlighter();
    TCodeCustomHighlighter(const TCodeCustomHighlighter&) = delete;
    TCodeCustomHighlighter& operator=(const TCodeCustomHighlighter&) = delete;

    virtual int AttributeCount() const { return static_cast<int>(attributes_.size()); }
    // In name order; nullptr outside the list.
    virtual TCodeHighlighterAttributes* AttributeAt(int index) const;
    // index: a TDefaultAttribute; nullptr when there is none.
    virtual TCodeHighlighterAttributes* DefaultAttribute(int index) const = 0;
    virtual std::string DefaultFilter() const { return filter_; }
    virtual TCharSet IdentifierChars() const; // base: bytes 33 to 255
    virtual std::string SampleSource() const { return {}; }
    virtual bool IsFilterStored() const { return true; }
    virtual void SetDefaultFilter(const std::string& value) { filter_ = value; }
    virtual void SetSampleSource(const std::string&) {}
    virtual std::uint8_t Capabilities() const { return 2; }
    virtual std::string LanguageName() const { return "<Unknown>"; }
    virtual bool AtLineEnd() const = 0;
    virtual TCodeRange RangeState() const { return 0; }
    virtual std::string TokenText() const = 0;
    virtual TCodeHighlighterAttributes* TokenAttribute() const = 0; // nullptr: editor's font
    virtual int TokenKind() const = 0;
    virtual int TokenStart() const = 0;
    virtual bool IsKeyword(std::string_view) const { return false; }
    virtual void NextToken() = 0;
    virtual void BeginLine(std::string_view text, int lineIndex) = 0;
    virtual void SetRangeState(TCodeRange) {}
    virtual void ResetRangeState() {}
    virtual bool UseUserSettings(int) { return false; }
    virtual void EnumUserSettings(std::vector<std::string>& settings) { settings.clear(); }
    // A fresh highlighter of this kind with its own scan position, which stores the same
    // ranges as this one: ranges of a text built on another thread are scanned with it.
    // nullptr when the kind cannot be made that way; the pane then scans after adopting.
    virtual std::unique_ptr<TCodeCustomHighlighter> NewOfSameKind() const { return nullptr; }
    // False when the range never leaves the reset state, so that every line starts afresh:
    // a text's ranges are then known without scanning it.
    virtual bool CarriesRangeAcrossLines() const { return true; }

    bool Enabled() const { return isEnabled_; }
    void SetEnabled(bool value) { isEnabled_ = value; }

    // Inserts the attribute under its name (case-insensitive order); EDuplicateAttribute
    // when the name is taken, and the attribute is then freed.
    TCodeHighlighterAttributes* AddAttribute(std::unique_ptr<TCodeHighlighterAttributes> attr);
    void ScanToLineEnd();
    void HookAttributeChange(TNotifyEvent handler) { changeChain_.Add(handler); }
    void UnhookAttributeChange(TNotifyEvent handler) { changeChain_.Remove(handler); }
    // Tells an editor that this highlighter goes away (the owner's free notification).
    void HookDestroy(TNotifyEvent handler) { destroyChain_.Add(handler); }
    void UnhookDestroy(TNotifyEvent handler) { destroyChain_.Remove(handler); }
    TCodeNotifyEventChain& AttributeChangeChain() { return changeChain_; }

    // For each own attribute, assigns every source attribute of the same (exact) name; takes
    // the sample source when the source is of this highlighter's kind.
    void Assign(const TCodeCustomHighlighter& source);

protected:
    // Sets handler as every attribute's listener and records the attributes' defaults.
    void SetAttributesOnChange(TAttributeChangeEvent handler);
    // The highlighter's own attribute listener: tells every hooked editor.
    void DefHighlightChange(TCodeHighlighterAttributes* sender);
    // Whether source is of this class or derived from it.
    virtual bool IsOfMyKind(const TCodeCustomHighlighter& source) const;

private:
    std::vector<std::unique_ptr<TCodeHighlighterAttributes>> attributes_; // sorted by name
    TCodeNotifyEventChain changeChain_;
    TCodeNotifyEventChain destroyChain_;
    std::string filter_;
    bool isEnabled_ = true;
};

} // namespace plotalon
