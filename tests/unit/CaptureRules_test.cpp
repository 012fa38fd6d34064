#include "capture/CaptureRules.h"

#include <gtest/gtest.h>

using namespace trovell;
using namespace trovell::capture;

TEST(SelectionFrame, SpansFromTheStartToThePointerWhicheverWayItWentClampedToTheScreen) {
    const Point start{100, 50};
    EXPECT_EQ(SelectionFrame(start, {40, 80}), (Rect{40, 50, 60, 30}));    // left and down
    EXPECT_EQ(SelectionFrame(start, {160, 20}), (Rect{100, 20, 60, 30}));  // right and up
    EXPECT_EQ(SelectionFrame(start, start), (Rect{100, 50, 0, 0}));        // a press, no move
    const Size canvas{1280, 800};
    EXPECT_EQ(ClampToCanvas({-300, 400}, canvas), (Point{0, 400}));
    EXPECT_EQ(ClampToCanvas({1500, -2}, canvas), (Point{1279, 0}));
    EXPECT_EQ(ClampToCanvas({640, 900}, canvas), (Point{640, 799}));
}

TEST(SelectionFrame, TakesPressesOnItsOwnPixelsOnlyAndNoneWhenEmpty) {
    EXPECT_FALSE(HitsFrame({100, 50, 0, 0}, {100, 50}));
    const Rect frame{40, 50, 60, 30};
    const struct {
        Point at;
        bool hit;
    } cases[] = {{{40, 50}, true},  {{99, 79}, true},   {{39, 60}, false},
                 {{60, 49}, false}, {{100, 60}, false}, {{60, 80}, false}};
    for (const auto& c : cases) EXPECT_EQ(HitsFrame(frame, c.at), c.hit) << c.at.x << "," << c.at.y;
}

TEST(DropZone, IsThePicturesTrueRectangleWithStrictEdges) {
    // The client area of a drop window at (200, 100) starts at (203, 125) past its border and
    // caption; the picture at (150, 60) twips, 2445 x 1275, has its outline on pixels 213 and
    // 129 and its far edges at 5640 and 3210 twips, just past pixels 375 and 213.
    const struct {
        int x, y;
        bool inside;
    } cases[] = {{213, 170, false}, {214, 170, true}, {375, 170, true}, {376, 170, false},
                 {300, 129, false}, {300, 130, true}, {300, 213, true}, {300, 214, false}};
    for (const auto& c : cases)
        EXPECT_EQ(InDropZone({c.x, c.y}, {203, 125}, layout::kImage1, {15, 15}), c.inside)
            << c.x << "," << c.y;
}

TEST(DropZone, EachAxisConvertsByItsOwnFactor) {
    const TwipsPerPixel t{12, 15};          // 120 dpi across, 96 down
    const Rect picture{120, 60, 240, 150};  // 10..30 px across, 4..14 px down
    EXPECT_FALSE(InDropZone({10, 8}, {0, 0}, picture, t));
    EXPECT_TRUE(InDropZone({29, 13}, {0, 0}, picture, t));
    EXPECT_FALSE(InDropZone({20, 14}, {0, 0}, picture, t));
    // Screens left of or above the primary one have negative coordinates.
    EXPECT_TRUE(InDropZone({-89, 8}, {-100, 0}, picture, t));
    EXPECT_FALSE(InDropZone({-90, 8}, {-100, 0}, picture, t));
}

// At 96 dpi every layout figure divides exactly, so only another factor shows the truncation;
// the window test and the end-to-end drops rely on the 96 dpi rectangles of the real window.
TEST(DialogLayout, TruncatesTwipsToPixelsAt120Dpi) {
    const TwipsPerPixel t{12, 12};
    EXPECT_EQ(TwipsToPixels(layout::kClient, t), (Rect{0, 0, 226, 118}));
    EXPECT_EQ(TwipsToPixels(layout::kImage1, t), (Rect{12, 5, 203, 106}));
    EXPECT_EQ(TwipsToPixels(layout::kLabel1, t), (Rect{15, 47, 196, 36}));
    EXPECT_EQ(FontHeightForPoints(12, 120), -20);
}
