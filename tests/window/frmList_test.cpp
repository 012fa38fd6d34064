// The browser window against a throwaway store: real controls driven by real messages,
// message boxes answered by the test, folders and files checked on disk.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "TestSupport.h"
#include "browser/frmList_win.h"
#include "browser/frmPicture_win.h"
#include "platform/BmpWriter_win.h"
#include "platform/Clipboard_win.h"
#include "platform/FileDragDrop_win.h"
#include "platform/FileOps_win.h"
#include "platform/MessageBox_win.h"
#include "platform/ScreenMetrics_win.h"
#include "platform/Status_win.h"
#include "shell/StoreNames.h"

using namespace trovell;
using trovell::test::TempFolder;

namespace {

using Names = std::vector<std::wstring>;

struct Box {
    std::wstring text, title;
    UINT style;
};

std::wstring TextOf(HWND hwnd) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(hwnd, text, 1024);
    return text;
}

// Everything that is already queued, handled; nothing is waited for.
void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A click of the left button at a point of a control's client area, as the mouse gives it.
void Click(HWND control, POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::PostMessageW(control, WM_LBUTTONUP, 0, where);
    Pump();
}

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A picture of four quadrants, each its own colour and none of them black.
constexpr uint32_t kTopLeft = 0x2040E0, kTopRight = 0xE02020, kBottomLeft = 0xF0E020,
                   kBottomRight = 0x20C040;

void WriteQuadrants(const std::wstring& path, int width, int height) {
    DibSurface picture;
    ASSERT_TRUE(picture.Resize(width, height));
    uint32_t* bits = picture.bits();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bits[y * width + x] = y < height / 2 ? (x < width / 2 ? kTopLeft : kTopRight)
                                                 : (x < width / 2 ? kBottomLeft : kBottomRight);
    ASSERT_TRUE(SaveBmp(picture, path));
}

std::wstring CreationText(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    SYSTEMTIME utc, local;
    ::FileTimeToSystemTime(&data.ftCreationTime, &utc);
    ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    wchar_t text[32];
    ::wsprintfW(text, L"%04d/%02d/%02d %02d:%02d:%02d", local.wYear, local.wMonth, local.wDay,
                local.wHour, local.wMinute, local.wSecond);
    return text;
}

// Folder names in the order the file system gives them, as the tree must show them.
Names EnumeratedFolders(const std::wstring& folder) {
    Names names;
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            names.push_back(name);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return names;
}

