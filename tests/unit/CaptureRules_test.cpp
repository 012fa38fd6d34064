#include "capture/CaptureRules.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace trovell;
using namespace trovell::capture;

TEST(SelectionFrame, SpansFromStartToPointerClampedToTheScreen_TakesPressesOnItsOwnPixelsOnly) {
    const Point start{100, 50};
    EXPECT_EQ(SelectionFrame(start, {40, 80}), (Rect{40, 50, 60, 30}));    // left and down
    EXPECT_EQ(SelectionFrame(start, {160, 20}), (Rect{100, 20, 60, 30}));  // right and up
    EXPECT_EQ(SelectionFrame(start, start), (Rect{100, 50, 0, 0}));        // a press, no move
    const Size canvas{1280, 800};
    EXPECT_EQ(ClampToCanvas({-300, 400}, canvas), (Point{0, 400}));
    EXPECT_EQ(ClampToCanvas({1500, -2}, canvas), (Point{1279, 0}));
    EXPECT_EQ(ClampToCanvas({640, 900}, canvas), (Point{640, 799}));

    EXPECT_FALSE(HitsFrame({100, 50, 0, 0}, {100, 50}));
    const Rect frame{40, 50, 60, 30};
    const std::pair<Point, bool> cases[] = {{{40, 50}, true},   {{99, 79}, true},
                                            {{39, 60}, false},  {{60, 49}, false},
                                            {{100, 60}, false}, {{60, 80}, false}};
    for (const auto& [at, hit] : cases) EXPECT_EQ(HitsFrame(frame, at), hit) << at.x << "," << at.y;
}

TEST(DropZone, IsThePicturesTrueRectangleWithStrictEdges_EachAxisByItsOwnFactor) {
    // The client area of a drop window at (200, 100) starts at (203, 125) past its border and
    // caption; the picture at (150, 60) twips, 2445 x 1275, has its outline on pixels 213 and
    // 129 and its far edges at 5640 and 3210 twips, just past pixels 375 and 213.
    const std::tuple<int, int, bool> cases[] = {
        {213, 170, false}, {214, 170, true}, {375, 170, true}, {376, 170, false},
        {300, 129, false}, {300, 130, true}, {300, 213, true}, {300, 214, false}};
    for (const auto& [x, y, inside] : cases)
        EXPECT_EQ(InDropZone({x, y}, {203, 125}, layout::kImage1, {15, 15}), inside)
            << x << "," << y;

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

namespace {
// The primary monitor is 1920x1080 with a task bar of 40 pixels at its bottom.
const Monitor kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
}  // namespace

TEST(Monitors, AMonitorLeftOfThePrimaryLiesAtNegativeCoordinatesAndItsShortfallIsUncovered) {
    const Monitor left{{-1280, 0, 1280, 1024}, {-1280, 0, 1280, 1024}};
    const Monitor both[] = {kPrimary, left};
    EXPECT_EQ(Bounding(both), (Rect{-1280, 0, 3200, 1080}));
    EXPECT_EQ(Uncovered(Bounding(both), both), (std::vector<Rect>{{-1280, 1024, 1280, 56}}));
    EXPECT_EQ(MonitorAt(both, {-1, 500}), 1u);
    EXPECT_EQ(MonitorAt(both, {0, 500}), 0u);
    // Off every monitor (below the left one): the nearest.
    EXPECT_EQ(MonitorAt(both, {-10, 1070}), 0u);
    EXPECT_EQ(MonitorAt(both, {-700, 1070}), 1u);
}

TEST(Monitors, AMonitorAboveThePrimaryAndOneTouchingOnlyAtACornerLeaveGapsBesideThem) {
    const Monitor above{{320, -900, 1600, 900}, {320, -900, 1600, 900}};
    const Monitor aboveAndPrimary[] = {above, kPrimary};
    EXPECT_EQ(Bounding(aboveAndPrimary), (Rect{0, -900, 1920, 1980}));
    EXPECT_EQ(Uncovered(Bounding(aboveAndPrimary), aboveAndPrimary),
              (std::vector<Rect>{{0, -900, 320, 900}}));

    const Monitor corner{{1920, 1080, 800, 600}, {1920, 1080, 800, 600}};
    const Monitor diagonal[] = {kPrimary, corner};
    EXPECT_EQ(Uncovered(Bounding(diagonal), diagonal),
              (std::vector<Rect>{{1920, 0, 800, 1080}, {0, 1080, 1920, 600}}));
    // Mirrored monitors, and one monitor alone, leave nothing uncovered.
    const Monitor mirrored[] = {kPrimary, kPrimary};
    EXPECT_TRUE(Uncovered(kPrimary.area, mirrored).empty());
    EXPECT_TRUE(Uncovered(kPrimary.area, {&kPrimary, 1}).empty());
    EXPECT_EQ(Uncovered(kPrimary.area, {}), (std::vector<Rect>{kPrimary.area}));
}

TEST(Monitors, TheDropWindowMovesToTheDragsMonitorKeepingItsPlaceThereAndNeverStraddling) {
    const Rect window{1500, 900, 200, 130};
    // One monitor: where the system put it.
    EXPECT_EQ(DropWindowPlace(window, {&kPrimary, 1}, {10, 10}), window);
    const Monitor right{{1920, -200, 1280, 720}, {1920, -200, 1280, 690}};
    const Monitor left{{-1024, 0, 1024, 768}, {-1024, 0, 1024, 768}};
    const Monitor three[] = {kPrimary, right, left};
    EXPECT_EQ(DropWindowPlace(window, three, {500, 500}), window);
    // The same place within the other work area, moved in just enough to lie wholly inside.
    EXPECT_EQ(DropWindowPlace({100, 80, 200, 130}, three, {-5, 5}), (Rect{-924, 80, 200, 130}));
    EXPECT_EQ(DropWindowPlace(window, three, {-5, 5}), (Rect{-200, 638, 200, 130}));
    EXPECT_EQ(DropWindowPlace(window, three, {2500, 0}), (Rect{3000, 360, 200, 130}));
    // A window straddling two monitors is moved wholly onto the drag's one.
    EXPECT_EQ(DropWindowPlace({1800, 100, 200, 130}, three, {1900, 100}),
              (Rect{1720, 100, 200, 130}));
    // Larger than the work area: its top left corner stays in it, with the caption bar.
    const Monitor tiny{{-150, 0, 150, 100}, {-150, 0, 150, 100}};
    const Monitor withTiny[] = {kPrimary, tiny};
    EXPECT_EQ(DropWindowPlace(window, withTiny, {-1, 1}), (Rect{-150, 0, 200, 130}));
}
