// The capture window and the drop window against real windows, real GDI and the real pointer:
// handlers are driven by the messages the canvas receives, with the pointer placed where the
// drag reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "capture/Dialog_win.h"
#include "capture/frmTrovell_win.h"
#include "platform/Pointer_win.h"
#include "shell/frmMain_win.h"

using namespace trovell;
using namespace trovell::capture;
using trovell::test::Pixels;
using trovell::test::PumpUntil;

namespace {

const HCURSOR kNone = nullptr;

// Shows a topmost patch of one colour on the screen: something to change after the freeze.
HWND ShowPatch(const Rect& r, COLORREF colour) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = ::CreateSolidBrush(colour);  // the class's for the rest of the process
    wc.lpszClassName = L"TrovellTestPatch";
    ::RegisterClassW(&wc);
    const HWND patch = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName, L"",
                                         WS_POPUP | WS_VISIBLE, r.left, r.top, r.width, r.height,
                                         nullptr, nullptr, wc.hInstance, nullptr);
    EXPECT_TRUE(PumpUntil([&] {
        HDC screen = ::GetDC(nullptr);
        const COLORREF seen = ::GetPixel(screen, r.left + r.width / 2, r.top + r.height / 2);
        ::ReleaseDC(nullptr, screen);
        return seen == colour;
    })) << "the patch did not show on the screen";
    return patch;
}

// Drives a capture window as the mouse would: places the pointer, then hands the canvas the
// message it would get there. The canvas lies at the screen's origin, so canvas pixels are
// screen pixels.
struct Driver {
    frmTrovell* w = nullptr;

    void Mouse(UINT msg, Point at, WPARAM keys) {
        ::SetCursorPos(at.x, at.y);
        ::SendMessageW(w->Picture1Window(), msg, keys, MAKELPARAM(at.x, at.y));
    }
    void Press(Point at) { Mouse(WM_LBUTTONDOWN, at, MK_LBUTTON); }
    void Move(Point at) { Mouse(WM_MOUSEMOVE, at, MK_LBUTTON); }
    void Release(Point at) { Mouse(WM_LBUTTONUP, at, 0); }
    void Select(Point from, Point to, UINT down = WM_LBUTTONDOWN, WPARAM keys = MK_LBUTTON) {
        Mouse(down, from, keys);
        Mouse(WM_MOUSEMOVE, to, keys);
        Mouse(down + 1, to, 0);  // the matching release
    }
    Dialog* drop() const { return w->DropWindow(); }
    // Dragging, the drop window shown, the pointer set over every window, the canvas's own.
    auto State() const {
        return std::tuple(w->Dragging(), DropShown(), PointerOverride(), w->OwnPointer());
    }
    bool DropShown() const { return drop() && drop()->hwnd() && ::IsWindowVisible(drop()->hwnd()); }
    // Screen point of the drop picture's pixel (x, y), found apart from the zone's own origin.
    Point OnDropPicture(int x, int y) const {
        POINT at{drop()->Image1Pixels().left + x, drop()->Image1Pixels().top + y};
        ::ClientToScreen(drop()->hwnd(), &at);
        return {at.x, at.y};
    }
    // Drags the frame at `grab` onto the drop picture's top band (clear of the label), lets go.
    void DropOnPicture(Point grab) {
        Press(grab);
        ASSERT_NE(drop(), nullptr);
        Move(OnDropPicture(20, 10));
        Release(OnDropPicture(20, 10));
    }
    // The move over the drop picture that stores a waiting drop.
    void MoveOverDropPicture() const {
        const Rect picture = drop()->Image1Pixels();
        ::SendMessageW(drop()->hwnd(), WM_MOUSEMOVE, 0,
                       MAKELPARAM(picture.left + 5, picture.top + 5));
    }
};

// A capture window of its own, storing into a list.
struct Capture : Driver {
    std::vector<std::vector<uint32_t>> stored;  // the pixels of each stored picture
    bool refuse = false;  // the store fails, as in a folder closed to the user
    std::unique_ptr<frmTrovell> owned;

    Capture() {
        frmTrovell::Host host;
        host.store = [this](const DibSurface& p) {
            if (!refuse) stored.push_back(Pixels(p));
            return !refuse;
        };
        owned = std::make_unique<frmTrovell>(std::move(host));
        w = owned.get();
        EXPECT_TRUE(w->Form_Load().ok());
    }
    ~Capture() {
        owned.reset();
        SetPointerOverride(nullptr);
        // The real pointer was moved: its messages must not reach the next test's windows.
        test::Pump();
    }
};

}  // namespace

