#pragma once
// A picture box as the browser uses it: a child window with a background colour that can
// hold controls of its own (their notifications go on to the top-level window, where the
// handlers are) and, for the preview, a drawing that survives repaints.
#include <windows.h>

#include "platform/Dib_win.h"
#include "platform/Geometry.h"
#include "platform/Handles_win.h"
#include "platform/Window_win.h"

namespace trovell {

struct PicturePanelParams {
    HWND parent = nullptr;
    int id = 0;
    Rect bounds;  // pixels in the parent's client area
    COLORREF back = RGB(0, 0, 0);
    bool border = false;        // a single-line border
    bool keepsDrawing = false;  // a drawing surface the size of the inner area
    bool visible = true;
};

class PicturePanel : public Window {
public:
    Status Create(const PicturePanelParams& params);

    // The persistent drawing; empty unless the panel keeps one.
    DibSurface& surface() noexcept { return surface_; }
    const DibSurface& surface() const noexcept { return surface_; }
    // Sets the outer size in pixels; the drawing follows, filled with the background.
    void SetOuterSize(int width, int height);
    // The source stretched over the whole drawing.
    void ShowFitted(const DibSurface& source);
    // Erases the drawing to the background colour.
    void Clear();
    void Paint(HDC dc, const RECT& dirty) const;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FitSurface();

    COLORREF back_ = RGB(0, 0, 0);
    UniqueBrush backBrush_;
    DibSurface surface_;
    bool keepsDrawing_ = false;
};

}  // namespace trovell
