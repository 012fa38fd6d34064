#include "capture/frmTrovell_win.h"

#include <commctrl.h>

#include "capture/CaptureRules.h"
#include "capture/CaptureTexts.h"
#include "capture/Dialog_win.h"
#include "platform/Icons_win.h"
#include "platform/Input_win.h"
#include "platform/PixelArt.h"
#include "platform/Pointer_win.h"
#include "platform/ScreenMetrics_win.h"
#include "platform/Startup_win.h"

namespace trovell::capture {

namespace {

constexpr wchar_t kClassName[] = L"TrovellCapture";
constexpr UINT_PTR kFrameTool = 1;
// The pointers' hot spot: the middle of the square, which stands for the carrier that is
// centred on the pointer.
constexpr int kPointerHotSpot = 16;

RECT Inflated(const Rect& r) {
    return {r.left - 1, r.top - 1, r.right() + 1, r.bottom() + 1};
}

}  // namespace

frmTrovell::frmTrovell(Host host) : host_(std::move(host)) {}

frmTrovell::~frmTrovell() {
    // Vanishing without the closing steps (the process ends), too.
    ReleasePointers();
}

void frmTrovell::ReleasePointers() {
    // Neither the override nor the pointer on the screen may outlive the picture it names.
    if (picIcon2_ && PointerOverride() == picIcon2_.get()) SetPointerOverride(nullptr);
    const HCURSOR shown = ::GetCursor();
    if (shown && (shown == picIcon1_.get() || shown == picIcon2_.get()))
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

Status frmTrovell::Form_Load() {
    twips_ = ScreenTwipsPerPixel();
    // The size and the gaps of the picture come from one list of monitors, so that they agree.
    const std::vector<Monitor> monitors = DisplayMonitors();
    const Rect screen = monitors.empty() ? Rect{::GetSystemMetrics(SM_XVIRTUALSCREEN),
                                                ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                                                ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                                ::GetSystemMetrics(SM_CYVIRTUALSCREEN)}
                                         : Bounding(monitors);
    const int width = screen.width, height = screen.height;
    // The copy is made before the window exists, so that it holds the screen the person saw;
    // one bitmap of the virtual screen's size, which every repaint and every drag reads.
    if (!Picture1_.surface().Resize(width, height, DibSurface::Fill::None))
        return Status::LastError();
    {
        const DibSurface& canvas = Picture1_.surface();
        WindowDc desktop(::GetDesktopWindow());
        // A failed copy leaves the background colour; selecting and dragging still work.
        if (!desktop || !::BitBlt(canvas.dc(), 0, 0, width, height, desktop.get(), screen.left,
                                  screen.top, SRCCOPY)) {
            RECT all{0, 0, width, height};
            ::FillRect(canvas.dc(), &all, ::GetSysColorBrush(COLOR_WINDOW));
        }
        // What no monitor shows is black; the copy may hold anything there.
        for (const Rect& gap : Uncovered(screen, monitors)) {
            const RECT r{gap.left - screen.left, gap.top - screen.top, gap.right() - screen.left,
                         gap.bottom() - screen.top};
            ::FillRect(canvas.dc(), &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        }
    }

    picIcon1_ = CursorFromPixelMap(art::kDragPointer, kPointerHotSpot, kPointerHotSpot);
    picIcon2_ = CursorFromPixelMap(art::kDropPointer, kPointerHotSpot, kPointerHotSpot);

    // Not topmost: the drop window, shown later, lies above it.
    Status created = Create({.className = kClassName,
                             .caption = texts::kCaptureCaption,
                             .style = WS_POPUP | WS_CLIPCHILDREN,
                             .bounds = {screen.left, screen.top, width, height}});
    if (created)
        created = Picture1_.Create({.parent = hwnd(),
                                    .bounds = {0, 0, width, height},
                                    .back = ::GetSysColor(COLOR_WINDOW),
                                    .host = this});
    if (!created) {
        Picture1_.surface() = DibSurface();
        if (hwnd()) ::DestroyWindow(hwnd());
        return created;
    }
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    ::UpdateWindow(hwnd());
    // After the frozen screen is up: the tip (and the common controls it loads) cost about
    // 5 ms that the person would otherwise wait for.
    CreateFrameTip();
    return {};
}

void frmTrovell::CreateFrameTip() {
    EnsureCommonControls();  // the resident shell starts without them
    tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                     ModuleInstance(), nullptr));
    if (!tooltip_) return;  // a missing tip costs nothing else
    TOOLINFOW tool{};
    // The size every version of the common controls accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Picture1_.hwnd();
    tool.uId = kFrameTool;
    tool.rect = {0, 0, 0, 0};  // no frame yet
    tool.lpszText = const_cast<wchar_t*>(texts::kFrameTip);
    ::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void frmTrovell::Form_Unload() {
    if (!hwnd()) return;
    captured_ = Target::None;
    heldButtons_ = 0;
    if (::GetCapture() == Picture1_.hwnd()) ::ReleaseCapture();
    blnSelecting_ = blnDragging_ = false;
    SetPointerOverride(nullptr);
    ownPointer_ = nullptr;
    ReleasePointers();
    ::ShowWindow(hwnd(), SW_HIDE);
    // A pending drop is abandoned: nothing is stored.
    if (dialog_) dialog_->Form_Unload();
    ::DestroyWindow(hwnd());
}

void frmTrovell::OnDestroyed() {
    // The tip was owned by this window and has gone with it.
    (void)tooltip_.release();
    Picture1_.surface() = DibSurface();
    Picture2_ = DibSurface();
    if (host_.unloaded) host_.unloaded();
}

void frmTrovell::BringToFront() {
    if (!hwnd()) return;
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
}

void frmTrovell::SetFrame(const Rect& frame, bool visible) {
    RECT dirty = Inflated(Image1_);
    RECT now = Inflated(frame);
    ::UnionRect(&dirty, &dirty, &now);
    Image1_ = frame;
    image1Visible_ = visible;
    if (Picture1_.hwnd()) ::InvalidateRect(Picture1_.hwnd(), &dirty, FALSE);
    if (tooltip_) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = Picture1_.hwnd();
        tool.uId = kFrameTool;
        tool.rect =
            visible ? RECT{frame.left, frame.top, frame.right(), frame.bottom()} : RECT{0, 0, 0, 0};
        ::SendMessageW(tooltip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// ---------------------------------------------------------------- the canvas and the frame

void frmTrovell::Picture1_MouseDown(int button, int /*shift*/, Point at) {
    if (button == kRightButton) {
        Form_Unload();
        return;
    }
    blnSelecting_ = true;
    sngStart_ = at;
    SetFrame({at.x, at.y, 0, 0}, true);  // an earlier selection is simply replaced
}

void frmTrovell::Picture1_MouseMove(int /*button*/, int /*shift*/, Point at) {
    if (!blnSelecting_) return;
    const DibSurface& canvas = Picture1_.surface();
    SetFrame(SelectionFrame(sngStart_, ClampToCanvas(at, {canvas.width(), canvas.height()})), true);
}

void frmTrovell::Picture1_MouseUp(int /*button*/, int /*shift*/, Point /*at*/) {
    blnSelecting_ = false;
}

void frmTrovell::Image1_MouseDown(int button, int /*shift*/, Point at) {
    if (button == kRightButton) {
        SetFrame(Image1_, false);
        return;
    }
    // A second button pressed during a drag is part of it, not a new one.
    if (blnDragging_) return;
    // The only pixel copy of a drag: from the frozen picture, never from the live screen.
    if (!Picture2_.Resize(Image1_.width, Image1_.height, DibSurface::Fill::None)) return;
    POINT pressed{at.x, at.y};
    ::ClientToScreen(Picture1_.hwnd(), &pressed);
    ::BitBlt(Picture2_.dc(), 0, 0, Image1_.width, Image1_.height, Picture1_.surface().dc(),
             Image1_.left, Image1_.top, SRCCOPY);
    carrierLeft_ = static_cast<float>(Image1_.left);
    carrierTop_ = static_cast<float>(Image1_.top);
    blnDragging_ = true;
    movedSinceDrag_ = false;
    // "You can start dragging" is no news once the drag runs.
    if (tooltip_) ::SendMessageW(tooltip_.get(), TTM_ACTIVATE, FALSE, 0);
    ShowDropWindow({pressed.x, pressed.y});
    ownPointer_ = picIcon1_.get();
    ApplyPointer();
}

void frmTrovell::Image1_MouseMove(int /*button*/, int /*shift*/, Point /*at*/) {
    if (!blnDragging_) return;
    movedSinceDrag_ = true;
    POINT pointer{};
    ::GetCursorPos(&pointer);
    FollowPointer(pointer);
}

void frmTrovell::FollowPointer(POINT pointer) {
    carrierLeft_ = pointer.x - Picture2_.width() / 2.0f;
    carrierTop_ = pointer.y - Picture2_.height() / 2.0f;
    bool inside = false;
    if (dialog_ && dialog_->hwnd() && ::IsWindowVisible(dialog_->hwnd()))
        inside = InDropZone({pointer.x, pointer.y}, dialog_->ClientOrigin(), dialog_->Image1Twips(),
                            twips_);
    // The override is also the drag's over-the-target state, which the release decides by.
    SetPointerOverride(inside ? picIcon2_.get() : nullptr);
    ApplyPointer();
}

void frmTrovell::Image1_MouseUp(int /*button*/, int /*shift*/, Point at) {
    // The first release of any button pressed during the drag ends it. Outside a drag (a right
    // press only hid the frame) a release leaves a waiting drop window alone.
    if (!blnDragging_) return;
    // Decided where the button was let go: moves may arrive merged, and the pointer may
    // already be elsewhere by the time the release is handled. A release without any move
    // stays a release outside, wherever the drop window has appeared.
    if (movedSinceDrag_) {
        POINT released{at.x, at.y};
        ::ClientToScreen(Picture1_.hwnd(), &released);
        FollowPointer(released);
    }
    blnDragging_ = false;
    if (tooltip_) ::SendMessageW(tooltip_.get(), TTM_ACTIVATE, TRUE, 0);
    if (!PointerOverride() && dialog_ && dialog_->hwnd()) dialog_->Hide();
    SetPointerOverride(nullptr);
    ownPointer_ = nullptr;
    ApplyPointer();
}

void frmTrovell::Form_KeyDown(WPARAM key) {
    if (key == VK_ESCAPE) Form_Unload();
}

void frmTrovell::ShowDropWindow(Point dragStart) {
    if (!dialog_ || !dialog_->hwnd()) {
        // Deleted from a message of its own, never inside one of the drop window's.
        const auto forget = [this] {
            if (dialog_ && !dialog_->hwnd()) dialog_.reset();
        };
        dialog_ =
            std::make_unique<Dialog>(Dialog::Host{.store = host_.store,
                                                  .escape = [this] { Form_Unload(); },
                                                  .unloaded = [this, forget] { Later(forget); }},
                                     Picture2_);
        if (!dialog_->Form_Load()) {
            dialog_.reset();
            return;  // the drag runs on without a target and ends outside
        }
    }
    dialog_->Show(dragStart);
}

void frmTrovell::ApplyPointer() {
    ::SetCursor(EffectivePointer(ownPointer_));
}

// ---------------------------------------------------------------- routing the mouse

void frmTrovell::PictureBox_Mouse(PictureBox& /*box*/, UINT msg, WPARAM wp, Point at) {
    const HWND canvas = Picture1_.hwnd();
    const int shift = ShiftOfMouse(wp);
    auto under = [&] {
        return image1Visible_ && HitsFrame(Image1_, at) ? Target::Image1 : Target::Picture1;
    };
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const int button = ButtonOfMessage(msg);
            // The control pressed first holds the mouse until every button is up.
            const Target target = captured_ == Target::None ? under() : captured_;
            if (captured_ == Target::None) {
                captured_ = target;
                ::SetCapture(canvas);
            }
            heldButtons_ |= button;
            MouseDown(target, button, shift, at);
            return;
        }
        case WM_MOUSEMOVE:
            MouseMove(captured_ == Target::None ? under() : captured_, ButtonsOfMouse(wp), shift, at);
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            const int button = ButtonOfMessage(msg);
            const Target target = captured_ == Target::None ? under() : captured_;
            heldButtons_ &= ~button;
            if (heldButtons_ == 0 && captured_ != Target::None) {
                captured_ = Target::None;
                if (::GetCapture() == canvas) ::ReleaseCapture();
            }
            MouseUp(target, button, shift, at);
            return;
        }
        case WM_CAPTURECHANGED: {
            // Taken away (another program, a system dialog): the buttons count as released
            // there, so that no drag or selection is left running without its release.
            // The message carries no position: they are released where the pointer is.
            const Target target = captured_;
            if (target == Target::None) return;
            captured_ = Target::None;
            POINT pointer{};
            ::GetCursorPos(&pointer);
            ::ScreenToClient(canvas, &pointer);
            for (int button : {kLeftButton, kRightButton, kMiddleButton})
                if (heldButtons_ & button) {
                    heldButtons_ &= ~button;
                    MouseUp(target, button, 0, {pointer.x, pointer.y});
                }
            heldButtons_ = 0;
            return;
        }
    }
}

void frmTrovell::MouseDown(Target target, int button, int shift, Point at) {
    if (target == Target::Image1)
        Image1_MouseDown(button, shift, at);
    else
        Picture1_MouseDown(button, shift, at);
}

void frmTrovell::MouseMove(Target target, int button, int shift, Point at) {
    if (target == Target::Image1)
        Image1_MouseMove(button, shift, at);
    else
        Picture1_MouseMove(button, shift, at);
}

void frmTrovell::MouseUp(Target target, int button, int shift, Point at) {
    if (target == Target::Image1)
        Image1_MouseUp(button, shift, at);
    else
        Picture1_MouseUp(button, shift, at);
}

void frmTrovell::PictureBox_PaintOver(PictureBox& /*box*/, HDC dc) {
    if (!image1Visible_) return;
    RECT frame{Image1_.left, Image1_.top, Image1_.right(), Image1_.bottom()};
    ::FrameRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

void frmTrovell::PictureBox_KeyDown(PictureBox& /*box*/, WPARAM key) {
    Form_KeyDown(key);
}

HCURSOR frmTrovell::PictureBox_Pointer(PictureBox& /*box*/) {
    return EffectivePointer(ownPointer_);
}

LRESULT frmTrovell::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_KEYDOWN: Form_KeyDown(wp); return 0;
        case WM_CLOSE: Form_Unload(); return 0;
        // A frozen picture of another layout of monitors would be wrong everywhere.
        case WM_DISPLAYCHANGE: Form_Unload(); return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell::capture