// A right press beside the frame and Escape with no drag are driven end to end; here the
// ways to close during a drag over a waiting drop window, a change of monitors among them.
TEST(Capture, EscapeOnEitherWindowACloseOrNewMonitorsDuringADragUnloadBothWithNothingStored) {
    enum How { kEscapeOnCapture, kEscapeOnDrop, kCloseMessage, kDisplayChange };
    for (How how : {kEscapeOnCapture, kEscapeOnDrop, kCloseMessage, kDisplayChange}) {
        Capture c;
        c.Select({500, 400}, {560, 440});
        c.DropOnPicture({520, 420});
        ASSERT_TRUE(c.DropShown()) << how;
        c.Press({520, 420});  // dragging again, over the target
        c.Move(c.OnDropPicture(20, 10));
        ASSERT_EQ(PointerOverride(), c.w->picIcon2()) << how;
        const HWND drop = c.drop()->hwnd();
        const HWND capture = c.w->hwnd();
        switch (how) {
            case kEscapeOnCapture: ::SendMessageW(capture, WM_KEYDOWN, VK_ESCAPE, 0); break;
            case kEscapeOnDrop: ::SendMessageW(drop, WM_KEYDOWN, VK_ESCAPE, 0); break;
            case kCloseMessage: ::SendMessageW(capture, WM_CLOSE, 0, 0); break;
            case kDisplayChange:
                ::SendMessageW(capture, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
                break;
        }
        // The frozen copy is freed at once.
        EXPECT_EQ(std::tuple(::IsWindow(capture), ::IsWindow(drop), c.w->Picture1().empty(),
                             PointerOverride(), c.stored.size()),
                  std::tuple(FALSE, FALSE, true, kNone, size_t{0}))
            << how;
    }
}

TEST(Drag, PointerShowsTheStrictDropZone_TheReleaseDecidesWhereItIsLetGo_CloseBoxAbandons) {
    Capture c;
    c.Select({500, 400}, {620, 480});
    // Without a move since the press, a release is outside wherever the drop window appeared.
    c.Press({550, 450});
    const Point over = c.OnDropPicture(20, 10);
    ::SetCursorPos(over.x, over.y);
    ::SendMessageW(c.w->Picture1Window(), WM_LBUTTONUP, 0, MAKELPARAM(550, 450));
    EXPECT_FALSE(c.DropShown());
    EXPECT_NE(c.drop()->hwnd(), nullptr);  // hidden, still loaded

    c.Press({550, 450});
    ASSERT_TRUE(c.DropShown());
    EXPECT_EQ(::WindowFromPoint({over.x, over.y}), c.drop()->hwnd());  // above the capture window
    // The picture's left and top edges fall on its outline, which the strict comparison leaves
    // out; its right and bottom edges lie just past its last pixels.
    const Rect picture = c.drop()->Image1Pixels();
    const std::tuple<int, int, bool> cases[] = {
        {0, 10, false}, {1, 10, true}, {picture.width - 1, 10, true},  {picture.width, 10, false},
        {20, 0, false}, {20, 1, true}, {20, picture.height - 1, true}, {20, picture.height, false}};
    for (const auto& [x, y, inside] : cases) {
        c.Move(c.OnDropPicture(x, y));
        EXPECT_EQ(PointerOverride(), inside ? c.w->picIcon2() : nullptr) << x << "," << y;
    }
    EXPECT_EQ(c.State(), std::tuple(true, true, kNone, c.w->picIcon1()));
    c.Release(c.OnDropPicture(20, picture.height));
    EXPECT_EQ(c.State(), std::tuple(false, false, kNone, kNone));
    c.MoveOverDropPicture();  // a hidden drop window stores nothing
    EXPECT_TRUE(c.stored.empty());

    // Moved, and the last move's message lost on the way: the release decides by where the
    // button was let go, not by where the pointer is meanwhile; inside, the drop window waits.
    c.Press({550, 450});
    c.Move({900, 700});
    ::SendMessageW(c.w->Picture1Window(), WM_LBUTTONUP, 0, MAKELPARAM(over.x, over.y));
    EXPECT_EQ(c.State(), std::tuple(false, true, kNone, kNone));

    const HWND drop = c.drop()->hwnd();
    ::SendMessageW(drop, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box abandons the drop only
    EXPECT_FALSE(::IsWindow(drop));
    EXPECT_TRUE(::IsWindowVisible(c.w->hwnd()));
    EXPECT_TRUE(c.stored.empty());

    // A second button pressed during the drag neither restarts it nor takes it over: the
    // first release ends it where it is let go (over the picture, with no move message since
    // the second press: the drop waits); the other's changes nothing.
    c.Press({550, 450});
    c.Move({900, 700});
    c.Mouse(WM_MBUTTONDOWN, {900, 700}, MK_LBUTTON | MK_MBUTTON);
    EXPECT_EQ(c.State(), std::tuple(true, true, kNone, c.w->picIcon1()));
    c.Mouse(WM_LBUTTONUP, c.OnDropPicture(20, 10), MK_MBUTTON);
    EXPECT_EQ(c.State(), std::tuple(false, true, kNone, kNone));
    c.Mouse(WM_MBUTTONUP, {900, 700}, 0);
    EXPECT_EQ(c.State(), std::tuple(false, true, kNone, kNone));
}

// The store of a first drop, its pixels, the closing drop window, the frame kept after it and
// a second drop are driven end to end with the real mouse, as is the right press that hides
// the frame and a frame that stays after its release; here what a press on the hidden frame
// does (the middle button selects as the left does), and the carrier of a drop that waits
// being replaced.
TEST(Drag, AHiddenFrameTakesNoPressAndANewDragReplacesTheWaitingCarrier) {
    Capture c;
    c.Select({500, 400}, {560, 440});
    c.DropOnPicture({520, 420});
    c.Mouse(WM_RBUTTONDOWN, {520, 420}, MK_RBUTTON);
    c.Mouse(WM_RBUTTONUP, {520, 420}, 0);
    ASSERT_TRUE(c.DropShown());
    // A new selection, no drag of the hidden frame.
    c.Select({520, 420}, {521, 421}, WM_MBUTTONDOWN, MK_MBUTTON);
    EXPECT_EQ(c.w->Image1(), (Rect{520, 420, 1, 1}));
    c.DropOnPicture({520, 420});
    c.MoveOverDropPicture();
    ASSERT_EQ(c.stored.size(), 1u);
    EXPECT_EQ(c.stored[0],
              (std::vector{c.w->Picture1().bits()[420 * c.w->Picture1().width() + 520]}));
}

// Storing through the resident window into the day folder is driven end to end with the real
// mouse; here the reopening while open, which only this process can see from inside.
TEST(Capture, ReopeningWhileOpenKeepsTheFrozenCopyAndTheFrameAndAfterClosingCopiesAgain) {
    test::TempFolder app;
    frmMain resident(test::OptionsFor(app));
    ASSERT_EQ(resident.Form_Load(), frmMain::LoadResult::Started);
    ::SendMessageW(resident.hwnd(), WM_COMMAND, frmMain::kMnuCap, 0);
    Driver d{resident.CaptureWindow()};
    ASSERT_NE(d.w, nullptr);
    const std::vector<uint32_t> frozen = Pixels(d.w->Picture1());
    d.Select({320, 220}, {350, 240});

    const HWND patch = ShowPatch({300, 200, 100, 100}, RGB(250, 250, 10));
    ::SendMessageW(resident.hwnd(), 0x200, 0, WM_LBUTTONUP);  // the tray's left release
    EXPECT_EQ(std::tuple(resident.CaptureWindow(), Pixels(d.w->Picture1()) == frozen, d.w->Image1(),
                         d.w->Image1Visible()),
              std::tuple(d.w, true, Rect{320, 220, 30, 20}, true));

    d.Mouse(WM_RBUTTONDOWN, {900, 700}, MK_RBUTTON);
    ASSERT_EQ(resident.CaptureWindow(), nullptr);
    ::SendMessageW(resident.hwnd(), WM_COMMAND, frmMain::kMnuCap, 0);
    const frmTrovell* again = resident.CaptureWindow();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Picture1().bits()[250 * again->Picture1().width() + 350], 0xFAFA0Au);
    EXPECT_FALSE(again->Image1Visible());
    ::DestroyWindow(patch);
}

// How memory and GDI objects hold over a thousand cycles is the benchmark's figure; here that
// the objects of an opening are all gone after it. What the balloon says of a refused store is
// the resident window's test (a clipboard store goes the same way).
TEST(Capture, ARefusedStoreClosesTheDropWindowToo_NothingOfAnOpeningIsLeftAfterIt) {
    std::vector<HGDIOBJ> gdi;
    std::vector<HICON> pointers;
    std::vector<HWND> windows;
    {
        Capture c;
        c.Select({500, 400}, {620, 480});
        // The drop window is deleted after its window, whether the store took the picture.
        for (bool refuse : {true, false}) {
            c.refuse = refuse;
            c.DropOnPicture({550, 450});
            c.MoveOverDropPicture();
            EXPECT_TRUE(PumpUntil([&] { return c.drop() == nullptr; })) << refuse;
        }
        EXPECT_EQ(c.stored.size(), 1u);
        c.Press({550, 450});
        c.Move({900, 700});
        c.Release({900, 700});
        gdi = {c.w->Picture1().bitmap(), c.w->Picture2().bitmap(), c.drop()->LabelFont(),
               c.w->Picture1().dc(), c.w->Picture2().dc()};
        pointers = {c.w->picIcon1(), c.w->picIcon2()};
        windows = {c.w->hwnd(), c.w->Picture1Window(), c.w->FrameTip(), c.drop()->hwnd(),
                   c.drop()->Label1()};
        c.Mouse(WM_RBUTTONDOWN, {900, 700}, MK_RBUTTON);
    }
    for (HGDIOBJ h : gdi) EXPECT_EQ(::GetObjectType(h), 0u) << h;
    ICONINFO info{};
    for (HICON h : pointers) EXPECT_FALSE(::GetIconInfo(h, &info)) << h;
    for (HWND h : windows) EXPECT_FALSE(::IsWindow(h)) << h;
}
