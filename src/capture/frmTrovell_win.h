#pragma once
// The capture window: the screen frozen into one picture, a selection frame drawn on it with
// the mouse, and the drag of the selection to the drop window.
#include <windows.h>

#include <functional>
#include <memory>

#include "platform/Dib_win.h"
#include "platform/Geometry.h"
#include "platform/Handles_win.h"
#include "platform/PictureBox_win.h"
#include "platform/Window_win.h"

namespace trovell::capture {

class Dialog;

class frmTrovell : public Window, private PictureBoxHost {
public:
    struct Host {
        // Stores a dropped picture; true when it was saved.
        std::function<bool(const DibSurface&)> store;
        // The window is gone; the object may be deleted once this call has returned.
        std::function<void()> unloaded;
    };

    explicit frmTrovell(Host host);
    ~frmTrovell() override;

    // Freezes the screen and shows the window. A failure leaves no window.
    Status Form_Load();
    // Hides the window, unloads the drop window with any pending drop, and destroys both.
    void Form_Unload();
    void BringToFront();
    bool Loaded() const noexcept { return hwnd() != nullptr; }

    // The events, as the mouse and the keyboard deliver them; points in canvas pixels.
    void Picture1_MouseDown(int button, int shift, Point at);
    void Picture1_MouseMove(int button, int shift, Point at);
    void Picture1_MouseUp(int button, int shift, Point at);
    void Image1_MouseDown(int button, int shift, Point at);
    void Image1_MouseMove(int button, int shift, Point at);
    void Image1_MouseUp(int button, int shift, Point at);
    void Form_KeyDown(WPARAM key);

    HWND Picture1Window() const noexcept { return Picture1_.hwnd(); }
    const DibSurface& Picture1() const noexcept { return Picture1_.surface(); }  // frozen copy
    const DibSurface& Picture2() const noexcept { return Picture2_; }            // carrier
    const Rect& Image1() const noexcept { return Image1_; }
    bool Image1Visible() const noexcept { return image1Visible_; }
    bool Dragging() const noexcept { return blnDragging_; }
    HCURSOR picIcon1() const noexcept { return picIcon1_.get(); }
    HCURSOR picIcon2() const noexcept { return picIcon2_.get(); }
    HCURSOR OwnPointer() const noexcept { return ownPointer_; }
    Dialog* DropWindow() const noexcept { return dialog_.get(); }
    HWND FrameTip() const noexcept { return tooltip_.get(); }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    enum class Target { None, Picture1, Image1 };

    void PictureBox_Mouse(PictureBox& box, UINT msg, WPARAM wp, Point at) override;
    void PictureBox_PaintOver(PictureBox& box, HDC dc) override;
    void PictureBox_KeyDown(PictureBox& box, WPARAM key) override;
    HCURSOR PictureBox_Pointer(PictureBox& box) override;

    void MouseDown(Target target, int button, int shift, Point at);
    void MouseMove(Target target, int button, int shift, Point at);
    void MouseUp(Target target, int button, int shift, Point at);
    void SetFrame(const Rect& frame, bool visible);
    // On the monitor where the drag starts (screen pixels).
    void ShowDropWindow(Point dragStart);
    // Moves the carrier to the pointer and tests the drop zone there.
    void FollowPointer(POINT pointer);
    void ApplyPointer();
    void ReleasePointers();
    void CreateFrameTip();

    Host host_;
    TwipsPerPixel twips_;
    PictureBox Picture1_;  // the canvas
    DibSurface Picture2_;  // the carrier: never shown, so a picture without a window
    float carrierLeft_ = 0, carrierTop_ = 0;
    Rect Image1_;
    bool image1Visible_ = false;
    UniqueIcon picIcon1_, picIcon2_;
    HCURSOR ownPointer_ = nullptr;  // nullptr: the platform's default
    UniqueWindow tooltip_;
    std::unique_ptr<Dialog> dialog_;

    bool blnSelecting_ = false;
    Point sngStart_;
    bool blnDragging_ = false;
    bool movedSinceDrag_ = false;

    // The control that holds the mouse from a press until every button is up again.
    Target captured_ = Target::None;
    int heldButtons_ = 0;
};

}  // namespace trovell::capture
