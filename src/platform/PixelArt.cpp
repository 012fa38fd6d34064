#include "platform/PixelArt.h"

#include <cstring>

namespace trovell::art {

bool RenderPixelMap(const PixelMap& map, uint32_t* argb) {
    for (int y = 0; y < map.height; ++y) {
        const char* row = map.rows[y];
        if (std::strlen(row) != static_cast<size_t>(map.width)) return false;
        for (int x = 0; x < map.width; ++x) {
            uint32_t value = 0;
            if (row[x] != '.') {
                int i = 0;
                while (i < map.paletteSize && map.palette[i].key != row[x]) ++i;
                if (i == map.paletteSize) return false;
                value = 0xFF000000u | map.palette[i].rgb;
            }
            argb[y * map.width + x] = value;
        }
    }
    return true;
}

}  // namespace trovell::art