class Browser : public testing::Test {
protected:
    void SetUp() override {
        store_ = StoreRootPath(app_.path(), L"tester");
        ASSERT_TRUE(::CreateDirectoryW(ImgFolderPath(app_.path()).c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(store_.c_str(), nullptr));
        SetMessageBoxHandler(
            [this](HWND, const std::wstring& text, const std::wstring& title, UINT style) {
                boxes_.push_back({text, title, style});
                if (answers_.empty()) return IDOK;
                const int answer = answers_.front();
                answers_.pop_front();
                return answer;
            });
    }
    void TearDown() override {
        frmPicture::Viewer().Unload();
        w_.reset();
        SetMessageBoxHandler({});
    }

    void Folder(const std::wstring& name) {
        ASSERT_TRUE(::CreateDirectoryW((store_ + name).c_str(), nullptr)) << name;
    }
    void File(const std::wstring& folder, const std::wstring& name,
              const std::string& bytes = "x") {
        test::WriteFileBytes(store_ + folder + L"\\" + name, bytes);
    }
    void Open() {
        w_ = std::make_unique<frmList>(
            frmList::Options{.appFolder = app_.path(), .userName = L"tester", .onDestroyed = {}});
        ASSERT_TRUE(w_->Open());
        Pump();
    }

    std::vector<HTREEITEM> Nodes() const {
        std::vector<HTREEITEM> nodes;
        for (HTREEITEM n = TreeView_GetRoot(w_->TreeView1()); n;
             n = TreeView_GetNextSibling(w_->TreeView1(), n))
            nodes.push_back(n);
        return nodes;
    }
    Names NodeTexts() const {
        Names texts;
        for (HTREEITEM n : Nodes()) texts.push_back(w_->NodeText(n));
        return texts;
    }
    HTREEITEM Node(const std::wstring& text) const {
        for (HTREEITEM n : Nodes())
            if (w_->NodeText(n) == text) return n;
        return nullptr;
    }
    Names Entries() const {
        Names entries;
        const int count = static_cast<int>(::SendMessageW(w_->List1(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[512] = {};
            ::SendMessageW(w_->List1(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    bool DeleteEnabled() const {
        return ::SendMessageW(w_->Toolbar1(), TB_ISBUTTONENABLED, frmList::kToolDelete, 0) != 0;
    }
    void ClickToolbar(int index) {
        RECT r{};
        ::SendMessageW(w_->Toolbar1(), TB_GETITEMRECT, index - 1, reinterpret_cast<LPARAM>(&r));
        Click(w_->Toolbar1(), Centre(r));
    }
    void ClickNode(HTREEITEM node) {
        RECT r{};
        TreeView_GetItemRect(w_->TreeView1(), node, &r, TRUE);
        Click(w_->TreeView1(), Centre(r));
    }
    void ClickEntry(int index) {
        RECT r{};
        ::SendMessageW(w_->List1(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        Click(w_->List1(), Centre(r));
    }
    // Selects exactly these entries.
    void Select(const std::vector<int>& indexes) {
        ::SendMessageW(w_->List1(), LB_SETSEL, FALSE, -1);
        for (int i : indexes) ::SendMessageW(w_->List1(), LB_SETSEL, TRUE, i);
    }
    std::vector<int> Selected() const {
        std::vector<int> selected;
        for (int i = 0; i < static_cast<int>(Entries().size()); ++i)
            if (::SendMessageW(w_->List1(), LB_GETSEL, i, 0) > 0) selected.push_back(i);
        return selected;
    }
    void Type(HWND box, const std::wstring& text, wchar_t key) {
        ::SetWindowTextW(box, text.c_str());
        ::SendMessageW(box, WM_CHAR, key, 1);
        Pump();
    }
    // A key pressed in a control with the given modifiers held.
    void Key(HWND control, int vk, int shift = 0) {
        BYTE state[256] = {}, saved[256] = {};
        ::GetKeyboardState(saved);
        std::copy(saved, saved + 256, state);
        state[VK_SHIFT] = (shift & 1) ? 0x80 : 0;
        state[VK_CONTROL] = (shift & 2) ? 0x80 : 0;
        state[VK_MENU] = (shift & 4) ? 0x80 : 0;
        ::SetKeyboardState(state);
        ::SendMessageW(control, WM_KEYDOWN, vk, 1);
        ::SetKeyboardState(saved);
        Pump();
    }
    void Rename(HTREEITEM node, const std::wstring& text) {
        ::SetFocus(w_->TreeView1());
        const HWND edit = TreeView_EditLabel(w_->TreeView1(), node);
        ASSERT_NE(edit, nullptr);
        ::SetWindowTextW(edit, text.c_str());
        TreeView_EndEditLabelNow(w_->TreeView1(), FALSE);
        Pump();
    }
    std::wstring Error() const { return TextOf(w_->lblErrorMessage()); }
    // Exactly count boxes asked, the last with these words.
    void ExpectLastBox(size_t count, const std::wstring& text, const std::wstring& title,
                       UINT style) {
        ASSERT_EQ(boxes_.size(), count);
        EXPECT_EQ(boxes_.back().text, text);
        EXPECT_EQ(boxes_.back().title, title);
        EXPECT_EQ(boxes_.back().style, style);
    }
    bool ShowsNothing() const {
        const DibSurface& preview = w_->PreviewPicture();
        const uint32_t* bits = preview.bits();
        const bool black = std::all_of(bits, bits + preview.width() * preview.height(),
                                       [](uint32_t c) { return (c & 0xFFFFFF) == 0; });
        return black && TextOf(w_->lblYMD()).empty() && TextOf(w_->txtFileName()).empty() &&
               TextOf(w_->txtK()).empty() && w_->txtFileNameTag().empty() &&
               !::IsWindowEnabled(w_->txtFileName()) && !::IsWindowEnabled(w_->txtK());
    }

    TempFolder app_;
    std::wstring store_;
    std::unique_ptr<frmList> w_;
    std::vector<Box> boxes_;
    std::deque<int> answers_;
};

const UINT kConfirm = MB_OKCANCEL | MB_ICONEXCLAMATION;
const UINT kStop = MB_OK | MB_ICONHAND;

frmPicture& Viewer() {
    return frmPicture::Viewer();
}

using Extent = std::array<long, 2>;
Extent OuterSize(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// What the screen shows of a window, read back from the screen itself.
std::vector<uint32_t> OnScreen(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    DibSurface copy;
    if (!copy.Resize(r.right - r.left, r.bottom - r.top)) return {};
    WindowDc screen(nullptr);
    ::BitBlt(copy.dc(), 0, 0, copy.width(), copy.height(), screen.get(), r.left, r.top, SRCCOPY);
    std::vector<uint32_t> pixels = test::Pixels(copy);
    for (uint32_t& c : pixels) c &= 0xFFFFFF;
    return pixels;
}

void WritePattern(const std::wstring& path, int width, int height, uint32_t seed) {
    ASSERT_TRUE(SaveBmp(test::Pattern(width, height, seed), path));
}

}  // namespace

// ---------------------------------------------------------------- layout

TEST_F(Browser, Layout_EveryControlSitsAtItsTwipsPositionAt96Dpi) {
    const TwipsPerPixel t = ScreenTwipsPerPixel();
    if (t.x != 15 || t.y != 15) GTEST_SKIP() << "the screen is not at 96 dpi";
    Open();
    const HWND form = w_->hwnd();
    EXPECT_EQ(TextOf(form), L"Velloran トロベル一覧");
    const LONG style = ::GetWindowLongW(form, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX), WS_CAPTION);
    RECT client, outer;
    ::GetClientRect(form, &client);
    EXPECT_EQ(client.right, 697);
    EXPECT_EQ(client.bottom, 423);
    ::GetWindowRect(form, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    struct Expect {
        const char* name;
        HWND control;
        RECT pixels;  // left, top, width, height in the parent's client area
    };
    const Expect table[] = {
        {"Toolbar1", w_->Toolbar1(), {0, 0, 697, 41}},
        {"cmdReSetFolder", w_->cmdReSetFolder(), {0, 46, 147, 21}},
        {"TreeView1", w_->TreeView1(), {0, 68, 147, 316}},
        {"cmdListSort", w_->cmdListSort(), {148, 46, 173, 20}},
        {"List1", w_->List1(), {148, 68, 173, 316}},
        {"Picture4", w_->Picture4(), {322, 44, 375, 340}},
        {"Picture3", w_->Picture3(), {0, 398, 697, 25}},
        {"lblErrorMessage", w_->lblErrorMessage(), {2, 4, 645, 21}},
        {"Picture5", w_->Picture5(), {8, 4, 205, 27}},
        {"Label1", w_->Label1(), {4, 8, 55, 21}},
        {"lblYMD", w_->lblYMD(), {68, 8, 129, 21}},
        {"Command1", w_->Command1(), {216, 6, 147, 23}},
        {"cmdBigPic", w_->cmdBigPic(), {334, -8, 27, 23}},
        {"Picture6", w_->Picture6(), {8, 32, 355, 23}},
        {"txtFileName", w_->txtFileName(), {4, 3, 296, 17}},
        {"txtK", w_->txtK(), {308, 3, 39, 17}},
        {"Picture2", w_->Picture2(), {8, 56, 355, 277}},
        {"lblListIndexBack", w_->lblListIndexBack(), {184, -6, 33, 21}},
    };
    for (const Expect& e : table) {
        RECT r;
        ::GetWindowRect(e.control, &r);
        ::MapWindowPoints(nullptr, ::GetParent(e.control), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ((std::array{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  (std::array{e.pixels.left, e.pixels.top, e.pixels.right, e.pixels.bottom}))
            << e.name;
    }
    // The rows and the preview lie in the right panel, the name boxes in their row.
    EXPECT_EQ(::GetParent(w_->Picture2()), w_->Picture4());
    EXPECT_EQ(::GetParent(w_->lblYMD()), w_->Picture5());
    EXPECT_EQ(::GetParent(w_->txtK()), w_->Picture6());
    EXPECT_EQ(::GetParent(w_->lblErrorMessage()), w_->Picture3());
    // The preview has no border: its inner size is its outer size.
    RECT inner;
    ::GetClientRect(w_->Picture2(), &inner);
    EXPECT_EQ(inner.right, 355);
    EXPECT_EQ(inner.bottom, 277);
    EXPECT_FALSE(::IsWindowVisible(w_->cmdBigPic()));
    EXPECT_FALSE(::IsWindowVisible(w_->lblListIndexBack()));
}

TEST_F(Browser, Layout_ColoursTextsFontAndToolbar) {
    Open();
    ::UpdateWindow(w_->hwnd());
    ::RedrawWindow(w_->hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    auto colourAt = [](HWND control, int x, int y) {
        WindowDc dc(control);
        return ::GetPixel(dc.get(), x, y);
    };
    RECT panel;
    ::GetClientRect(w_->Picture4(), &panel);
    EXPECT_EQ(colourAt(w_->Picture4(), 2, panel.bottom - 2), RGB(255, 255, 192));
    EXPECT_EQ(colourAt(w_->Picture5(), 1, 1), RGB(255, 224, 192));
    EXPECT_EQ(colourAt(w_->Picture2(), 100, 100), RGB(0, 0, 0));

    // lblListIndexBack keeps its design text until a show.
    const std::pair<HWND, const wchar_t*> texts[] = {{w_->cmdReSetFolder(), L"最新の情報に更新"},
                                                     {w_->Label1(), L"作成日時 :"},
                                                     {w_->Command1(), L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞに画像をｺﾋﾟｰ"},
                                                     {w_->cmdBigPic(), L"元"},
                                                     {w_->lblListIndexBack(), L"Label2"}};
    for (const auto& [control, text] : texts) EXPECT_EQ(TextOf(control), text);
    EXPECT_TRUE(::GetWindowLongW(w_->txtK(), GWL_STYLE) & ES_READONLY);

    // The Japanese UI font or the system's message font, never the raw System font.
    LOGFONTW font{};
    ASSERT_TRUE(::GetObjectW(w_->UiFont(), sizeof(font), &font));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    EXPECT_TRUE(std::wstring(font.lfFaceName) == L"ＭＳ Ｐゴシック" ||
                std::wstring(font.lfFaceName) == metrics.lfMessageFont.lfFaceName)
        << font.lfFaceName;
    for (HWND control : {w_->Toolbar1(), w_->cmdReSetFolder(), w_->TreeView1(), w_->List1(),
                         w_->lblErrorMessage(), w_->lblYMD(), w_->txtFileName(), w_->txtK()})
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), w_->UiFont());

    wchar_t tip[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = w_->hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(w_->List1());
    tool.lpszText = tip;
    ::SendMessageW(w_->ListTip(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(tip, L"Enterまたはダブルクリックで元画像を表示します。");

    // Three buttons of 37 x 35 pixels, their captions under 16 x 16 images.
    ASSERT_EQ(::SendMessageW(w_->Toolbar1(), TB_BUTTONCOUNT, 0, 0), 3);
    const wchar_t* captions[] = {L"閉じる", L"新規", L"削除"};
    for (int i = 0; i < 3; ++i) {
        wchar_t caption[32] = {};
        ::SendMessageW(w_->Toolbar1(), TB_GETBUTTONTEXTW, i + 1, reinterpret_cast<LPARAM>(caption));
        EXPECT_STREQ(caption, captions[i]);
        RECT r{};
        ::SendMessageW(w_->Toolbar1(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(r.right - r.left, 37) << i;
        EXPECT_EQ(r.bottom - r.top, 35) << i;
    }
    int cx = 0, cy = 0;
    EXPECT_EQ(ImageList_GetImageCount(w_->ImageList3()), 3);
    ImageList_GetIconSize(w_->ImageList3(), &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    EXPECT_EQ(ImageList_GetImageCount(w_->ImageList1()), 2);
    EXPECT_EQ(TreeView_GetImageList(w_->TreeView1(), TVSIL_NORMAL), w_->ImageList1());
}

// ---------------------------------------------------------------- opening and refresh

TEST_F(Browser, Opening_SelectsAndListsTheFirstEnumeratedFolderWithoutNodeClick) {
    Folder(L"050102");
    Folder(L"050101");
    Folder(L"旅行");
    for (const wchar_t* folder : {L"050102", L"050101", L"旅行"}) File(folder, L"other.bmp");
    const Names order = EnumeratedFolders(store_);
    for (const wchar_t* name : {L"b.bmp", L"A.jpg", L"a_2.bmp", L"050101120000.bmp"})
        File(order[0], name);
    ::DeleteFileW((store_ + order[0] + L"\\other.bmp").c_str());
    File(order[0], L"hidden.bmp");
    ::SetFileAttributesW((store_ + order[0] + L"\\hidden.bmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Open();

    EXPECT_EQ(NodeTexts(), order);
    for (HTREEITEM n : Nodes()) {
        EXPECT_EQ(w_->NodeKey(n), w_->NodeText(n) + L"_");
        TVITEMW item{};
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = n;
        TreeView_GetItem(w_->TreeView1(), &item);
        EXPECT_EQ((std::array{item.iImage, item.iSelectedImage}), (std::array{0, 1}));
    }
    EXPECT_EQ(w_->SelectedNode(), Nodes()[0]);
    // Ordinal order with letters folded; hidden files stay out.
    const Names files = {L"050101120000.bmp", L"A.jpg", L"a_2.bmp", L"b.bmp"};
    EXPECT_EQ(Entries(), files);
    EXPECT_TRUE(DeleteEnabled());
    EXPECT_EQ(Error(), L"");
    EXPECT_TRUE(ShowsNothing());
}

TEST_F(Browser, Opening_EmptyOrMissingStoreLeavesButton3EnabledUntilTheTreeGetsTheFocus) {
    Open();
    EXPECT_TRUE(Nodes().empty());
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(w_->File1Path(), store_);
    EXPECT_TRUE(DeleteEnabled());
    ::SetFocus(w_->TreeView1());
    EXPECT_FALSE(DeleteEnabled());
    // The tree's delete with nothing in it asks nothing.
    Key(w_->TreeView1(), VK_DELETE);
    // A store that is missing opens the same, without a word.
    w_.reset();
    ASSERT_TRUE(::RemoveDirectoryW(store_.c_str()));
    Open();
    EXPECT_TRUE(Nodes().empty() && Entries().empty());
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Browser, Refresh_RebuildsTheTreeAndFollowsFoldersThatVanished) {
    Folder(L"a");
    Folder(L"b");
    File(L"a", L"1.bmp");
    File(L"a", L"2.bmp");
    File(L"a", L"3.bmp");
    File(L"b", L"1.bmp");
    Open();
    Rename(Node(L"a"), L"c");  // a bare key, until the refresh
    ASSERT_EQ(w_->NodeKey(Node(L"c")), L"c");
    w_->blnSortDesc = true;
    ::SendMessageW(w_->cmdReSetFolder(), BM_CLICK, 0, 0);
    Names order = EnumeratedFolders(store_);
    EXPECT_EQ(NodeTexts(), order);
    for (HTREEITEM n : Nodes()) EXPECT_EQ(w_->NodeKey(n), w_->NodeText(n) + L"_");
    Names first = test::ListFolder(store_ + order[0] + L"\\");
    std::reverse(first.begin(), first.end());
    EXPECT_EQ(Entries(), first);

    // Another program removes one folder, then the other.
    ASSERT_TRUE(RemoveFolder(store_ + L"c"));
    ::SendMessageW(w_->cmdReSetFolder(), BM_CLICK, 0, 0);
    EXPECT_EQ(NodeTexts(), Names{L"b"});
    EXPECT_EQ(Entries(), Names{L"1.bmp"});
    EXPECT_TRUE(DeleteEnabled());

    ClickEntry(0);
    ASSERT_TRUE(RemoveFolder(store_ + L"b"));
    ::SendMessageW(w_->cmdReSetFolder(), BM_CLICK, 0, 0);
    EXPECT_TRUE(Nodes().empty());
    EXPECT_TRUE(Entries().empty());  // never the entries of a folder that is gone
    EXPECT_FALSE(DeleteEnabled());
    EXPECT_TRUE(ShowsNothing());
    EXPECT_TRUE(boxes_.empty());
}

// ---------------------------------------------------------------- node click and focus

TEST_F(Browser, NodeClick_ReadsTheFolderAfreshAndReportsOneThatVanished) {
    Folder(L"a");
    Folder(L"b");
    File(L"a", L"1.bmp");
    File(L"b", L"2.bmp");
    Open();
    const Names order = EnumeratedFolders(store_);
    const std::wstring second = order[1];
    ClickNode(Node(second));
    EXPECT_EQ(w_->SelectedNode(), Node(second));
    EXPECT_EQ(Entries(), Names{second == L"a" ? L"1.bmp" : L"2.bmp"});

    File(second, L"0.bmp");  // written meanwhile: the same node clicked again shows it
    ClickNode(Node(second));
    EXPECT_EQ(Entries().size(), 2u);
    EXPECT_EQ(Entries()[0], L"0.bmp");

    ASSERT_TRUE(RemoveFolder(store_ + second));
    ClickNode(Node(second));
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(Error(), Status(ERROR_PATH_NOT_FOUND).Text());
}

TEST_F(Browser, Focus_TreeAndListSetButton3AndTheTreeEmptiesTheInformation) {
    Folder(L"a");
    Folder(L"b");
    WriteQuadrants(store_ + L"a\\p.bmp", 4, 4);
    WriteQuadrants(store_ + L"b\\p.bmp", 4, 4);
    Open();
    ::SetFocus(w_->List1());
    EXPECT_TRUE(DeleteEnabled());
    ClickEntry(0);
    ASSERT_FALSE(TextOf(w_->lblYMD()).empty());
    ::SetFocus(w_->TreeView1());
    EXPECT_TRUE(ShowsNothing());
    EXPECT_TRUE(DeleteEnabled());

    // Right arrow: the tree keeps its node, entry 0 joins the selection, the list has the
    // focus; with an empty list only the focus moves.
    const HTREEITEM before = w_->SelectedNode();
    Key(w_->TreeView1(), VK_RIGHT);
    EXPECT_EQ(w_->SelectedNode(), before);
    EXPECT_EQ(::GetFocus(), w_->List1());
    EXPECT_GT(::SendMessageW(w_->List1(), LB_GETSEL, 0, 0), 0);

    ASSERT_TRUE(RemoveFile(store_ + w_->NodeText(before) + L"\\p.bmp"));
    ::SetFocus(w_->TreeView1());
    ClickNode(before);
    ASSERT_TRUE(Entries().empty());
    Key(w_->TreeView1(), VK_RIGHT);
    EXPECT_EQ(::GetFocus(), w_->List1());
    EXPECT_FALSE(DeleteEnabled());

    // With the focus elsewhere button 3 does nothing.
    ::SetFocus(w_->TreeView1());
    ::SetFocus(w_->cmdReSetFolder());
    ClickToolbar(frmList::kToolDelete);
    EXPECT_TRUE(boxes_.empty());
}

// ---------------------------------------------------------------- new folder

TEST_F(Browser, NewFolder_TakesTheFirstFreeNameAndAddsAnUnselectedNode) {
    Folder(L"新しいフォルダ (2)");
    Folder(L"a");
    File(L"a", L"1.bmp");
    Open();
    const HTREEITEM selected = w_->SelectedNode();
    ClickToolbar(frmList::kToolNew);
    EXPECT_TRUE(FolderExists(store_ + L"新しいフォルダ"));
    ASSERT_EQ(NodeTexts().size(), 3u);
    EXPECT_EQ(NodeTexts().back(), L"新しいフォルダ");
    EXPECT_EQ(w_->NodeKey(Nodes().back()), L"新しいフォルダ_");
    EXPECT_EQ(w_->SelectedNode(), selected);
    EXPECT_EQ(Entries(), test::ListFolder(store_ + w_->NodeText(selected) + L"\\"));

    // Ctrl+M in the tree is the same command; with Shift too it is nothing.
    ::SetFocus(w_->TreeView1());
    Key(w_->TreeView1(), 'M', 2);
    EXPECT_EQ(NodeTexts().back(), L"新しいフォルダ (3)");
    Key(w_->TreeView1(), 'M', 3);
    EXPECT_EQ(NodeTexts().size(), 4u);
    EXPECT_FALSE(FolderExists(store_ + L"新しいフォルダ (4)"));
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Browser, NewFolder_StoreThatTakesNoFolderSaysSoOnce) {
    Open();
    ASSERT_TRUE(::RemoveDirectoryW(store_.c_str()));
    ClickToolbar(frmList::kToolNew);
    ExpectLastBox(1, L"新規フォルダを作れません。", L"フォルダの新規作成", kStop);
    EXPECT_TRUE(Nodes().empty());
    EXPECT_EQ(Error(), L"");
}

// ---------------------------------------------------------------- delete folder

TEST_F(Browser, DeleteFolder_AsksRemovesAndListsTheNextSelectedFolder) {
    Folder(L"a");
    Folder(L"b");
    File(L"a", L"1.bmp");
    File(L"b", L"2.bmp");
    Open();
    const std::wstring first = w_->NodeText(w_->SelectedNode());
    const std::wstring other = first == L"a" ? L"b" : L"a";
    ::SetFocus(w_->TreeView1());

    answers_ = {IDCANCEL};
    ClickToolbar(frmList::kToolDelete);
    ExpectLastBox(1, L"フォルダ内のファイルも削除されます。", L"フォルダの削除", kConfirm);
    EXPECT_TRUE(FolderExists(store_ + first));
    EXPECT_EQ(Nodes().size(), 2u);

    ClickToolbar(frmList::kToolDelete);  // OK
    EXPECT_FALSE(test::PathExists(store_ + first));
    EXPECT_EQ(NodeTexts(), Names{other});
    EXPECT_EQ(w_->SelectedNode(), Node(other));
    EXPECT_EQ(Entries(), test::ListFolder(store_ + other + L"\\"));
    EXPECT_TRUE(DeleteEnabled());

    // The last one, by Shift+Delete: the tree and the list are empty, button 3 is off.
    Key(w_->TreeView1(), VK_DELETE, 1);
    EXPECT_EQ(boxes_.size(), 3u);
    EXPECT_FALSE(test::PathExists(store_ + other));
    EXPECT_TRUE(Nodes().empty());
    EXPECT_TRUE(Entries().empty());
    EXPECT_FALSE(DeleteEnabled());
}

TEST_F(Browser, DeleteFolder_FailureKeepsTheNodeAndTellsWhy) {
    Folder(L"a");
    File(L"a", L"keep.bmp");
    ::SetFileAttributesW((store_ + L"a\\keep.bmp").c_str(), FILE_ATTRIBUTE_READONLY);
    Open();
    ::SetFocus(w_->TreeView1());
    Key(w_->TreeView1(), VK_DELETE);
    ExpectLastBox(2, L"削除に失敗しました。", L"フォルダの削除", kStop);
    EXPECT_EQ(Error(), Status(ERROR_ACCESS_DENIED).Text());
    EXPECT_EQ(NodeTexts(), Names{L"a"});
    EXPECT_TRUE(test::PathExists(store_ + L"a\\keep.bmp"));
    EXPECT_EQ(Entries(), Names{L"keep.bmp"});
}

// ---------------------------------------------------------------- delete files

TEST_F(Browser, DeleteFiles_AskThenWalkUpFromTheLastSelectedAndStopAtTheFirstFailure) {
    struct Case {
        std::vector<int> selected;
        int failing;
        bool byKey;  // Delete in the list, else button 3 with the list focused
        std::vector<int> gone;
    };
    const Case cases[] = {
        {{0, 1, 2, 3, 4}, 2, false, {3, 4}},  // five selected, the third failing
        {{1, 4, 7}, 4, true, {7}},
    };
    for (const Case& c : cases) {
        w_.reset();
        if (FolderExists(store_ + L"a")) {
            ASSERT_TRUE(RemoveFolder(store_ + L"a").ok());
        }
        Folder(L"a");
        for (int i = 0; i < 8; ++i)
            WritePattern(store_ + L"a\\" + std::to_wstring(i) + L".bmp", 4, 4, i);
        const std::wstring failing = store_ + L"a\\" + std::to_wstring(c.failing) + L".bmp";
        ::SetFileAttributesW(failing.c_str(), FILE_ATTRIBUTE_READONLY);
        Open();
        const Names all = Entries();
        Names left;
        for (int i = 0; i < 8; ++i)
            if (std::find(c.gone.begin(), c.gone.end(), i) == c.gone.end()) left.push_back(all[i]);
        ClickEntry(0);
        boxes_.clear();
        auto del = [&] {
            Select(c.selected);
            ::SetFocus(w_->List1());
            if (c.byKey)
                Key(w_->List1(), VK_DELETE, 1);  // whatever the shift state
            else
                ClickToolbar(frmList::kToolDelete);
        };
        answers_ = {IDCANCEL};
        del();
        ExpectLastBox(1, L"削除しますか？", L"ファイルの削除", kConfirm);
        EXPECT_EQ(Entries(), all);
        del();
        ExpectLastBox(3, L"削除に失敗しました。", L"ファイルの削除", kStop);
        EXPECT_EQ(Error(), Status(ERROR_ACCESS_DENIED).Text());
        EXPECT_EQ(Entries(), left);
        EXPECT_EQ(test::ListFolder(store_ + L"a\\"), left);
        EXPECT_EQ(::GetFocus(), w_->List1());
        EXPECT_FALSE(ShowsNothing());  // the walk did not end
        ::SetFileAttributesW(failing.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    // None selected: it still asks, deletes nothing and empties the information.
    Select({});
    Key(w_->List1(), VK_DELETE);
    EXPECT_EQ(boxes_.size(), 4u);
    EXPECT_EQ(test::ListFolder(store_ + L"a\\").size(), 7u);
    EXPECT_TRUE(ShowsNothing());
    // Without a failure the walk ends with the information emptied.
    ClickEntry(0);
    Select({0, 6});
    ::SetFocus(w_->List1());
    ClickToolbar(frmList::kToolDelete);
    EXPECT_EQ(test::ListFolder(store_ + L"a\\").size(), 5u);
    EXPECT_EQ(Entries().size(), 5u);
    EXPECT_TRUE(ShowsNothing());
}

TEST_F(Browser, Delete_NeverAsksWithoutASelectedNode) {
    Folder(L"a");
    File(L"a", L"1.bmp");
    Open();
    TreeView_SelectItem(w_->TreeView1(), nullptr);
    ::SetFocus(w_->List1());
    ::SendMessageW(w_->List1(), LB_SETSEL, TRUE, -1);
    ClickToolbar(frmList::kToolDelete);
    // The tree selects a node when it gets the focus, so the selection goes after that.
    ::SetFocus(w_->TreeView1());
    TreeView_SelectItem(w_->TreeView1(), nullptr);
    ClickToolbar(frmList::kToolDelete);
    Key(w_->TreeView1(), VK_DELETE);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(test::PathExists(store_ + L"a\\1.bmp"));
}

// ---------------------------------------------------------------- rename

TEST_F(Browser, Rename_RenamesOnDiskAndTakesTheBareNameAsKey) {
    Folder(L"a");
    File(L"a", L"1.bmp");
    Open();
    Rename(Node(L"a"), L"旅行");
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(w_->strOldName(), L"a");
    EXPECT_TRUE(test::PathExists(store_ + L"旅行\\1.bmp"));
    EXPECT_FALSE(test::PathExists(store_ + L"a"));
    ASSERT_EQ(NodeTexts(), Names{L"旅行"});
    EXPECT_EQ(w_->NodeKey(Nodes()[0]), L"旅行");
    EXPECT_EQ(Entries(), Names{L"1.bmp"});  // the list is not touched

    // Confirming the name unchanged renames nothing and asks nothing.
    Rename(Node(L"旅行"), L"旅行");
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(test::PathExists(store_ + L"旅行"));
}

TEST_F(Browser, Rename_FailuresKeepNameAndKeyAndSayWhyOnce) {
    Folder(L"a");
    Folder(L"b");
    Folder(L"c");
    File(L"a", L"1.bmp");
    Open();
    Rename(Node(L"c"), L"renamed");  // its key is now the bare name
    ASSERT_TRUE(boxes_.empty());

    const std::wstring invalidName = Status(ERROR_INVALID_NAME).Text();
    struct Case {
        const wchar_t* to;
        std::wstring why;
    };
    const Case cases[] = {
        {L"050101", L"キーが無効です。"},
        {L"renamed", L"キーがコレクションの他の要素と重複しています。"},
        {L"b", Status(ERROR_ALREADY_EXISTS).Text()},  // passes the key, fails on disk
        {L"", invalidName},
        {L"..\\..\\x", invalidName},
        {L"..", invalidName},
        {L"sub/x", invalidName},
        {L"x:y", invalidName},
        {L"ends.", invalidName},
        {L"ends ", invalidName},
    };
    for (const Case& c : cases) {
        boxes_.clear();
        Rename(Node(L"a"), c.to);
        ExpectLastBox(1, c.why, L"名前の変更", kStop);
        EXPECT_EQ(Error(), c.why) << c.to;
        ASSERT_NE(Node(L"a"), nullptr) << c.to;
        EXPECT_EQ(w_->NodeKey(Node(L"a")), L"a_") << c.to;
        EXPECT_TRUE(test::PathExists(store_ + L"a\\1.bmp")) << c.to;
    }
    EXPECT_EQ(test::ListFolder(store_), (Names{L"a", L"b", L"renamed"}));
    EXPECT_EQ(test::ListFolder(app_.path()), Names{L"img"});
}

// ---------------------------------------------------------------- keys and closing

TEST_F(Browser, Closing_ToolbarButton1TheFrameAndCtrlXCloseTheWindowCtrlShiftXDoesNot) {
    Folder(L"a");
    const std::function<void()> closers[] = {
        [&] { ClickToolbar(frmList::kToolClose); },
        [&] { ::SendMessageW(w_->hwnd(), WM_CLOSE, 0, 0); },
        [&] {
            ::SetFocus(w_->TreeView1());
            Key(w_->TreeView1(), 'X', 3);
            EXPECT_TRUE(::IsWindow(w_->hwnd()));
            Key(w_->TreeView1(), 'X', 2);
        },
    };
    for (const auto& close : closers) {
        bool destroyed = false;
        w_ = std::make_unique<frmList>(frmList::Options{.appFolder = app_.path(),
                                                        .userName = L"tester",
                                                        .onDestroyed = [&] { destroyed = true; }});
        ASSERT_TRUE(w_->Open());
        close();
        EXPECT_TRUE(destroyed);
        EXPECT_EQ(w_->hwnd(), nullptr);
        w_.reset();
    }
    EXPECT_TRUE(FolderExists(store_ + L"a"));
}

// ---------------------------------------------------------------- showing a file

TEST_F(Browser, Show_PicturesOfAnyShapeFillTheWholePreview) {
    Folder(L"a");
    WriteQuadrants(store_ + L"a\\a.b.c.bmp", 16, 16);
    WriteQuadrants(store_ + L"a\\wide.bmp", 3000, 200);
    Open();
    for (int index : {0, 1}) {
        ClickEntry(index);
        const std::wstring name = Entries()[index];
        const DibSurface& preview = w_->PreviewPicture();
        ASSERT_EQ(preview.width(), 355);
        ASSERT_EQ(preview.height(), 277);
        const uint32_t* bits = preview.bits();
        auto at = [&](int x, int y) { return bits[y * preview.width() + x] & 0xFFFFFF; };
        EXPECT_EQ(
            (std::array{at(0, 0), at(354, 0), at(0, 276), at(354, 276), at(88, 69), at(266, 207)}),
            (std::array{kTopLeft, kTopRight, kBottomLeft, kBottomRight, kTopLeft, kBottomRight}))
            << index;
        EXPECT_EQ(
            std::count_if(bits, bits + 355 * 277, [](uint32_t c) { return (c & 0xFFFFFF) == 0; }),
            0)
            << index;
        EXPECT_EQ(w_->Picture1().width(), index == 0 ? 16 : 3000);

        EXPECT_EQ(TextOf(w_->lblYMD()), CreationText(store_ + L"a\\" + name));
        EXPECT_EQ(TextOf(w_->lblListIndexBack()), store_ + L"a\\");
        EXPECT_TRUE(::IsWindowEnabled(w_->txtFileName()));
        EXPECT_TRUE(::IsWindowEnabled(w_->txtK()));
        EXPECT_EQ(TextOf(w_->txtK()), L"bmp");
    }
    EXPECT_EQ(TextOf(w_->txtFileName()), L"wide");
    ClickEntry(0);
    EXPECT_EQ(TextOf(w_->txtFileName()), L"a.b.c");
    EXPECT_EQ(w_->txtFileNameTag(), L"a.b.c");
}

TEST_F(Browser, Show_FileThatIsNoPictureEmptiesTheInformationAndTheHolderKeepsItsPicture) {
    Folder(L"a");
    WriteQuadrants(store_ + L"a\\1.bmp", 8, 6);
    File(L"a", L"2.txt", "no picture");
    // A header that claims 40000 x 40000 pixels: more than can be held.
    std::string huge(54, '\0');
    huge[0] = 'B', huge[1] = 'M', huge[10] = 54, huge[14] = 40;
    const int32_t side = 40000;
    std::memcpy(&huge[18], &side, 4);
    std::memcpy(&huge[22], &side, 4);
    huge[26] = 1, huge[28] = 24;
    File(L"a", L"3.bmp", huge);
    Open();
    ClickEntry(0);
    ASSERT_EQ(Error(), L"");
    for (int index : {1, 2}) {
        ClickEntry(index);
        EXPECT_EQ(Error(), L"ファイルが読めません。") << index;
        EXPECT_TRUE(ShowsNothing()) << index;
        EXPECT_EQ(TextOf(w_->lblListIndexBack()), L"") << index;
        EXPECT_EQ(w_->Picture1().width(), 8) << index;
        EXPECT_EQ(w_->Picture1().height(), 6) << index;
    }
    ClickEntry(0);
    EXPECT_EQ(Error(), L"");
    EXPECT_FALSE(ShowsNothing());
    EXPECT_TRUE(boxes_.empty());
}

// ---------------------------------------------------------------- scale

TEST_F(Browser, Scale_TenYearsOfDayFoldersAndTenThousandPictures) {
    for (int i = 0; i < 3650; ++i) {
        wchar_t name[16];
        ::wsprintfW(name, L"%02d%02d%02d", 5 + i / 372, 1 + i / 31 % 12, 1 + i % 31);
        Folder(name);
    }
    const std::wstring first = EnumeratedFolders(store_)[0];
    for (int i = 0; i < 10000; ++i) {
        wchar_t name[32];
        ::wsprintfW(name, L"%s%06d.bmp", first.c_str(), i);
        File(first, name, "");
    }
    Open();
    // Opened, refreshed, and the node clicked: all of them every time.
    for (int step = 0; step < 3; ++step) {
        if (step == 1) ::SendMessageW(w_->cmdReSetFolder(), BM_CLICK, 0, 0);
        if (step == 2) ClickNode(Node(first));
        EXPECT_EQ(TreeView_GetCount(w_->TreeView1()), 3650u) << step;
        EXPECT_EQ(::SendMessageW(w_->List1(), LB_GETCOUNT, 0, 0), 10000) << step;
    }
}

// ---------------------------------------------------------------- full-size viewer

TEST_F(Browser, Viewer_ShowsThePictureAtItsSizeWithoutFrameAndReopensInPlace) {
    Folder(L"a");
    WritePattern(store_ + L"a\\1.bmp", 800, 600, 1);
    WritePattern(store_ + L"a\\2.bmp", 300, 200, 2);
    WritePattern(store_ + L"a\\3.bmp", 1500, 1000, 3);  // larger than the screen
    Open();
    ClickEntry(0);
    Key(w_->List1(), VK_RETURN);
    const HWND viewer = Viewer().hwnd();
    ASSERT_TRUE(viewer && ::IsWindowVisible(viewer));
    EXPECT_EQ(::GetForegroundWindow(), viewer);
    const LONG style = ::GetWindowLongW(viewer, GWL_STYLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_DLGFRAME));
    EXPECT_EQ(::GetWindow(viewer, GW_OWNER), nullptr);
    EXPECT_EQ(OuterSize(viewer), (Extent{800, 600}));
    EXPECT_EQ(TextOf(viewer), TextOf(w_->lblYMD()));
    EXPECT_EQ(test::Pixels(Viewer().Image()), test::Pixels(w_->Picture1()));
    ::SetWindowPos(viewer, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    // Covered by another window and uncovered: the screen shows the picture again.
    HWND cover = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1000,
                                   700, nullptr, nullptr, nullptr, nullptr);
    ::UpdateWindow(cover);
    ::DestroyWindow(cover);
    Pump();
    ::UpdateWindow(viewer);
    std::vector<uint32_t> expected = test::Pixels(w_->Picture1());
    EXPECT_TRUE(test::PumpUntil([&] { return OnScreen(viewer) == expected; }));

    // A second opening keeps the window and its place; a picture larger than the screen
    // opens at its size.
    for (int index : {1, 2}) {
        ClickEntry(index);
        Key(w_->List1(), VK_RETURN);
        EXPECT_EQ(Viewer().hwnd(), viewer) << index;
        RECT r;
        ::GetWindowRect(viewer, &r);
        EXPECT_EQ((std::array{r.left, r.top}), (std::array{40L, 30L}));
        EXPECT_EQ(OuterSize(viewer), (Extent{w_->Picture1().width(), w_->Picture1().height()}));
        EXPECT_EQ(TextOf(viewer), CreationText(store_ + L"a\\" + Entries()[index]));
        EXPECT_EQ(test::Pixels(Viewer().Image()), test::Pixels(w_->Picture1())) << index;
    }
    EXPECT_EQ(w_->Picture1().width(), 1500);
}

TEST_F(Browser, Viewer_EnterAndTheRightButtonCloseItOtherKeysDoNot) {
    Folder(L"a");
    WritePattern(store_ + L"a\\1.bmp", 50, 40, 1);
    Open();
    ClickEntry(0);
    struct Case {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        bool closes;
    };
    const Case cases[] = {
        {WM_KEYDOWN, VK_ESCAPE, 1, false},
        {WM_KEYDOWN, 'A', 1, false},
        {WM_KEYDOWN, VK_RETURN, 1 | (1 << 30), false},  // the Enter that opened it, held
        {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), false},
        {WM_KEYDOWN, VK_RETURN, 1, true},
        {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5), true},
    };
    for (const Case& c : cases) {
        ::SendMessageW(w_->cmdBigPic(), BM_CLICK, 0, 0);
        ASSERT_TRUE(Viewer().Loaded());
        ::SendMessageW(Viewer().hwnd(), c.msg, c.wp, c.lp);
        ::SendMessageW(Viewer().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
        EXPECT_EQ(!Viewer().Loaded(), c.closes) << c.msg << " " << c.wp;
    }

    // The browser's unload closes it, by the toolbar or by Ctrl+X in the list.
    Key(w_->List1(), VK_RETURN);
    ASSERT_TRUE(Viewer().Loaded());
    Key(w_->List1(), 'X', 2);
    EXPECT_EQ(w_->hwnd(), nullptr);
    EXPECT_FALSE(Viewer().Loaded());
}

TEST_F(Browser, Viewer_BeforeAnyPictureHasTheHoldersDesignSizeAndShowsNothing) {
    const TwipsPerPixel t = ScreenTwipsPerPixel();
    if (t.x != 15 || t.y != 15) GTEST_SKIP() << "the screen is not at 96 dpi";
    Folder(L"a");
    File(L"a", L"1.txt", "no picture");
    Open();
    ClickEntry(0);
    Key(w_->List1(), VK_RETURN);
    ASSERT_TRUE(Viewer().Loaded());
    EXPECT_EQ(OuterSize(Viewer().hwnd()), (Extent{41, 31}));  // 615 x 465 twips
    EXPECT_EQ(TextOf(Viewer().hwnd()), L"");
    const uint32_t grey = ::GetSysColor(COLOR_BTNFACE);
    const uint32_t face = (GetRValue(grey) << 16) | (GetGValue(grey) << 8) | GetBValue(grey);
    for (uint32_t c : test::Pixels(Viewer().Image())) ASSERT_EQ(c & 0xFFFFFF, face);
}

// ---------------------------------------------------------------- keys of the list

TEST_F(Browser, ListKeys_MoveTheFocusAndCtrlShiftDoesNothing) {
    Folder(L"a");
    WritePattern(store_ + L"a\\1.bmp", 8, 8, 1);
    WritePattern(store_ + L"a\\2.bmp", 8, 8, 2);
    Open();
    ClickEntry(1);
    Select({0, 1});
    Key(w_->List1(), VK_LEFT);
    EXPECT_EQ(::GetFocus(), w_->TreeView1());
    EXPECT_EQ(Selected(), std::vector<int>{0});  // the focused entry left the selection
    EXPECT_TRUE(ShowsNothing());

    ::SetFocus(w_->List1());
    Key(w_->List1(), VK_RIGHT);  // nothing shown: the name box is disabled
    EXPECT_EQ(::GetFocus(), w_->List1());
    ClickEntry(0);
    Key(w_->List1(), VK_RIGHT);
    EXPECT_EQ(::GetFocus(), w_->txtFileName());

    ::SetFocus(w_->List1());
    for (int vk : {'C', 'X'}) Key(w_->List1(), vk, 3);
    EXPECT_TRUE(::IsWindow(w_->hwnd()));
    EXPECT_FALSE(Viewer().Loaded());
    EXPECT_TRUE(boxes_.empty());
}

// ---------------------------------------------------------------- rename

TEST_F(Browser, FileRename_CommitsByEnterOrLeavingTheBoxWithEveryCheck) {
    Folder(L"a");
    const std::wstring folder = store_ + L"a\\";
    const std::wstring exists = L"指定されたファイル名は既に存在します。";
    const std::wstring blank = L"ファイル名を入力して下さい。";
    const std::wstring forbidden =
        L"ファイル名には次の文字は使えません。\r\n\\　/　,　;　:　*　?　\"　<　>　|";
    struct Case {
        const wchar_t* file;
        const wchar_t* typed;
        bool byEnter;
        Names after;           // the folder afterwards
        std::wstring message;  // "" for none
        UINT icon;
        const wchar_t* selected;  // nullptr: none
    };
    const Case cases[] = {
        {L"050131120000.bmp", L"旅行", true, {L"旅行.bmp"}, L"", 0, L"旅行.bmp"},
        {L"050131120000.bmp", L"  旅行  ", false, {L"旅行  .bmp"}, L"", 0, nullptr},
        {L"abc.bmp", L"a;b", true, {L"abc.bmp"}, forbidden, MB_ICONHAND, L"abc.bmp"},
        {L"abc.bmp", L"a,b", false, {L"abc.bmp"}, forbidden, MB_ICONHAND, L"abc.bmp"},
        {L"abc.bmp", L"   ", true, {L"abc.bmp"}, blank, MB_ICONINFORMATION, L"abc.bmp"},
        {L"abc.bmp", L"x", false, {L"abc.bmp", L"x.bmp"}, exists, MB_ICONHAND, L"abc.bmp"},
        // Without an extension the lookup of "name." finds nothing.
        {L"README", L"readme2", true, {L"readme2"}, L"", 0, nullptr},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(RemoveFolder(store_ + L"a"));
        Folder(L"a");
        WritePattern(folder + c.file, 4, 4, 0);
        for (const std::wstring& other : c.after)
            if (other != c.file && c.message == exists) test::WriteFileBytes(folder + other, "x");
        Open();
        ClickEntry(0);
        ::SetFocus(w_->txtFileName());
        boxes_.clear();
        if (c.byEnter) {
            Type(w_->txtFileName(), c.typed, L'\r');
        } else {
            ::SetWindowTextW(w_->txtFileName(), c.typed);
            ::SetFocus(w_->cmdReSetFolder());
            Pump();
        }
        EXPECT_EQ(test::ListFolder(folder), c.after) << c.typed;
        if (c.message.empty()) {
            EXPECT_TRUE(boxes_.empty()) << c.typed;
        } else {
            ExpectLastBox(1, c.message, L"名前の変更", MB_OK | c.icon);
        }
        const std::vector<int> selected = Selected();
        if (c.selected) {
            ASSERT_EQ(selected.size(), 1u) << c.typed;
            EXPECT_EQ(Entries()[selected[0]], c.selected);
            EXPECT_EQ(w_->txtFileNameTag(), TextOf(w_->txtFileName()));
        } else {
            EXPECT_TRUE(selected.empty()) << c.typed;
            EXPECT_EQ(w_->txtFileNameTag(), c.typed);
        }
        // The list takes the focus; a commit on leaving lets it go on where it was going.
        const bool moveOn = !c.byEnter && c.message.empty();
        EXPECT_EQ(::GetFocus(), moveOn ? w_->cmdReSetFolder() : w_->List1()) << c.typed;
    }
}

TEST_F(Browser, FileRename_ACaseOnlyChangeReachesTheFileSystem) {
    Folder(L"a");
    const std::wstring path = store_ + L"a\\abc.bmp";
    WritePattern(path, 4, 4, 0);
    Open();
    ClickEntry(0);
    // Held open by another program, the file refuses the rename with the system's words:
    // proof that the change of case alone was taken for a new name.
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Type(w_->txtFileName(), L"ABC", L'\r');
    ::CloseHandle(held);
    ExpectLastBox(1, Status(ERROR_SHARING_VIOLATION).Text(), L"名前の変更", kStop);
    EXPECT_EQ(TextOf(w_->txtFileName()), L"abc");
    EXPECT_EQ(test::ListFolder(store_ + L"a\\"), Names{L"abc.bmp"});
}

TEST_F(Browser, FileRename_EnterUnchangedRefillsTheListEscapeRestoresTheName) {
    Folder(L"a");
    WritePattern(store_ + L"a\\1.bmp", 4, 4, 0);
    Open();
    ClickEntry(0);
    test::WriteFileBytes(store_ + L"a\\0.bmp", "written meanwhile");
    Type(w_->txtFileName(), L"1", L'\r');
    EXPECT_EQ(Entries(), (Names{L"0.bmp", L"1.bmp"}));
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_TRUE(boxes_.empty());

    Type(w_->txtFileName(), L"edited", 27);
    EXPECT_EQ(TextOf(w_->txtFileName()), L"1");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Browser, FileRename_AMessageBoxDuringACommitStartsNoSecondOne) {
    Folder(L"a");
    WritePattern(store_ + L"a\\1.bmp", 4, 4, 0);
    Open();
    ClickEntry(0);
    // A real message box: it takes the focus from the name box and gives it back.
    SetMessageBoxHandler(
        [this](HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
            boxes_.push_back({text, title, style});
            HWND box = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_POPUP | WS_VISIBLE, 0, 0, 60, 30,
                                         owner, nullptr, nullptr, nullptr);
            ::SetForegroundWindow(box);
            ::SetFocus(box);
            Pump();
            ::DestroyWindow(box);
            ::SetForegroundWindow(owner);
            Pump();
            return IDOK;
        });
    ::SetFocus(w_->txtFileName());
    ::SetWindowTextW(w_->txtFileName(), L"a|b");
    // The focus going to another window is no commit: the edit stays.
    HWND other = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 30, nullptr,
                                   nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    ::SetFocus(other);
    Pump();
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(TextOf(w_->txtFileName()), L"a|b");
    ::DestroyWindow(other);
    ::SetForegroundWindow(w_->hwnd());
    ::SetFocus(w_->txtFileName());
    ::SetFocus(w_->TreeView1());
    Pump();
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(TextOf(w_->txtFileName()), L"1");
    EXPECT_TRUE(test::PathExists(store_ + L"a\\1.bmp"));
}

// ---------------------------------------------------------------- copy

TEST_F(Browser, Copy_PutsTheHoldersPictureOnTheClipboardForEveryProgram) {
    Folder(L"a");
    WritePattern(store_ + L"a\\1.bmp", 61, 47, 5);
    File(L"a", L"2.txt", "no picture");
    Open();
    const std::string marker = "before";
    test::PutOnClipboard(CF_TEXT, marker);
    ::SendMessageW(w_->Command1(), BM_CLICK, 0, 0);  // nothing held yet: nothing happens
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_DIB));

    ClickEntry(0);
    ClickEntry(1);  // a failed show: the holder keeps the picture, and it is copied
    const std::vector<uint32_t> shown = test::Pixels(w_->Picture1());
    for (bool byKey : {false, true}) {
        test::PutOnClipboard(CF_TEXT, marker);
        if (byKey)
            Key(w_->List1(), 'C', 2);
        else
            ::SendMessageW(w_->Command1(), BM_CLICK, 0, 0);
        for (UINT format : {CF_DIB, CF_BITMAP}) {
            const test::ReadBack back = test::ClipboardOfAnotherProcess(format);
            EXPECT_EQ(back.width, 61) << format;
            EXPECT_EQ(back.height, 47) << format;
            EXPECT_EQ(back.pixels, shown) << format << " " << byKey;
        }
        EXPECT_FALSE(::IsClipboardFormatAvailable(CF_TEXT));
    }

    // Another program keeps the clipboard open: the reason shows in the status line.
    HANDLE opened = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        ::OpenClipboard(nullptr);
        ::SetEvent(opened);
        ::WaitForSingleObject(done, INFINITE);
        ::CloseClipboard();
    });
    ::WaitForSingleObject(opened, INFINITE);
    ::SendMessageW(w_->Command1(), BM_CLICK, 0, 0);
    ::SetEvent(done);
    holder.join();
    for (HANDLE h : {opened, done}) ::CloseHandle(h);
    EXPECT_FALSE(Error().empty());
    EXPECT_TRUE(::IsWindow(w_->hwnd()));
}

// ---------------------------------------------------------------- drag and drop

namespace {

// Real data objects handed to the tree's registered drop target, as a drag loop hands them.
class DragDrop : public Browser {
protected:
    // Folders with files whose content is their name.
    void Store(std::initializer_list<std::pair<const wchar_t*, Names>> folders) {
        for (const auto& [folder, files] : folders) {
            Folder(folder);
            for (const std::wstring& name : files)
                File(folder, name, std::string(name.begin(), name.end()));
        }
    }
    Names On(const std::wstring& folder) const { return test::ListFolder(store_ + folder + L"\\"); }
    // A click on the folder's node, which lists its files.
    void Show(const std::wstring& folder) {
        ClickNode(Node(folder));
        ASSERT_EQ(w_->NodeText(w_->SelectedNode()), folder);
    }
    // A screen point on a node's label, or dy pixels below it.
    POINTL At(HTREEITEM node, int dy = 0) const {
        RECT r{};
        TreeView_GetItemRect(w_->TreeView1(), node, &r, TRUE);
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2 + dy};
        ::ClientToScreen(w_->TreeView1(), &p);
        return {p.x, p.y};
    }
    POINTL Below() const { return At(TreeView_GetLastVisible(w_->TreeView1()), 40); }
    // A whole drag over the tree: enter and drop at one point; the effect the tree reported.
    DWORD DropOn(IDataObject* data, POINTL at, DWORD allowed = DROPEFFECT_COPY) {
        IDropTarget* target = w_->TreeView1DropTarget();
        EXPECT_NE(target, nullptr);
        if (!target) return DROPEFFECT_NONE;
        DWORD effect = allowed;
        target->DragEnter(data, MK_LBUTTON, at, &effect);
        DWORD dropped = allowed;
        target->Drop(data, 0, at, &dropped);
        EXPECT_EQ(dropped, effect);
        return dropped;
    }
    // A drag out of the list, carried through the tree's target as the drag loop does.
    void DragFromList(std::initializer_list<int> indexes, POINTL at) {
        Select(indexes);
        ComPtr<IDataObject> data = w_->List1_DragData();
        w_->List1_OLEStartDrag();
        EXPECT_TRUE(w_->blnListDrag);
        EXPECT_EQ(DropOn(data.get(), at), static_cast<DWORD>(DROPEFFECT_COPY));
        DetachFileDataObject(data.get());
        w_->List1_OLECompleteDrag(DROPEFFECT_COPY);
        EXPECT_FALSE(w_->blnListDrag);
    }
    ComPtr<IDataObject> Files(Names paths) {
        return MakeFileDataObject([paths] { return paths; });
    }
    // One failure box, as every failed drop shows it, with the text also in the status line.
    void ExpectFailure(DWORD code) {
        ExpectLastBox(1, Status(code).Text(), L"Velloran Trovell", kStop);
        EXPECT_EQ(Error(), Status(code).Text());
        EXPECT_EQ(w_->DropHighlight(), nullptr);
        boxes_.clear();
    }

    TempFolder elsewhere_;
};

}  // namespace

TEST_F(DragDrop, DragOut_CarriesTheSelectedEntriesInListOrderWhenTheTargetAsks) {
    Store({{L"a", {L"1.bmp", L"2.bmp", L"3.bmp", L"4.bmp", L"5.bmp"}}});
    Open();
    const std::wstring a = store_ + L"a\\";
    // Selected in another order than the list's.
    ::SendMessageW(w_->List1(), LB_SETSEL, TRUE, 3);
    ::SendMessageW(w_->List1(), LB_SETSEL, TRUE, 0);
    ::SendMessageW(w_->List1(), LB_SETSEL, TRUE, 2);
    ComPtr<IDataObject> data = w_->List1_DragData();

    // Wide paths, which every target reads.
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    EXPECT_TRUE(static_cast<DROPFILES*>(::GlobalLock(medium.hGlobal))->fWide);
    ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    EXPECT_EQ(DroppedFiles(data.get()), (Names{a + L"1.bmp", a + L"3.bmp", a + L"4.bmp"}));
    // The selection at the moment of asking, in the list's order when it is reversed.
    ::SendMessageW(w_->cmdListSort(), BM_CLICK, 0, 0);
    Select({0, 1, 4});
    EXPECT_EQ(DroppedFiles(data.get()), (Names{a + L"5.bmp", a + L"4.bmp", a + L"1.bmp"}));
    // Once the drag is over, a target that kept the object learns nothing more.
    DetachFileDataObject(data.get());
    EXPECT_EQ(DroppedFiles(data.get()), std::nullopt);

    // A press on a selected entry waits to see whether it drags; released in place, it is
    // the click it would have been.
    Select({1, 3});
    RECT r{};
    ::SendMessageW(w_->List1(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2);
    ::PostMessageW(w_->List1(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(w_->List1(), WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(::SendMessageW(w_->List1(), LB_GETSELCOUNT, 0, 0), 1);
    EXPECT_GT(::SendMessageW(w_->List1(), LB_GETSEL, 3, 0), 0);
    EXPECT_EQ(::GetCapture(), nullptr);
}

// ---------------------------------------------------------------- dropping onto the tree

TEST_F(DragDrop, Drop_FromTheListMovesAndFromElsewhereCopies) {
    Store({{L"a", {L"1.bmp", L"2.bmp", L"3.bmp"}}, {L"b", {}}});
    test::WriteFileBytes(elsewhere_ / L"x.bmp", "x.bmp");
    ASSERT_TRUE(MakeFolder(elsewhere_ / L"sub").ok());
    test::WriteFileBytes(elsewhere_ / L"sub\\y.bmp", "y.bmp");
    Open();
    Show(L"a");

    DragFromList({0, 2}, At(Node(L"b")));
    EXPECT_EQ(On(L"b"), (Names{L"1.bmp", L"3.bmp"}));
    EXPECT_EQ(test::ReadFileBytes(store_ + L"b\\3.bmp"), "3.bmp");
    EXPECT_EQ(On(L"a"), Names{L"2.bmp"});
    EXPECT_EQ(Entries(), Names{L"2.bmp"});
    EXPECT_EQ(w_->DropHighlight(), nullptr);

    // The flag went with the drag: files from another program are copied, whatever effects
    // their source allows, and the tree never reports a move that would delete them.
    ComPtr<IDataObject> files = Files({elsewhere_ / L"x.bmp", elsewhere_ / L"sub/y.bmp"});
    EXPECT_EQ(
        DropOn(files.get(), At(Node(L"a")), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK),
        static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(On(L"a"), (Names{L"2.bmp", L"x.bmp", L"y.bmp"}));
    EXPECT_EQ(test::ReadFileBytes(store_ + L"a\\y.bmp"), "y.bmp");
    EXPECT_TRUE(test::PathExists(elsewhere_ / L"x.bmp"));
    EXPECT_TRUE(test::PathExists(elsewhere_ / L"sub\\y.bmp"));
    EXPECT_EQ(Entries(), Names{L"2.bmp"});  // listed once the folder is chosen again
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(Error(), L"");
}

TEST_F(DragDrop, Drop_StopsAtTheFirstFailureKeepsWhatWasDoneAndSaysWhy) {
    Store({{L"a", {L"1.bmp", L"2.bmp"}}, {L"b", {L"y.bmp"}}});
    for (const wchar_t* name : {L"x.bmp", L"y.bmp", L"z.bmp"})
        test::WriteFileBytes(elsewhere_ / name, "new");
    ASSERT_TRUE(MakeFolder(elsewhere_ / L"folder").ok());
    Open();
    Show(L"a");
    const Names bBefore = On(L"b");

    // On no node: nothing happens on disk.
    DropOn(Files({elsewhere_ / L"x.bmp"}).get(), Below());
    ExpectFailure(ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(On(L"a"), (Names{L"1.bmp", L"2.bmp"}));
    EXPECT_EQ(On(L"b"), bBefore);

    // The second of three exists: the first is copied, the rest not, nothing overwritten.
    DropOn(Files({elsewhere_ / L"x.bmp", elsewhere_ / L"y.bmp", elsewhere_ / L"z.bmp"}).get(),
           At(Node(L"b")));
    ExpectFailure(ERROR_FILE_EXISTS);
    EXPECT_EQ(On(L"b"), (Names{L"x.bmp", L"y.bmp"}));
    EXPECT_EQ(test::ReadFileBytes(store_ + L"b\\y.bmp"), "y.bmp");
    EXPECT_EQ(test::ListFolder(elsewhere_.path()),
              (Names{L"folder", L"x.bmp", L"y.bmp", L"z.bmp"}));

    // A folder among the files is refused before anything is made for it.
    DropOn(Files({elsewhere_ / L"z.bmp", elsewhere_ / L"folder", elsewhere_ / L"x.bmp"}).get(),
           At(Node(L"a")));
    ExpectFailure(ERROR_ACCESS_DENIED);
    EXPECT_EQ(On(L"a"), (Names{L"1.bmp", L"2.bmp", L"z.bmp"}));

    // A move whose source cannot be deleted leaves the file in both folders and listed.
    ::SetFileAttributesW((store_ + L"a\\2.bmp").c_str(), FILE_ATTRIBUTE_READONLY);
    DragFromList({0, 1}, At(Node(L"b")));
    ExpectFailure(ERROR_ACCESS_DENIED);
    EXPECT_EQ(On(L"a"), (Names{L"2.bmp", L"z.bmp"}));
    EXPECT_EQ(On(L"b"), (Names{L"1.bmp", L"2.bmp", L"x.bmp", L"y.bmp"}));
    EXPECT_EQ(Entries(), Names{L"2.bmp"});

    // Onto the folder the file lives in: it is there already.
    DragFromList({0}, At(Node(L"a")));
    ExpectFailure(ERROR_FILE_EXISTS);
    EXPECT_EQ(test::ReadFileBytes(store_ + L"a\\2.bmp"), "2.bmp");
    EXPECT_EQ(Entries(), Names{L"2.bmp"});
}

TEST_F(DragDrop, DragOver_MarksTheNodeUnderThePointerForFilesOnlyAndLeavesNoMark) {
    Store({{L"a", {L"1.bmp"}}, {L"b", {}}});
    Open();
    Show(L"a");
    IDropTarget* target = w_->TreeView1DropTarget();
    ComPtr<IDataObject> files = Files({elsewhere_ / L"x.bmp"});
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(files.get(), MK_LBUTTON, At(Node(L"a")), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(w_->DropHighlight(), Node(L"a"));
    struct Step {
        POINTL at;
        HTREEITEM marked;
    };
    for (const Step& s : {Step{At(Node(L"b")), Node(L"b")}, Step{Below(), nullptr},
                          Step{At(Node(L"a")), Node(L"a")}}) {
        target->DragOver(MK_LBUTTON, s.at, &effect);
        EXPECT_EQ(w_->DropHighlight(), s.marked);
    }
    // Leaving takes the mark away also from a node still under the pointer (Escape).
    target->DragLeave();
    EXPECT_EQ(w_->DropHighlight(), nullptr);

    // Text: no drop offered, no mark, and dropped anyway, nothing.
    test::PutOnClipboard(CF_UNICODETEXT, std::string("t\0\0\0", 4));
    ComPtr<IDataObject> text;
    ASSERT_EQ(::OleGetClipboard(text.put()), S_OK);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragEnter(text.get(), MK_LBUTTON, At(Node(L"b")), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(w_->DropHighlight(), nullptr);
    DropOn(text.get(), At(Node(L"b")));
    EXPECT_TRUE(On(L"b").empty());
    EXPECT_TRUE(boxes_.empty());

    // A drag out of the list cancelled over a node: its end clears the mark and the flag.
    ComPtr<IDataObject> data = w_->List1_DragData();
    Select({0});
    w_->List1_OLEStartDrag();
    effect = DROPEFFECT_COPY;
    target->DragEnter(data.get(), MK_LBUTTON, At(Node(L"b")), &effect);
    ASSERT_EQ(w_->DropHighlight(), Node(L"b"));
    w_->List1_OLECompleteDrag(DROPEFFECT_NONE);
    EXPECT_EQ(w_->DropHighlight(), nullptr);
    EXPECT_FALSE(w_->blnListDrag);
    EXPECT_EQ(On(L"a"), Names{L"1.bmp"});
    EXPECT_EQ(Entries(), Names{L"1.bmp"});
}

// ---------------------------------------------------------------- order

namespace {
// A picture as the list's button shows it: drawn into 9 x 8 pixels over a colour it lacks.
constexpr uint32_t kBackground = 0x123456;
std::vector<uint32_t> Drawn(const std::function<void(HDC)>& draw) {
    DibSurface canvas;
    if (!canvas.Resize(9, 8)) return {};
    std::fill(canvas.bits(), canvas.bits() + 72, kBackground);
    draw(canvas.dc());
    ::GdiFlush();
    return test::Pixels(canvas);
}
}  // namespace

TEST_F(DragDrop, Sort_ReversesTheFolderListingAndBackWithItsTriangle) {
    Store({{L"a", {L"1.bmp", L"2.bmp", L"3.bmp", L"4.bmp"}}, {L"b", {L"5.bmp", L"6.bmp"}}});
    for (const wchar_t* picture : {L"a\\2.bmp", L"b\\5.bmp"})
        ASSERT_TRUE(SaveBmp(test::Pattern(4, 4), store_ + picture));
    Open();
    Show(L"a");
    // Image 1 points up (one pixel on top, a full base), image 2 down.
    HIMAGELIST pictures = w_->ImageList2();
    ASSERT_EQ(ImageList_GetImageCount(pictures), 2);
    auto image = [&](int i) {
        return Drawn([&](HDC dc) { ImageList_Draw(pictures, i, dc, 0, 0, ILD_NORMAL); });
    };
    auto inked = [](const std::vector<uint32_t>& p, int row) {
        return std::count_if(p.begin() + row * 9, p.begin() + row * 9 + 9,
                             [](uint32_t c) { return (c & 0xFFFFFF) != kBackground; });
    };
    EXPECT_EQ((std::array{inked(image(0), 0), inked(image(0), 7), inked(image(1), 0),
                          inked(image(1), 7)}),
              (std::array<std::ptrdiff_t, 4>{1, 9, 9, 1}));
    auto shown = [&] {
        const auto icon =
            reinterpret_cast<HICON>(::SendMessageW(w_->cmdListSort(), BM_GETIMAGE, IMAGE_ICON, 0));
        return Drawn([&](HDC dc) { ::DrawIconEx(dc, 0, 0, icon, 9, 8, 0, nullptr, DI_NORMAL); });
    };
    auto click = [&] { ::SendMessageW(w_->cmdListSort(), BM_CLICK, 0, 0); };
    auto showEntry = [&](int index) {
        Select({index});
        ::SendMessageW(w_->List1(), LB_SETCARETINDEX, index, 0);
        w_->List1_Click();
    };
    EXPECT_EQ(shown(), image(0));

    // The shown file stays shown; the list has no selection.
    showEntry(1);
    ASSERT_EQ(TextOf(w_->txtFileName()), L"2");
    click();
    EXPECT_TRUE(w_->blnSortDesc);
    EXPECT_EQ(shown(), image(1));
    EXPECT_EQ(Entries(), (Names{L"4.bmp", L"3.bmp", L"2.bmp", L"1.bmp"}));
    EXPECT_EQ(::SendMessageW(w_->List1(), LB_GETSELCOUNT, 0, 0), 0);
    EXPECT_EQ(TextOf(w_->txtFileName()), L"2");

    // Every fill keeps the order: another folder, a file's rename, and a refresh.
    Show(L"b");
    EXPECT_EQ(Entries(), (Names{L"6.bmp", L"5.bmp"}));
    showEntry(1);
    ::SetWindowTextW(w_->txtFileName(), L"7");
    bool cancel = false;
    w_->txtFileName_Validate(cancel);
    EXPECT_EQ(Entries(), (Names{L"7.bmp", L"6.bmp"}));
    ::SendMessageW(w_->cmdReSetFolder(), BM_CLICK, 0, 0);
    Names first = On(w_->NodeText(w_->SelectedNode()));
    std::reverse(first.begin(), first.end());
    EXPECT_EQ(Entries(), first);

    // Files moved or deleted since the folder was read stay away; the folder is read again.
    Show(L"a");
    DragFromList({0}, At(Node(L"b")));  // 4.bmp
    ASSERT_TRUE(RemoveFile(store_ + L"a\\1.bmp"));
    File(L"a", L"0.bmp");
    click();
    EXPECT_FALSE(w_->blnSortDesc);
    EXPECT_EQ(shown(), image(0));
    EXPECT_EQ(Entries(), (Names{L"0.bmp", L"2.bmp", L"3.bmp"}));
    click();
    click();
    EXPECT_EQ(Entries(), (Names{L"0.bmp", L"2.bmp", L"3.bmp"}));

    // A folder that vanished: the list empties, the order and the picture still change.
    ASSERT_TRUE(RemoveFolder(store_ + L"a").ok());
    click();
    EXPECT_TRUE(Entries().empty());
    EXPECT_TRUE(w_->blnSortDesc);
    EXPECT_EQ(shown(), image(1));
    EXPECT_TRUE(boxes_.empty());
}
