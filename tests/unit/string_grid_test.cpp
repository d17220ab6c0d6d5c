// The string grid: when its selection-change notification is raised and when it is not.
#include "framework/string_grid.h"

#include <gtest/gtest.h>

namespace tavo {
namespace {

// A two-column grid with a header and `entries` entry rows, counting notifications.
class StringGridTest : public ::testing::Test {
protected:
    void Build(int entries) {
        grid.SetColCount(2);
        grid.SetFixedRows(1);
        grid.SetRowCount(entries + 1);
        grid.onClick = [this](Component* sender) {
            EXPECT_EQ(sender, &grid);
            ++clicks;
        };
    }
    StringGrid grid;
    int clicks = 0;
};

TEST_F(StringGridTest, ClickOnEntryRowNotifiesAlsoWhenAlreadySelected) {
    Build(3);
    grid.LeftButtonDown(2);
    grid.LeftButtonUp();
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(clicks, 1);
    grid.LeftButtonDown(2);
    grid.LeftButtonUp();
    EXPECT_EQ(clicks, 2);
}

TEST_F(StringGridTest, PressOnHeaderOrBelowLastRowChangesNothing) {
    Build(3);
    grid.SelectRow(2);
    clicks = 0;
    for (int hit : {0, -1, 4}) {
        grid.LeftButtonDown(hit);
        grid.LeftButtonUp();
    }
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(clicks, 0);
}

TEST_F(StringGridTest, DraggingMovesSilentlyAndTheReleaseNotifiesOnce) {
    Build(5);
    grid.LeftButtonDown(1);
    grid.LeftButtonDrag(2);
    grid.LeftButtonDrag(3);
    grid.LeftButtonDrag(0);  // over the header: the selection stays
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(clicks, 0);
    grid.LeftButtonUp();
    EXPECT_EQ(clicks, 1);
}

TEST_F(StringGridTest, DoubleClickRunsItsHandlerAndItsReleaseRaisesNothing) {
    Build(3);
    int doubleClicks = 0;
    grid.onDblClick = [&](Component*) { ++doubleClicks; };
    grid.LeftButtonDown(3);
    grid.LeftButtonUp();
    grid.DoubleClick();
    grid.LeftButtonUp();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(StringGridTest, KeysNotifyOnlyWhenTheyMoveTheSelection) {
    Build(30);
    grid.pageRows = 10;
    struct Step {
        GridKey key;
        int row;
        bool moved;
    };
    const Step steps[] = {
        {GridKey::Up, 1, false},    {GridKey::Down, 2, true},       {GridKey::Right, 3, true},
        {GridKey::Left, 2, true},   {GridKey::PageDown, 12, true},  {GridKey::End, 30, true},
        {GridKey::Down, 30, false}, {GridKey::PageDown, 30, false}, {GridKey::PageUp, 20, true},
        {GridKey::Home, 1, true},   {GridKey::Home, 1, false},      {GridKey::PageUp, 1, false},
    };
    int expectedClicks = 0;
    for (const Step& step : steps) {
        EXPECT_EQ(grid.PressKey(step.key), step.moved) << static_cast<int>(step.key);
        EXPECT_EQ(grid.Row(), step.row);
        expectedClicks += step.moved ? 1 : 0;
        EXPECT_EQ(clicks, expectedClicks);
    }
}

TEST_F(StringGridTest, WheelStopsAtFirstAndLastEntryRow) {
    Build(2);
    grid.WheelNotch(false);
    EXPECT_EQ(clicks, 0);
    grid.WheelNotch(true);
    grid.WheelNotch(true);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(clicks, 1);
    grid.WheelNotch(false);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(clicks, 2);
}

TEST_F(StringGridTest, SelectRowNotifiesOnlyForAnotherEntryRow) {
    Build(3);
    grid.SelectRow(1);
    grid.SelectRow(0);
    grid.SelectRow(4);
    EXPECT_EQ(clicks, 0);
    grid.SelectRow(3);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(clicks, 1);
}

TEST_F(StringGridTest, ShrinkingMovesTheSelectionSilentlyAndKeepsTheHeader) {
    Build(5);
    grid.SetCell(1, 1, "kept");
    grid.SetCell(1, 5, "dropped");
    grid.SelectRow(5);
    clicks = 0;
    grid.SetRowCount(3);
    EXPECT_EQ(grid.Row(), 2);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(grid.Cell(1, 1), "kept");
    grid.SetRowCount(6);
    EXPECT_EQ(grid.Cell(1, 5), "") << "a dropped row comes back empty";
}

TEST_F(StringGridTest, CellsOutsideTheGridAreEmptyAndIgnoreWrites) {
    Build(1);
    grid.SetCell(2, 1, "x");
    grid.SetCell(0, 2, "x");
    grid.SetCell(-1, 0, "x");
    EXPECT_EQ(grid.Cell(2, 1), "");
    EXPECT_EQ(grid.Cell(0, 2), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
}

}  // namespace
}  // namespace tavo
