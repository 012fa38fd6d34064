// Drag and drop in the browser with real data objects handed to the tree's registered drop
// target, as a drag source's loop hands them; and the list's order button.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "TestSupport.h"
#include "browser/frmList_win.h"
#include "platform/BmpWriter_win.h"
#include "platform/FileDragDrop_win.h"
#include "platform/FileOps_win.h"
#include "platform/MessageBox_win.h"
#include "platform/Status_win.h"
#include "shell/StoreNames.h"

using namespace trovell;
using trovell::test::TempFolder;

namespace {

struct Box {
    std::wstring text, title;
    UINT style;
};

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(hwnd, text, 1024);
    return text;
}

using Names = std::vector<std::wstring>;

class DragDrop : public testing::Test {
protected:
    void SetUp() override {
        store_ = StoreRootPath(app_.path(), L"tester");
        ASSERT_TRUE(::CreateDirectoryW(ImgFolderPath(app_.path()).c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(store_.c_str(), nullptr));
        SetMessageBoxHandler(
            [this](HWND, const std::wstring& text, const std::wstring& title, UINT style) {
                boxes_.push_back({text, title, style});
                return IDOK;
            });
    }
    void TearDown() override {
        w_.reset();
        SetMessageBoxHandler({});
    }

    // Folders with files whose content is their name.
    void Store(std::initializer_list<std::pair<const wchar_t*, Names>> folders) {
        for (const auto& [folder, files] : folders) {
            ASSERT_TRUE(::CreateDirectoryW((store_ + folder).c_str(), nullptr));
            for (const std::wstring& name : files) File(folder, name);
        }
    }
    void File(const std::wstring& folder, const std::wstring& name) {
        test::WriteFileBytes(store_ + folder + L"\\" + name, Narrow(name));
    }
    static std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }
    Names On(const std::wstring& folder) const { return test::ListFolder(store_ + folder + L"\\"); }

    void Open() {
        w_ = std::make_unique<frmList>(
            frmList::Options{.appFolder = app_.path(), .userName = L"tester", .onDestroyed = {}});
        ASSERT_TRUE(w_->Open());
        ASSERT_NE(w_->TreeView1DropTarget(), nullptr);
        Pump();
    }
    HTREEITEM Node(const std::wstring& text) const {
        for (HTREEITEM n = TreeView_GetRoot(w_->TreeView1()); n;
             n = TreeView_GetNextSibling(w_->TreeView1(), n))
            if (w_->NodeText(n) == text) return n;
        return nullptr;
    }
    // A click on the folder's node, which lists its files.
    void Show(const std::wstring& folder) {
        RECT r{};
        TreeView_GetItemRect(w_->TreeView1(), Node(folder), &r, TRUE);
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::PostMessageW(w_->TreeView1(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(w_->TreeView1(), WM_LBUTTONUP, 0, at);
        Pump();
        ASSERT_EQ(w_->NodeText(w_->SelectedNode()), folder);
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
    void Select(std::initializer_list<int> indexes) {
        ::SendMessageW(w_->List1(), LB_SETSEL, FALSE, -1);
        for (int i : indexes) ::SendMessageW(w_->List1(), LB_SETSEL, TRUE, i);
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
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, Status(code).Text());
        EXPECT_EQ(boxes_[0].title, L"Velloran Trovell");
        EXPECT_EQ(boxes_[0].style, static_cast<UINT>(MB_OK | MB_ICONHAND));
        EXPECT_EQ(TextOf(w_->lblErrorMessage()), Status(code).Text());
        EXPECT_EQ(w_->DropHighlight(), nullptr);
        boxes_.clear();
    }

    TempFolder app_;
    TempFolder elsewhere_;
    std::wstring store_;
    std::unique_ptr<frmList> w_;
    std::vector<Box> boxes_;
};

}  // namespace

// ---------------------------------------------------------------- dragging out of the list

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
    EXPECT_EQ(TextOf(w_->lblErrorMessage()), L"");
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
    int cx = 0, cy = 0;
    ImageList_GetIconSize(pictures, &cx, &cy);
    EXPECT_EQ(cx, 9);
    EXPECT_EQ(cy, 8);
    auto image = [&](int i) {
        return Drawn([&](HDC dc) { ImageList_Draw(pictures, i, dc, 0, 0, ILD_NORMAL); });
    };
    auto inked = [](const std::vector<uint32_t>& p, int row) {
        return std::count_if(p.begin() + row * 9, p.begin() + row * 9 + 9,
                             [](uint32_t c) { return (c & 0xFFFFFF) != kBackground; });
    };
    EXPECT_EQ(inked(image(0), 0), 1);
    EXPECT_EQ(inked(image(0), 7), 9);
    EXPECT_EQ(inked(image(1), 0), 9);
    EXPECT_EQ(inked(image(1), 7), 1);
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
