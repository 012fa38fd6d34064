#pragma once
// A picture box: a child window in a colour of its own that can keep a drawing which survives
// every repaint, hand its mouse and keys to a host, and hold controls whose notifications go
// on to the top-level window, where their handlers are.
#include <windows.h>

#include "platform/Dib_win.h"
#include "platform/Geometry.h"
#include "platform/Handles_win.h"
#include "platform/Window_win.h"

namespace trovell {

class PictureBox;

class PictureBoxHost {
public:
    // Every mouse message, with the point in the box's own pixels.
    virtual void PictureBox_Mouse(PictureBox& box, UINT msg, WPARAM wp, Point at) = 0;
    // Drawing over the picture (a frame, say); the picture itself stays untouched.
    virtual void PictureBox_PaintOver(PictureBox& /*box*/, HDC /*dc*/) {}
    virtual void PictureBox_KeyDown(PictureBox& /*box*/, WPARAM /*key*/) {}
    virtual HCURSOR PictureBox_Pointer(PictureBox& /*box*/) { return nullptr; }

protected:
    ~PictureBoxHost() = default;
};

struct PictureBoxParams {
    HWND parent = nullptr;
    int id = 0;
    Rect bounds;  // pixels in the parent's client area
    COLORREF back = RGB(0, 0, 0);
    bool border = false;  // a single-line border
    // A drawing the size of the inner area, kept so by SetOuterSize. Without it the owner
    // sizes surface() itself, or leaves it empty.
    bool keepsDrawing = false;
    bool visible = true;
    PictureBoxHost* host = nullptr;  // none: the mouse and keys get the default handling
};

class PictureBox : public Window {
public:
    Status Create(const PictureBoxParams& params);

    DibSurface& surface() noexcept { return surface_; }
    const DibSurface& surface() const noexcept { return surface_; }
    // Sets the outer size in pixels; a kept drawing follows, filled with the background.
    void SetOuterSize(int width, int height);
    // Erases the drawing to the background colour.
    void Clear();
    // The whole source shrunk or stretched over the whole drawing.
    void ShowFitted(const DibSurface& source);
    // The drawing, the background beside it, then the host's drawing over both.
    void Paint(HDC dc, const RECT& dirty);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FitSurface();

    PictureBoxHost* host_ = nullptr;
    COLORREF back_ = RGB(0, 0, 0);
    UniqueBrush backBrush_;
    DibSurface surface_;
    bool keepsDrawing_ = false;
};

// The part of the dirty area that the picture covers from the origin, and the background
// around it: the paint of every window that shows a kept picture.
void PaintPicture(HDC dc, const RECT& dirty, const DibSurface& picture, HBRUSH back);

}  // namespace trovell
