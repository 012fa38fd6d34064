#include "platform/PixelArt.h"

#include <gtest/gtest.h>

#include <vector>

using namespace trovell;

TEST(PixelArt, EveryMapIsWholeAndUsesItsPalette) {
    const art::PixelMap* maps[] = {&art::kTrayIcon,  &art::kFolderClosed, &art::kFolderOpen,
                                   &art::kToolClose, &art::kToolNew,      &art::kToolDelete,
                                   &art::kSortUp,    &art::kSortDown,    &art::kDragPointer,
                                   &art::kDropPointer};
    for (const art::PixelMap* map : maps) {
        std::vector<uint32_t> pixels(static_cast<size_t>(map->width * map->height));
        EXPECT_TRUE(art::RenderPixelMap(*map, pixels.data())) << map->rows[0];
    }
}
