#pragma once
// The full-size viewer: a window without frame exactly as large as the picture it shows,
// moved by dragging the picture, closed by Enter or the right button. The application has
// one, shared by every browser; its window exists only while it is open.
#include <windows.h>

#include <string>

#include "platform/Dib_win.h"
#include "platform/Geometry.h"
#include "platform/Window_win.h"

namespace trovell {

class frmPicture : public Window {
public:
    static frmPicture& Viewer();

    // Creates the window, hidden, where the system puts new windows; nothing when it exists.
    Status Load();
    bool Loaded() const noexcept { return hwnd() != nullptr; }
    // Closes the window; the next Load makes it anew.
    void Unload();

    // The persistent image: sized before the window so that a picture too large to hold
    // twice leaves the viewer as it was. Its background is the window's colour.
    Status SizeImage(Size size);
    const DibSurface& Image() const noexcept { return image_; }
    DibSurface& Image() noexcept { return image_; }
    void SetOuterSize(Size size);
    void Refresh();
    void SetCaption(const std::wstring& caption);
    // Shows it, unowned and not modal, in front of the other windows.
    void Show();

    // Opens the viewer on a copy of the picture, at its size (at emptySize for none); a
    // picture the memory cannot hold a second time leaves the viewer as it was.
    Status ShowPicture(const DibSurface& picture, Size emptySize, const std::wstring& caption);

    void Form_KeyDown(int keyCode, int shift, bool repeated);
    void Form_MouseDown(int button, int shift, int x, int y);
    void Form_MouseMove(int button, int shift, int x, int y);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    frmPicture() = default;

    DibSurface image_;
    // The left button went down on this window and has not come up: only such a drag may
    // move it. The button's state alone can be stale (a press that ended elsewhere).
    bool leftPressed_ = false;
};

}  // namespace trovell
