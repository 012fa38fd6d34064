#include "capture/Dialog_win.h"

#include <windowsx.h>

#include <cwchar>

#include "capture/CaptureRules.h"
#include "capture/CaptureTexts.h"
#include "platform/Fonts_win.h"
#include "platform/Pointer_win.h"
#include "platform/ScreenMetrics_win.h"

namespace trovell::capture {

namespace {

constexpr wchar_t kClassName[] = L"TrovellDrop";
// A fixed single border with a caption bar and a close box; no sizing, no minimising.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_WINDOWEDGE;
constexpr int kLabel1Id = 1;

bool HasJapanese(const wchar_t* face) { return FontFaceExists(face, SHIFTJIS_CHARSET); }

int CALLBACK NoteProportionalFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM face) {
    // Faces starting with '@' are the vertical-writing variants.
    if (font->lfFaceName[0] == L'@' || (font->lfPitchAndFamily & 3) != VARIABLE_PITCH) return 1;
    std::wcsncpy(reinterpret_cast<wchar_t*>(face), font->lfFaceName, LF_FACESIZE - 1);
    return 0;
}

// The face of the label: the one it was designed with; where that is missing, the system's
// message font if it has Japanese, else any proportional Japanese face. Left to the font
// mapper, a missing face could come out as one without Japanese glyphs, which shows them
// borrowed from another font, never bold.
std::wstring LabelFace() {
    if (HasJapanese(texts::kLabelFont)) return texts::kLabelFont;
    const LOGFONTW message = MessageFont();
    if (HasJapanese(message.lfFaceName)) return message.lfFaceName;
    LOGFONTW any{};
    any.lfCharSet = SHIFTJIS_CHARSET;
    wchar_t face[LF_FACESIZE] = {};
    WindowDc screen(nullptr);
    ::EnumFontFamiliesExW(screen.get(), &any, NoteProportionalFace, reinterpret_cast<LPARAM>(face),
                          0);
    return face[0] ? face : message.lfFaceName;
}

}  // namespace

Dialog::Dialog(Host host, const DibSurface& carrier) : host_(std::move(host)), carrier_(carrier) {}

Dialog::~Dialog() = default;

Status Dialog::Form_Load() {
    twips_ = ScreenTwipsPerPixel();
    const Rect client = TwipsToPixels(layout::kClient, twips_);
    if (Status created = Create({.className = kClassName,
                                 .caption = texts::kDialogCaption,
                                 .style = kStyle,
                                 .exStyle = kExStyle,
                                 .client = {client.width, client.height}});
        !created)
        return created;

    labelFont_ = CreatePointFont(LabelFace().c_str(), layout::kLabelPoints, layout::kLabelWeight,
                                 layout::kLabelCharset);
    // SS_NOTIFY: a plain static lets the mouse through to the window below it, and a move over
    // the label would then count as a move over the drop picture.
    label1_.reset(CreateControl({.className = L"STATIC",
                                 .text = texts::kDropLabel,
                                 .style = WS_VISIBLE | SS_LEFT | SS_NOTIFY,
                                 .parent = hwnd(),
                                 .id = kLabel1Id,
                                 .bounds = TwipsToPixels(layout::kLabel1, twips_),
                                 .font = labelFont_.get()}));
    if (!label1_) {
        const Status why = Status::LastError();
        ::DestroyWindow(hwnd());
        return why;
    }
    return {};
}

void Dialog::Show(Point dragStart) {
    if (!hwnd()) return;
    RECT now{};
    ::GetWindowRect(hwnd(), &now);
    const Rect place = DropWindowPlace(FromRect(now), DisplayMonitors(), dragStart);
    if (place != FromRect(now))
        ::SetWindowPos(hwnd(), nullptr, place.left, place.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Above the capture window without taking the keyboard from it, so that Escape still
    // reaches the capture window during and after a drag.
    ::SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Dialog::Hide() {
    if (hwnd()) ::ShowWindow(hwnd(), SW_HIDE);
}

void Dialog::Form_Unload() {
    if (!hwnd()) return;
    ::ShowWindow(hwnd(), SW_HIDE);
    ::DestroyWindow(hwnd());
}

void Dialog::OnDestroyed() {
    // The label went with the window as its child.
    (void)label1_.release();
    if (host_.unloaded) host_.unloaded();
}

Point Dialog::ClientOrigin() const {
    POINT origin{0, 0};
    if (hwnd()) ::ClientToScreen(hwnd(), &origin);
    return {origin.x, origin.y};
}

Rect Dialog::Image1Twips() const {
    // The picture as drawn, whole pixels: where the twips fall between two pixels, the zone
    // must not reach the pixel beside the visible picture, where a move would not store.
    const Rect p = Image1Pixels();
    return {p.left * twips_.x, p.top * twips_.y, p.width * twips_.x, p.height * twips_.y};
}

Rect Dialog::Image1Pixels() const {
    return TwipsToPixels(layout::kImage1, twips_);
}

void Dialog::Image1_MouseMove(int /*button*/, int /*shift*/, Point /*at*/) {
    // The first move stores; the moves that arrive while the file is written do not.
    // A move queued before the window was hidden is not one over the picture.
    if (storing_ || carrier_.empty() || !::IsWindowVisible(hwnd())) return;
    storing_ = true;
    // The carrier holds exactly the dropped pixels. A failure has been told in the tray
    // balloon; the window closes either way.
    if (host_.store) (void)host_.store(carrier_);
    Hide();
    Form_Unload();
}

void Dialog::Paint(HDC dc) {
    const Rect picture = Image1Pixels();
    RECT frame{picture.left, picture.top, picture.right(), picture.bottom()};
    ::FrameRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

LRESULT Dialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PaintDc paint(hwnd());
            Paint(paint.get());
            return 0;
        }
        case WM_MOUSEMOVE: {
            const Point at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (HitsFrame(Image1Pixels(), at)) Image1_MouseMove(0, 0, at);
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && PointerOverride()) {
                ::SetCursor(PointerOverride());
                return TRUE;
            }
            break;
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE && host_.escape) {
                host_.escape();
                return 0;
            }
            break;
        case WM_CLOSE:
            // The close box abandons a pending drop.
            Form_Unload();
            return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell::capture
