#include "editor/CodeEditHighlighter.h"

#include <gtest/gtest.h>

using namespace plotalon;

namespace {

// The least highlighter: each line is one token of kind 1.
class TOneTokenSyn : public TCodeCustomHighlighter {
public:
    TOneTokenSyn() {
        Text = AddAttribute(std::make_unique<TCodeHighlighterAttributes>("text"));
        Comment = AddAttribute(std::make_unique<TCodeHighlighterAttributes>("Comment"));
        Comment->SetForeground(clGray);
        Comment->SetStyle(fsItalic);
        SetAttributesOnChange(TAttributeChangeEvent::Of<&TOneTokenSyn::DefHighlightChange>(
            static_cast<TCodeCustomHighlighter*>(this)));
    }
    TCodeHighlighterAttributes* DefaultAttribute(int index) const override {
        return index == daComment ? Comment : nullptr;
    }
    bool AtLineEnd() const override { return Done; }
    std::string TokenText() const override { return std::string(Line); }
    TCodeHighlighterAttributes* TokenAttribute() const override { return Text; }
    int TokenKind() const override { return 1; }
    int TokenStart() const override { return 0; }
    void NextToken() override { Done = true; }
    void BeginLine(std::string_view text, int) override {
        Line = text;
        Done = text.empty();
    }
    std::string SampleSource() const override { return Sample; }
    void SetSampleSource(const std::string& s) override { Sample = s; }

    TCodeHighlighterAttributes* Text;
    TCodeHighlighterAttributes* Comment;
    std::string_view Line;
    bool Done = true;
    std::string Sample;
};

struct TListener {
    void Changed(TCodeCustomHighlighter* sender) {
        ++Calls;
        Sender = sender;
        if (Throw) throw Exception("listener failed");
    }
    int Calls = 0;
    TCodeCustomHighlighter* Sender = nullptr;
    bool Throw = false;
    TNotifyEvent Handler() { return TNotifyEvent::Of<&TListener::Changed>(this); }
};

} // namespace

TEST(CodeEditHighlighterTest, AttributeListIsSortedAndRejectsDuplicateNames) {
    TOneTokenSyn syn;
    ASSERT_EQ(syn.AttributeCount(), 2);
    EXPECT_EQ(syn.AttributeAt(0)->Name(), "Comment");
    EXPECT_EQ(syn.AttributeAt(1)->Name(), "text"); // compared without regard to case
    EXPECT_EQ(syn.AttributeAt(-1), nullptr);
    EXPECT_EQ(syn.AttributeAt(2), nullptr);
    EXPECT_THROW(syn.AddAttribute(std::make_unique<TCodeHighlighterAttributes>("COMMENT")),
                 EDuplicateAttribute);
    EXPECT_EQ(syn.AttributeCount(), 2);
    EXPECT_EQ(syn.LanguageName(), "<Unknown>");
    EXPECT_EQ(syn.DefaultFilter(), "");
    EXPECT_TRUE(syn.Enabled());
    EXPECT_EQ(syn.IdentifierChars().count(), 223u);
    EXPECT_FALSE(syn.IdentifierChars().test(' '));
}

TEST(CodeEditHighlighterTest, AttributeChangesReachEveryHookedListener) {
    TOneTokenSyn syn;
    TListener a, b;
    syn.HookAttributeChange(a.Handler());
    syn.HookAttributeChange(b.Handler());
    syn.Comment->SetForeground(clGray); // same value: nothing
    EXPECT_EQ(a.Calls, 0);
    syn.Comment->SetForeground(clRed);
    syn.Text->SetStyle(fsBold);
    syn.Text->SetBackground(0x123456);
    EXPECT_EQ(a.Calls, 3);
    EXPECT_EQ(b.Calls, 3);
    EXPECT_EQ(a.Sender, &syn);
    syn.UnhookAttributeChange(a.Handler());
    syn.Text->SetStyle(0);
    EXPECT_EQ(a.Calls, 3);
    EXPECT_EQ(b.Calls, 4);
}

