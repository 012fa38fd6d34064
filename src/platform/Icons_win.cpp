#include "platform/Icons_win.h"

#include <cstring>
#include <vector>

namespace trovell {

namespace {

UniqueIcon FromPixelMap(const art::PixelMap& map, bool icon, int hotX, int hotY) {
    std::vector<uint32_t> argb(static_cast<size_t>(map.width * map.height));
    if (!art::RenderPixelMap(map, argb.data())) return {};

    BITMAPV5HEADER header{};
    header.bV5Size = sizeof(header);
    header.bV5Width = map.width;
    header.bV5Height = -map.height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    WindowDc screen(nullptr);
    UniqueBitmap color(::CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&header),
                                          DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!color) return {};
    std::memcpy(bits, argb.data(), argb.size() * 4);

    // The mask still matters where alpha is ignored (16-colour displays, old shells).
    std::vector<uint16_t> maskRows(static_cast<size_t>(map.height) * ((map.width + 15) / 16), 0);
    int wordsPerRow = (map.width + 15) / 16;
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x)
            if (argb[y * map.width + x] == 0) {
                auto& word = maskRows[y * wordsPerRow + x / 16];
                // Monochrome bitmaps are big-endian within each byte.
                uint8_t* bytes = reinterpret_cast<uint8_t*>(&word);
                bytes[(x % 16) / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
    UniqueBitmap mask(::CreateBitmap(map.width, map.height, 1, 1, maskRows.data()));
    if (!mask) return {};

    ICONINFO info{};
    info.fIcon = icon ? TRUE : FALSE;
    info.xHotspot = static_cast<DWORD>(hotX);
    info.yHotspot = static_cast<DWORD>(hotY);
    info.hbmColor = color.get();
    info.hbmMask = mask.get();
    return UniqueIcon(::CreateIconIndirect(&info));
}

}  // namespace

UniqueIcon IconFromPixelMap(const art::PixelMap& map) {
    return FromPixelMap(map, true, 0, 0);
}

UniqueIcon CursorFromPixelMap(const art::PixelMap& map, int hotX, int hotY) {
    return FromPixelMap(map, false, hotX, hotY);
}

UniqueImageList ImageListFromPixelMaps(int width, int height,
                                       std::initializer_list<const art::PixelMap*> maps) {
    UniqueImageList list(::ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK,
                                            static_cast<int>(maps.size()), 0));
    if (!list) return list;
    for (const art::PixelMap* map : maps) {
        UniqueIcon icon = IconFromPixelMap(*map);
        if (!icon || ::ImageList_AddIcon(list.get(), icon.get()) < 0) return UniqueImageList();
    }
    return list;
}

}  // namespace trovell
