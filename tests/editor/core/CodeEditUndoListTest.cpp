#include "editor/core/CodeEditUndo.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

using R = TCodeChangeReason;

void Push(TCodeEditUndoList& list, R reason = R::crInsert) {
    list.RecordChange(reason, {1, 1}, TCodeSelectionMode::smNormal, "", {2, 1});
}

TEST(UndoList, ChangeNumbersAndBlocks) {
    TCodeEditUndoList list;
    EXPECT_EQ(list.TopReason(), R::crNothing);
    EXPECT_EQ(list.TopRecord(), nullptr);
    EXPECT_EQ(list.TakeTopRecord(), nullptr);
    Push(list);
    Push(list);
    EXPECT_EQ(list.RecordAt(0).ChangeNumber, 1);
    EXPECT_EQ(list.RecordAt(1).ChangeNumber, 2);
    list.OpenBlock();
    list.OpenBlock();
    Push(list, R::crDeleteSelection);
    list.CloseBlock();
    Push(list);
    list.CloseBlock();
    list.CloseBlock(); // below depth 0: nothing
    Push(list);
    EXPECT_EQ(list.RecordAt(2).ChangeNumber, 3);
    EXPECT_EQ(list.RecordAt(3).ChangeNumber, 3);
    EXPECT_EQ(list.RecordAt(4).ChangeNumber, 4);
    EXPECT_EQ(list.TopReason(), R::crInsert);
    auto top = list.TakeTopRecord();
    EXPECT_EQ(top->ChangeNumber, 4);
    EXPECT_EQ(list.RecordCount(), 4);
}

TEST(UndoList, LockedListAcceptsNothing) {
    TCodeEditUndoList list;
    int added = 0;
    list.SetOnAdded([&] { ++added; });
    list.Suspend();
    list.Suspend();
    Push(list);
    list.Resume();
    Push(list);
    list.Resume();
    list.Resume(); // never below 0
    Push(list);
    EXPECT_EQ(list.RecordCount(), 1);
    EXPECT_EQ(added, 1);
}

TEST(UndoList, MaximumDropsOldestAndSetsFull) {
    TCodeEditUndoList list;
    EXPECT_EQ(list.Maximum(), 1024);
    for (int i = 0; i < 1025; ++i)
        Push(list, i % 2 ? R::crInsert : R::crDeleteAfterCaret);
    EXPECT_EQ(list.RecordCount(), 1024);
    EXPECT_TRUE(list.Full());
    EXPECT_EQ(list.RecordAt(0).ChangeNumber, 2);
    list.SetMaximum(10);
    EXPECT_EQ(list.RecordCount(), 10);
    EXPECT_EQ(list.RecordAt(0).ChangeNumber, 1016);
    list.SetMaximum(-5);
    EXPECT_EQ(list.Maximum(), 0);
    EXPECT_FALSE(list.HasRecords());
    list.ClearRecords();
    EXPECT_FALSE(list.Full());
}

} // namespace
} // namespace plotalon
