#pragma once
// A picture box that keeps its drawing: a child window showing a picture of its own, which
// survives every repaint. Its mouse and keys go to the window that hosts it.
#include <windows.h>

#include "platform/Dib_win.h"
#include "platform/Geometry.h"
#include "platform/Window_win.h"

namespace trovell::capture {

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

class PictureBox : public Window {
public:
    PictureBox() = default;

    Status Create(HWND parent, const Rect& bounds, PictureBoxHost* host);

    DibSurface& surface() noexcept { return surface_; }
    const DibSurface& surface() const noexcept { return surface_; }

    // Shows the picture as it is now, at once.
    void Refresh();
    // The picture, then the host's drawing over it. Outside the picture: the window colour.
    void Paint(HDC dc, const RECT& area);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    PictureBoxHost* host_ = nullptr;
    DibSurface surface_;
};

}  // namespace trovell::capture
