#include "dialogs/MessageFormLayout.h"

#include <gtest/gtest.h>

using namespace MessageFormLayout;

TEST(ButtonCaptions, SplitAtEveryKindOfLineBreak) {
    EXPECT_EQ(SplitButtonCaptions(QStringLiteral("OK")), QStringList{"OK"});
    EXPECT_EQ(SplitButtonCaptions(QStringLiteral("&Yes\r\n&No\r\n&Cancel")),
              (QStringList{"&Yes", "&No", "&Cancel"}));
    EXPECT_EQ(SplitButtonCaptions(QStringLiteral("A\rB\nC")), (QStringList{"A", "B", "C"}));
    // A break at the end closes the caption before it.
    EXPECT_EQ(SplitButtonCaptions(QStringLiteral("No\r\nYes\r\n")), (QStringList{"No", "Yes"}));
    EXPECT_TRUE(SplitButtonCaptions(QString()).isEmpty());
}

TEST(ButtonCaptions, NoneOrTooManyFallBackToASingleOk) {
    EXPECT_EQ(ShownCaptions({}), QStringList{"OK"});
    EXPECT_EQ(ShownCaptions({"1", "2", "3", "4"}), QStringList{"OK"});
    EXPECT_EQ(ShownCaptions({"&Yes", "&No", "&Cancel"}), (QStringList{"&Yes", "&No", "&Cancel"}));
}

TEST(ButtonCaptions, DefaultButtonIsHeldToTheButtonsShown) {
    EXPECT_EQ(DefaultButton(2, 2), 2);
    EXPECT_EQ(DefaultButton(3, 2), 2);
    EXPECT_EQ(DefaultButton(3, 3), 3);
    EXPECT_EQ(DefaultButton(2, 1), 1);
    EXPECT_EQ(DefaultButton(0, 3), 1);
    EXPECT_EQ(DefaultButton(-4, 3), 1);
    EXPECT_EQ(DefaultButton(7, 1), 1);
}

namespace {
constexpr int LargeWorkArea = 1040;
constexpr int Line = 13;
} // namespace

TEST(FormSize, OneShortLineNarrowsTheWindowAndDropsTheCheckBoxRow) {
    const FormSize size = ComputeFormSize({Line, 1, 50}, 1, false, LargeWorkArea);
    EXPECT_EQ(size.width, DesignClientWidth - (MemoWidth - 56));
    EXPECT_EQ(size.height, DesignClientHeight - CheckBoxHeight);
    EXPECT_EQ(size.memoHeight, MemoHeight);
}

TEST(FormSize, WidthStaysWithinItsLimits) {
    EXPECT_EQ(ComputeFormSize({Line, 1, 0}, 1, false, LargeWorkArea).width, 109);
    EXPECT_EQ(ComputeFormSize({Line, 0, 0}, 1, false, LargeWorkArea).width, 109);
    EXPECT_EQ(ComputeFormSize({Line, 1, 10}, 2, false, LargeWorkArea).width, 197);
    EXPECT_EQ(ComputeFormSize({Line, 1, 10}, 3, false, LargeWorkArea).width, 285);
    EXPECT_EQ(ComputeFormSize({Line, 1, 10}, 3, false, LargeWorkArea).minimumWidth, 285);
    // A line exactly as wide as the memo, or wrapped at it, keeps the design width.
    EXPECT_EQ(ComputeFormSize({Line, 1, MemoWidth - 6}, 1, false, LargeWorkArea).width, 404);
    EXPECT_EQ(ComputeFormSize({Line, 5, MemoWidth}, 1, false, LargeWorkArea).width, 404);
}

TEST(FormSize, GrowsOnlyWhenTheLinesNeedMoreThanTheMemo) {
    // Three lines of 13 fit the 40-pixel memo.
    EXPECT_EQ(ComputeFormSize({Line, 3, 100}, 1, false, LargeWorkArea).height, 122);
    // Three lines of 14 do not: the window grows by the 2 missing pixels.
    FormSize size = ComputeFormSize({14, 3, 100}, 1, false, LargeWorkArea);
    EXPECT_EQ(size.memoHeight, 42);
    EXPECT_EQ(size.height, 124);
    size = ComputeFormSize({Line, 10, 100}, 2, true, LargeWorkArea);
    EXPECT_EQ(size.memoHeight, 130);
    EXPECT_EQ(size.height, 139 + 90);
}

TEST(FormSize, HeightStopsAtTheWorkArea) {
    const FormSize withCheckBox = ComputeFormSize({Line, 500, 300}, 1, true, 600);
    EXPECT_EQ(withCheckBox.height, 600 - TitleBarAllowance);
    const FormSize without = ComputeFormSize({Line, 500, 300}, 1, false, 600);
    EXPECT_EQ(without.height, 600 - TitleBarAllowance - CheckBoxHeight);
    // A screen too small for even the shortest window still gets it whole.
    EXPECT_EQ(ComputeFormSize({Line, 1, 10}, 1, false, 50).height, MinimumHeight);
}
