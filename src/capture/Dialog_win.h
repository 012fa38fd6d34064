#pragma once
// The drop window: the target of a capture drag. After a selection has been released over its
// drop picture, the first pointer move over that picture stores the carrier's pixels, and the
// window closes.
#include <windows.h>

#include <functional>

#include "platform/Dib_win.h"
#include "platform/Geometry.h"
#include "platform/Handles_win.h"
#include "platform/Window_win.h"

namespace trovell::capture {

class Dialog : public Window {
public:
    struct Host {
        std::function<bool(const DibSurface&)> store;
        std::function<void()> escape;    // Escape here closes the capture window too
        std::function<void()> unloaded;  // the window is gone
    };

    // The carrier belongs to the capture window, which outlives this one.
    Dialog(Host host, const DibSurface& carrier);
    ~Dialog() override;

    // Creates the window hidden, where the system places it.
    Status Form_Load();
    // Shown above every other window of the process, leaving the keyboard where it was, on the
    // monitor that holds `dragStart` (screen pixels).
    void Show(Point dragStart);
    void Hide();
    // Closes without storing.
    void Form_Unload();

    void Image1_MouseMove(int button, int shift, Point at);

    // Where the drop picture is: the client area's origin on the screen (pixels) and the
    // picture within it (twips; the layout's own numbers at 96 dpi).
    Point ClientOrigin() const;
    Rect Image1Twips() const;
    Rect Image1Pixels() const;

    HWND Label1() const noexcept { return label1_.get(); }
    HFONT LabelFont() const noexcept { return labelFont_.get(); }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    void Paint(HDC dc);

    Host host_;
    const DibSurface& carrier_;
    TwipsPerPixel twips_;
    UniqueFont labelFont_;
    UniqueWindow label1_;
    bool storing_ = false;
};

}  // namespace trovell::capture