TEST(CodeEditHighlighterTest, PropertiesAreStoredOnlyWhileTheyDifferFromTheirDefault) {
    TOneTokenSyn syn;
    for (int i = 0; i < syn.AttributeCount(); ++i) {
        auto* attr = syn.AttributeAt(i);
        EXPECT_FALSE(attr->IsForegroundStored() || attr->IsBackgroundStored() ||
                     attr->IsStyleStored());
    }
    syn.Comment->SetForeground(clRed);
    EXPECT_TRUE(syn.Comment->IsForegroundStored());
    EXPECT_FALSE(syn.Comment->IsStyleStored());
    syn.Comment->SetForeground(clGray);
    EXPECT_FALSE(syn.Comment->IsForegroundStored());
}

TEST(CodeEditHighlighterTest, AssignmentFiresOnceAndOnlyForVisibleChanges) {
    TOneTokenSyn target, source;
    TListener listener;
    target.HookAttributeChange(listener.Handler());
    source.Comment->SetForeground(clRed);
    source.Comment->SetStyle(fsBold);
    source.Sample = "G1 X1";
    target.Assign(source);
    EXPECT_EQ(listener.Calls, 1);
    EXPECT_EQ(target.Comment->Foreground(), clRed);
    EXPECT_EQ(target.Comment->Style(), fsBold);
    EXPECT_EQ(target.Sample, "G1 X1");

    TCodeHighlighterAttributes renamed("Other");
    renamed.Assign(*target.Text); // only the name differs: nothing fires
    EXPECT_EQ(renamed.Name(), "text");
}

TEST(CodeEditHighlighterTest, ChainExceptionRules) {
    TOneTokenSyn syn;
    TListener first, second;
    first.Throw = true;
    syn.HookAttributeChange(first.Handler());
    syn.HookAttributeChange(second.Handler());

    // no exception handler: the error leaves the setter, later handlers are not called
    EXPECT_THROW(syn.Text->SetStyle(fsBold), Exception);
    EXPECT_EQ(second.Calls, 0);

    // a handler that goes on / one that stops
    auto& chain = syn.AttributeChangeChain();
    chain.SetExceptionHandler([](std::exception_ptr, bool&) {});
    syn.Text->SetStyle(0);
    EXPECT_EQ(second.Calls, 1);
    chain.SetExceptionHandler([](std::exception_ptr, bool& go) { go = false; });
    syn.Text->SetStyle(fsBold);
    EXPECT_EQ(second.Calls, 1);

    // a failing exception handler is replaced by the chain's own error
    chain.SetExceptionHandler([](std::exception_ptr e, bool&) { std::rethrow_exception(e); });
    try {
        syn.Text->SetStyle(0);
        ADD_FAILURE();
    } catch (const ECodeMethodChain& e) {
        EXPECT_EQ(e.Message(), "TCodeNotifyEventChain.DoHandleException : MUST NOT occur any "
                               "kind of exception in ExceptionHandler");
    }
}

TEST(CodeEditHighlighterTest, ChainKeepsDuplicatesAndRemovesEveryCopy) {
    TOneTokenSyn syn;
    TListener listener;
    syn.HookAttributeChange(listener.Handler());
    syn.HookAttributeChange(listener.Handler());
    syn.Text->SetStyle(fsBold);
    EXPECT_EQ(listener.Calls, 2);
    syn.UnhookAttributeChange(listener.Handler());
    EXPECT_EQ(syn.AttributeChangeChain().HandlerCount(), 0);
}

TEST(CodeEditHighlighterTest, DestroyListenersAreTold) {
    TListener listener;
    {
        TOneTokenSyn syn;
        syn.HookDestroy(listener.Handler());
    }
    EXPECT_EQ(listener.Calls, 1);
}

TEST(CodeEditHighlighterTest, ScanToLineEndRunsTheProtocol) {
    TOneTokenSyn syn;
    std::string line = "abc";
    syn.BeginLine(line, 0);
    EXPECT_FALSE(syn.AtLineEnd());
    syn.ScanToLineEnd();
    EXPECT_TRUE(syn.AtLineEnd());
    EXPECT_EQ(syn.RangeState(), 0);
}
