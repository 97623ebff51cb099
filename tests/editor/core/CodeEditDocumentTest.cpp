// The document on its own, without an editor on top: which changes it records for undo, what
// a change behind its back does to the undo lists and when it asks for positions to be moved
// back into the text, and reverting a step with the editor told of every record.

#include "editor/core/CodeEditDocument.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace plotalon::test {
namespace {

using R = TCodeChangeReason;
using M = TCodeSelectionMode;
using Direction = TCodeEditDocument::Direction;

std::vector<std::string> LinesOf(const TCodeEditDocument& document) {
    std::vector<std::string> out;
    for (int y = 1; y <= document.LineCount(); ++y)
        out.push_back(document.Line(y));
    return out;
}

// Replaces line y as the editor does: the lines captured first, then the change recorded.
void RecordReplace(TCodeEditDocument& document, int y, const std::string& text) {
    auto capture = document.BeginSpan(y, y);
    document.SetLine(y, text);
    document.Record(R::crInsert, {1, y}, {1, y}, "", M::smNormal, std::move(capture));
}

TEST(Document, OnlyChangesMarkedAsTheEditorsOwnAreRecorded) {
    TCodeEditDocument document;
    document.SetText("N10\r\nN20");
    int told = 0;
    document.OnChange = [&] { ++told; };

    RecordReplace(document, 1, "N11"); // not marked: the change stands, nothing is recorded
    EXPECT_FALSE(document.UndoList().HasRecords());
    EXPECT_FALSE(document.Modified());
    {
        TCodeEditDocument::RecordedChange own(document);
        TCodeEditDocument::RecordedChange nested(document);
        RecordReplace(document, 2, "N21");
        RecordReplace(document, 2, "N21"); // the same text again changes nothing
    }
    EXPECT_EQ(document.UndoList().RecordCount(), 1);
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(told, 1);
    EXPECT_FALSE(document.IsRecordedChange()); // both marks are gone with their scopes

    document.Lines().AddLine("N30"); // behind the document's back
    EXPECT_FALSE(document.UndoList().HasRecords());
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(LinesOf(document), (std::vector<std::string>{"N11", "N21", "N30"}));
}

TEST(Document, ChangesBehindItsBackAskForPositionsOnlyWhereLinesMayShrink) {
    struct Case {
        const char* Name;
        std::function<void(TCodeEditStringList&)> Change;
        bool Asks;
    };
    const Case cases[] = {
        {"line added", [](TCodeEditStringList& l) { l.AddLine("M30"); }, false},
        {"line inserted", [](TCodeEditStringList& l) { l.InsertLine(0, "%"); }, false},
        {"lines inserted", [](TCodeEditStringList& l) { l.InsertLines(1, 2); }, false},
        {"line replaced", [](TCodeEditStringList& l) { l.ReplaceLine(1, "G"); }, true},
        {"line deleted", [](TCodeEditStringList& l) { l.DeleteLine(0); }, true},
        {"lines deleted", [](TCodeEditStringList& l) { l.DeleteLines(0, 2); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (bool recorded : {false, true}) {
            TCodeEditDocument document;
            document.SetText("G0 X0\r\nG1 X10\r\nG1 Y10");
            {
                TCodeEditDocument::RecordedChange own(document);
                RecordReplace(document, 3, "G1 Y20"); // something to lose
            }
            std::vector<std::string> order;
            TCodeEditDocument::TFollower follower;
            follower.KeepPositionsInText = [&] { order.push_back("keep"); };
            document.SetFollower(std::move(follower));
            auto hook = [&](int) { order.push_back("event"); };
            document.OnLineAdded = document.OnLineInserted = hook;
            document.OnLineReplaced = document.OnLineDeleted = hook;

            if (recorded) {
                TCodeEditDocument::RecordedChange own(document);
                c.Change(document.Lines());
            } else {
                c.Change(document.Lines());
            }
            // The editor's own changes place positions themselves and keep their records.
            const bool asks = c.Asks && !recorded;
            EXPECT_EQ(order, asks ? (std::vector<std::string>{"keep", "event"})
                                  : (std::vector<std::string>{"event"}));
            EXPECT_EQ(document.UndoList().HasRecords(), recorded);
        }
    }
}

TEST(Document, ClearingTheLinesEmptiesUndoAndBookmarks) {
    TCodeEditDocument document;
    document.SetText("N10\r\nN20");
    document.SetBookmark(2, {1, 2});
    {
        TCodeEditDocument::RecordedChange own(document);
        RecordReplace(document, 1, "N11");
        document.Lines().ClearLines(); // even inside the editor's own change
    }
    EXPECT_FALSE(document.UndoList().HasRecords());
    EXPECT_FALSE(document.Bookmark(2));
}

TEST(Document, RevertMovesAStepBetweenTheListsAndTellsEachRecord) {
    TCodeEditDocument document;
    document.SetText("N10\r\nN20\r\nN30");
    document.SetBookmark(0, {1, 3});
    {
        TCodeEditDocument::RecordedChange own(document);
        document.UndoList().OpenBlock();
        RecordReplace(document, 1, "N11");
        auto capture = document.BeginSpan(2, 2);
        document.Lines().DeleteLine(1);
        document.LinesRemoved(2, 1);
        document.Record(R::crDelete, {1, 2}, {4, 2}, "N20", M::smLine, std::move(capture));
        document.UndoList().CloseBlock();
    }
    EXPECT_EQ(document.Bookmark(0)->Y, 2);

    std::vector<R> told;
    auto reverted = [&](const TCodeEditUndoItem& item, Direction) { told.push_back(item.Reason); };
    document.Revert(Direction::Undo, false, reverted);
    EXPECT_EQ(LinesOf(document), (std::vector<std::string>{"N10", "N20", "N30"}));
    EXPECT_EQ(told, (std::vector<R>{R::crDelete, R::crInsert})); // newest first
    EXPECT_EQ(document.Bookmark(0)->Y, 3);
    EXPECT_FALSE(document.UndoList().HasRecords());
    EXPECT_EQ(document.RedoList().RecordCount(), 2);
    EXPECT_FALSE(document.Modified());

    document.Revert(Direction::Redo, false, reverted);
    EXPECT_EQ(LinesOf(document), (std::vector<std::string>{"N11", "N30"}));
    EXPECT_EQ(document.UndoList().RecordCount(), 2);
    EXPECT_FALSE(document.RedoList().HasRecords());
    EXPECT_TRUE(document.Modified());
}

} // namespace
} // namespace plotalon::test
