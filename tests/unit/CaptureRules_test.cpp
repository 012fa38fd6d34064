#include "capture/CaptureRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/PixelArt.h"

using namespace trovell;
using namespace trovell::capture;

TEST(SelectionFrame, SpansFromTheStartToThePointerWhicheverWayItWent) {
    struct Case {
        Point start, pointer;
        Rect frame;
    };
    const Case cases[] = {
        {{100, 50}, {40, 80}, {40, 50, 60, 30}},     // left and down
        {{100, 50}, {160, 20}, {100, 20, 60, 30}},   // right and up
        {{100, 50}, {100, 50}, {100, 50, 0, 0}},     // a press without a move
        {{100, 50}, {100, 90}, {100, 50, 0, 40}},    // on the start line: that side is 0
        {{100, 50}, {101, 51}, {100, 50, 1, 1}},     // the smallest frame
        {{0, 0}, {3839, 2159}, {0, 0, 3839, 2159}},  // a 4K screen's whole
    };
    for (const Case& c : cases) {
        const Rect got = SelectionFrame(c.start, c.pointer);
        EXPECT_EQ(got, c.frame) << c.pointer.x << "," << c.pointer.y;
    }
}

TEST(SelectionFrame, PointerBeyondTheFrozenScreenCountsAtItsEdge) {
    const Size canvas{1280, 800};
    EXPECT_EQ(ClampToCanvas({-300, 400}, canvas), (Point{0, 400}));
    EXPECT_EQ(ClampToCanvas({1500, -2}, canvas), (Point{1279, 0}));
    EXPECT_EQ(ClampToCanvas({1279, 799}, canvas), (Point{1279, 799}));
    EXPECT_EQ(ClampToCanvas({640, 900}, canvas), (Point{640, 799}));
}

TEST(SelectionFrame, AnEmptyFrameCannotBePressedAOnePixelFrameCan) {
    EXPECT_FALSE(HitsFrame({100, 50, 0, 0}, {100, 50}));
    EXPECT_FALSE(HitsFrame({100, 50, 0, 40}, {100, 60}));
    EXPECT_TRUE(HitsFrame({100, 50, 1, 1}, {100, 50}));
    EXPECT_FALSE(HitsFrame({100, 50, 1, 1}, {101, 50}));
    const Rect frame{40, 50, 60, 30};
    EXPECT_TRUE(HitsFrame(frame, {40, 50}));
    EXPECT_TRUE(HitsFrame(frame, {99, 79}));
    EXPECT_FALSE(HitsFrame(frame, {100, 60}));
    EXPECT_FALSE(HitsFrame(frame, {60, 80}));
    EXPECT_FALSE(HitsFrame(frame, {39, 60}));
}

TEST(DropZone, IsThePicturesTrueRectangleWithStrictEdges) {
    // A drop window at 3000 twips (200 px) with a 3-pixel left border and a 25-pixel caption
    // and top border: its client area starts at (203, 125). The picture at (150, 60) twips,
    // 2445 x 1275, covers pixels 213..375 across and 129..213 down, its outline included.
    const TwipsPerPixel t{15, 15};
    const Point client{203, 125};
    const Rect picture = layout::kImage1;
    struct Case {
        int x, y;
        bool inside;
    };
    const Case cases[] = {
        {213, 170, false},  // the left outline: 3195 twips, not strictly inside
        {214, 170, true},
        {375, 170, true},   // 5625 twips, inside the right edge at 5640
        {376, 170, false},  // the right edge itself
        {300, 129, false},  // the top edge
        {300, 130, true},
        {300, 213, true},
        {300, 214, false},  // the bottom edge: 125 * 15 + 60 + 1275 = 3210 twips
        // Where the unmended zone, shifted by the right and bottom borders, said inside.
        {378, 170, false},
        {300, 216, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InDropZone({c.x, c.y}, client, picture, t), c.inside) << c.x << "," << c.y;
}

TEST(DropZone, EachAxisConvertsByItsOwnFactor) {
    const TwipsPerPixel t{12, 15};          // 120 dpi across, 96 down
    const Rect picture{120, 60, 240, 150};  // 10..30 px across, 4..14 px down
    EXPECT_FALSE(InDropZone({10, 8}, {0, 0}, picture, t));
    EXPECT_TRUE(InDropZone({11, 8}, {0, 0}, picture, t));
    EXPECT_TRUE(InDropZone({29, 13}, {0, 0}, picture, t));
    EXPECT_FALSE(InDropZone({30, 13}, {0, 0}, picture, t));
    EXPECT_FALSE(InDropZone({20, 14}, {0, 0}, picture, t));
    // Screens left of or above the primary one have negative coordinates.
    EXPECT_TRUE(InDropZone({-89, 8}, {-100, 0}, picture, t));
    EXPECT_FALSE(InDropZone({-90, 8}, {-100, 0}, picture, t));
}

TEST(DialogLayout, PixelsAt96AndAt120Dpi) {
    struct Case {
        TwipsPerPixel t;
        Rect client, image, label, work;
    };
    const Case cases[] = {
        {{15, 15}, {0, 0, 181, 95}, {10, 4, 163, 85}, {12, 38, 157, 29}, {8, 98, 167, 139}},
        {{12, 12}, {0, 0, 226, 118}, {12, 5, 203, 106}, {15, 47, 196, 36}, {10, 122, 208, 173}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(layout::kClient, c.t), c.client);
        EXPECT_EQ(TwipsToPixels(layout::kImage1, c.t), c.image);
        EXPECT_EQ(TwipsToPixels(layout::kLabel1, c.t), c.label);
        EXPECT_EQ(TwipsToPixels(layout::kPicture1, c.t), c.work);
        // The work picture never shows.
        EXPECT_GE(TwipsToPixels(layout::kPicture1, c.t).top, c.client.height);
    }
    EXPECT_EQ(FontHeightForPoints(12, 96), -16);
    EXPECT_EQ(FontHeightForPoints(12, 120), -20);
}

namespace {
// The pointers as described, pixel by pixel, independent of the drawn maps.
uint32_t DragPointerPixel(int x, int y) {
    if (x < 4 || x > 27 || y < 4 || y > 27) return 0;
    if (x == 4 || x == 27 || y == 4 || y == 27) {
        const int along = (x - 4) + (y - 4);  // dashes run on round the corners
        return along % 3 == 2 ? 0 : 0xFF000000;
    }
    if (x == 26 || y == 26) return 0xFF808000;
    return 0xFFFFFF00;
}

uint32_t DropPointerPixel(int x, int y) {
    if (x < 3 || x > 28 || y < 3 || y > 28) return 0;
    if (x <= 4 || x >= 27 || y <= 4 || y >= 27) return 0xFF000000;
    if (x == 26 || y == 26) return 0xFF808000;
    return 0xFFFFFF00;
}
}  // namespace

TEST(Pointers, MapsAreTheDescribedSquares) {
    struct Case {
        const art::PixelMap& map;
        uint32_t (*expected)(int, int);
    };
    for (const Case& c :
         {Case{art::kDragPointer, DragPointerPixel}, Case{art::kDropPointer, DropPointerPixel}}) {
        ASSERT_EQ(c.map.width, 32);
        ASSERT_EQ(c.map.height, 32);
        std::vector<uint32_t> argb(32 * 32);
        ASSERT_TRUE(art::RenderPixelMap(c.map, argb.data()));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                EXPECT_EQ(argb[y * 32 + x], c.expected(x, y)) << x << "," << y;
    }
}
