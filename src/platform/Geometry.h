#pragma once
// Plain geometry for the logic tier, and the twips arithmetic of layouts given in twips.
namespace trovell {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A monitor's rectangle on the virtual screen, whose (0, 0) is the primary monitor's top left.
struct Monitor {
    Rect area;
    Rect work;  // without the task bar and other bars docked to the edges
};

// How many twips one pixel is: 1440 / dots per inch, a whole number (15 at 96 dpi).
struct TwipsPerPixel {
    int x = 15;
    int y = 15;
};

// Font height in logical units for a size in points: negative, so that it is the character
// height without the internal leading, as point sizes are meant; rounded to the nearest pixel
// as the system's own MulDiv does.
inline int FontHeightForPoints(int points, int dotsPerInch) {
    return -((points * dotsPerInch + 36) / 72);
}

// Twips to pixels, each axis by its own factor, truncating as the classic forms engine did.
inline int TwipsToPixelsX(int twips, const TwipsPerPixel& t) { return twips / t.x; }
inline int TwipsToPixelsY(int twips, const TwipsPerPixel& t) { return twips / t.y; }
inline Rect TwipsToPixels(const Rect& twips, const TwipsPerPixel& t) {
    return {TwipsToPixelsX(twips.left, t), TwipsToPixelsY(twips.top, t),
            TwipsToPixelsX(twips.width, t), TwipsToPixelsY(twips.height, t)};
}

}  // namespace trovell
