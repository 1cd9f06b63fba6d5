#include "dialogs/DialogPlacement.h"

#include <gtest/gtest.h>

using namespace DialogPlacement;

TEST(DialogPlacement, CentresOverTheOwnerTruncatingTowardZero) {
    EXPECT_EQ(CentreInsideWorkArea(100, 836, 300, 1920), 368);
    // (101 - 200) / 2 is -49, not the -50 a rounding-down division gives.
    EXPECT_EQ(CentreInsideWorkArea(100, 101, 200, 1920), 51);
    EXPECT_EQ(CentreNotNegative(100, 101, 200), 51);
}

TEST(DialogPlacement, MessageDialogIsKeptInsideTheWorkArea) {
    // Owner hanging over the right edge: the dialog ends at the edge.
    EXPECT_EQ(CentreInsideWorkArea(1800, 800, 300, 1920), 1620);
    // Owner off to the left or above: never a negative position.
    EXPECT_EQ(CentreInsideWorkArea(-700, 800, 300, 1920), 0);
    // Wider than the work area: the left edge wins.
    EXPECT_EQ(CentreInsideWorkArea(0, 400, 500, 300), 0);
    EXPECT_EQ(CentreInsideWorkArea(1620, 300, 300, 1920), 1620);
}

TEST(DialogPlacement, AboutWindowIsOnlyKeptOffNegativePositions) {
    EXPECT_EQ(CentreNotNegative(1800, 800, 199), 1800 + 300);
    EXPECT_EQ(CentreNotNegative(-700, 800, 199), 0);
    EXPECT_EQ(CentreNotNegative(-100, 300, 199), 0);
    EXPECT_EQ(CentreNotNegative(-50, 300, 199), 0);
    EXPECT_EQ(CentreNotNegative(-40, 300, 199), 10);
}
