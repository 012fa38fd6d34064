#include "browser/frmList_win.h"

#include <windowsx.h>

#include <algorithm>

#include "browser/BrowserRules.h"
#include "browser/BrowserTexts.h"
#include "browser/frmPicture_win.h"
#include "platform/Clipboard_win.h"
#include "platform/FileOps_win.h"
#include "platform/Fonts_win.h"
#include "platform/Icons_win.h"
#include "platform/Input_win.h"
#include "platform/MessageBox_win.h"
#include "platform/PictureLoader_win.h"
#include "platform/PixelArt.h"
#include "platform/ScreenMetrics_win.h"
#include "platform/Startup_win.h"
#include "shell/StoreNames.h"

namespace trovell {

namespace {

constexpr wchar_t kClassName[] = L"TrovellList";

// The client area and every control, in twips (left, top, width, height); the rows of the
// right panel are relative to the panel's inner area, the name boxes to their row.
constexpr int kClientWidth = 10455;
constexpr int kClientHeight = 6345;
constexpr Rect kToolbar1{0, 0, 10455, 615};
constexpr Rect kCmdReSetFolder{0, 690, 2205, 315};
constexpr Rect kTreeView1{0, 1020, 2205, 4740};
constexpr Rect kCmdListSort{2220, 690, 2595, 300};
constexpr Rect kList1{2220, 1020, 2595, 4740};
constexpr Rect kPicture4{4830, 660, 5625, 5100};
constexpr Rect kPicture3{0, 5970, 10455, 375};
constexpr Rect kLblErrorMessage{30, 60, 9675, 315};
constexpr Rect kPicture5{120, 60, 3075, 405};
constexpr Rect kLabel1{60, 120, 825, 315};
constexpr Rect kLblYMD{1020, 120, 1935, 315};
constexpr Rect kCommand1{3240, 90, 2205, 345};
constexpr Rect kCmdBigPic{5010, -120, 405, 345};
constexpr Rect kPicture6{120, 480, 5325, 345};
constexpr Rect kTxtFileName{60, 50, 4440, 255};
constexpr Rect kTxtK{4620, 50, 585, 255};
constexpr Rect kPicture2{120, 840, 5325, 4155};
constexpr Rect kLblListIndexBack{2760, -90, 495, 315};
// The hidden holder, borderless: what it holds before its first picture is this size.
constexpr Rect kPicture1{4890, 5940, 615, 465};

constexpr COLORREF kPanelColour = RGB(255, 255, 192);
constexpr COLORREF kDateRowColour = RGB(255, 224, 192);
constexpr COLORREF kPreviewColour = RGB(0, 0, 0);

constexpr SIZE kToolButtonSize{37, 35};
constexpr int kToolImageSize = 16;

enum ControlId : int {
    kIdToolbar1 = 100,
    kIdCmdReSetFolder,
    kIdTreeView1,
    kIdCmdListSort,
    kIdList1,
    kIdPicture3,
    kIdPicture4,
    kIdPicture5,
    kIdPicture6,
    kIdPicture2,
    kIdLblErrorMessage,
    kIdLabel1,
    kIdLblYMD,
    kIdCommand1,
    kIdCmdBigPic,
    kIdTxtFileName,
    kIdTxtK,
    kIdLblListIndexBack,
};

// Posted so that the message box of a failed rename comes after the tree has ended the
// edit: a box shown inside the end notification takes the focus from the edit box, which
// would end the edit a second time.
constexpr UINT kMsgRenameFailed = WM_APP + 1;

constexpr wchar_t kUiFontFace[] = L"ＭＳ Ｐゴシック";
constexpr int kUiFontPoints = 9;


std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

const wchar_t* KeyErrorText(KeyError error) {
    return error == KeyError::Invalid ? texts::kKeyInvalid : texts::kKeyNotUnique;
}

}  // namespace

frmList::frmList(Options options) : options_(std::move(options)) {}

frmList::~frmList() {
    // The window goes first, while the fonts and image lists its controls use still exist.
    destroying_ = true;
    if (hwnd()) ::DestroyWindow(hwnd());
}

Rect frmList::Pixels(const Rect& twips) const {
    return TwipsToPixels(twips, twips_);
}

std::wstring frmList::ComputeImgPath() const {
    return StoreRootPath(options_.appFolder, options_.userName);
}

Status frmList::Open() {
    // The tree, the toolbar and the tooltip belong to the common controls.
    EnsureCommonControls();
    twips_ = ScreenTwipsPerPixel();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT outer{0, 0, TwipsToPixelsX(kClientWidth, twips_), TwipsToPixelsY(kClientHeight, twips_)};
    ::AdjustWindowRectEx(&outer, style, FALSE, 0);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (Status created = Create({.className = kClassName,
                                 .caption = texts::kListCaption,
                                 .style = style,
                                 .bounds = {left, top, width, height}});
        !created)
        return created;
    if (Status made = CreateControls(); !made) return made;
    Form_Load();
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    // Neither the tree nor the list: their focus rules would set button 3 at once, and the
    // button starts enabled.
    ::SetFocus(cmdReSetFolder_);
    return {};
}

void frmList::RestoreFocus(HWND control) {
    restoringFocus_ = true;
    ::SetFocus(control && ::IsWindow(control) ? control : cmdReSetFolder_);
    restoringFocus_ = false;
}

HWND frmList::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style,
                            DWORD exStyle, HWND parent, int id, const Rect& twips) {
    const Rect r = Pixels(twips);
    HWND control = ::CreateWindowExW(
        exStyle, className, text, WS_CHILD | style, r.left, r.top, r.width, r.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
    if (control) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
    return control;
}

void frmList::CreateFont() {
    LOGFONTW font{};
    if (FontFaceExists(kUiFontFace)) {
        WindowDc screen(nullptr);
        font.lfHeight = FontHeightForPoints(kUiFontPoints, ::GetDeviceCaps(screen.get(), LOGPIXELSY));
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = SHIFTJIS_CHARSET;
        ::lstrcpynW(font.lfFaceName, kUiFontFace, LF_FACESIZE);
    } else {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            font = metrics.lfMessageFont;
        else
            ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    }
    font_.reset(::CreateFontIndirectW(&font));
}

bool frmList::CreateImageLists() {
    auto build = [](std::initializer_list<const art::PixelMap*> maps) {
        UniqueImageList list(::ImageList_Create(kToolImageSize, kToolImageSize,
                                                ILC_COLOR32 | ILC_MASK,
                                                static_cast<int>(maps.size()), 0));
        if (!list) return list;
        for (const art::PixelMap* map : maps) {
            UniqueIcon icon = IconFromPixelMap(*map);
            if (!icon || ::ImageList_AddIcon(list.get(), icon.get()) < 0) return UniqueImageList();
        }
        return list;
    };
    ImageList1_ = build({&art::kFolderClosed, &art::kFolderOpen});
    ImageList3_ = build({&art::kToolClose, &art::kToolNew, &art::kToolDelete});
    return ImageList1_ && ImageList3_;
}

void frmList::CreateToolbarButtons() {
    ::SendMessageW(Toolbar1_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(Toolbar1_, TB_SETBITMAPSIZE, 0, MAKELPARAM(kToolImageSize, kToolImageSize));
    ::SendMessageW(Toolbar1_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ImageList3_.get()));
    const wchar_t* captions[] = {texts::kToolClose, texts::kToolNew, texts::kToolDelete};
    TBBUTTON buttons[3]{};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = i + 1;  // the index of the button
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].iString = reinterpret_cast<INT_PTR>(captions[i]);
    }
    ::SendMessageW(Toolbar1_, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
    // After the buttons: the toolbar sizes them from their captions when they are added.
    // Little padding, so that a caption has the button's width.
    ::SendMessageW(Toolbar1_, TB_SETPADDING, 0, MAKELPARAM(2, 2));
    ::SendMessageW(Toolbar1_, TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(kToolButtonSize.cx, kToolButtonSize.cy));
    ::SendMessageW(Toolbar1_, TB_SETBUTTONWIDTH, 0,
                   MAKELPARAM(kToolButtonSize.cx, kToolButtonSize.cx));
}

void frmList::AddListTip() {
    listTip_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, ModuleInstance(), nullptr);
    if (!listTip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(List1_);
    tool.lpszText = const_cast<wchar_t*>(texts::kListTip);
    ::SendMessageW(listTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

Status frmList::CreateControls() {
    CreateFont();
    if (!CreateImageLists()) return Status::LastError();
    const HWND form = hwnd();

    Toolbar1_ =
        CreateControl(TOOLBARCLASSNAMEW, nullptr,
                      WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_FLAT,
                      0, form, kIdToolbar1, kToolbar1);
    cmdReSetFolder_ =
        CreateControl(L"BUTTON", texts::kRefresh, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, form,
                      kIdCmdReSetFolder, kCmdReSetFolder);
    TreeView1_ =
        CreateControl(WC_TREEVIEWW, nullptr,
                      WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                      WS_EX_CLIENTEDGE, form, kIdTreeView1, kTreeView1);
    cmdListSort_ =
        CreateControl(L"BUTTON", nullptr, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 0,
                      form, kIdCmdListSort, kCmdListSort);
    List1_ = CreateControl(
        L"LISTBOX", nullptr,
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT,
        WS_EX_CLIENTEDGE, form, kIdList1, kList1);
    if (!Toolbar1_ || !cmdReSetFolder_ || !TreeView1_ || !cmdListSort_ || !List1_)
        return Status::LastError();

    auto panel = [&](PictureBox& box, HWND parent, int id, const Rect& twips, COLORREF back,
                     bool border, bool keepsDrawing) {
        return box.Create({.parent = parent,
                           .id = id,
                           .bounds = Pixels(twips),
                           .back = back,
                           .border = border,
                           .keepsDrawing = keepsDrawing});
    };
    if (Status s = panel(Picture4_, form, kIdPicture4, kPicture4, kPanelColour, true, false); !s)
        return s;
    if (Status s = panel(Picture3_, form, kIdPicture3, kPicture3, ::GetSysColor(COLOR_BTNFACE),
                         true, false);
        !s)
        return s;
    const HWND right = Picture4_.hwnd();
    if (Status s = panel(Picture5_, right, kIdPicture5, kPicture5, kDateRowColour, false, false);
        !s)
        return s;
    if (Status s = panel(Picture6_, right, kIdPicture6, kPicture6, kPanelColour, false, false); !s)
        return s;
    if (Status s = panel(Picture2_, right, kIdPicture2, kPicture2, kPreviewColour, false, true); !s)
        return s;

    // Labels hold one line: a longer text is cut at the label's end rather than wrapped
    // below it, where it could not be seen.
    lblErrorMessage_ = CreateControl(L"STATIC", L"", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                                     0, Picture3_.hwnd(), kIdLblErrorMessage, kLblErrorMessage);
    Label1_ =
        CreateControl(L"STATIC", texts::kCreatedLabel, WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                      0, Picture5_.hwnd(), kIdLabel1, kLabel1);
    lblYMD_ = CreateControl(L"STATIC", L"", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                            Picture5_.hwnd(), kIdLblYMD, kLblYMD);
    Command1_ =
        CreateControl(L"BUTTON", texts::kCopyPicture, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                      right, kIdCommand1, kCommand1);
    cmdBigPic_ = CreateControl(L"BUTTON", texts::kBigPicture, BS_PUSHBUTTON, 0, right, kIdCmdBigPic,
                               kCmdBigPic);
    txtFileName_ = CreateControl(L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                 WS_EX_CLIENTEDGE, Picture6_.hwnd(), kIdTxtFileName, kTxtFileName);
    txtK_ = CreateControl(L"EDIT", L"", WS_VISIBLE | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE,
                          Picture6_.hwnd(), kIdTxtK, kTxtK);
    lblListIndexBack_ = CreateControl(L"STATIC", texts::kListIndexBackDesign, SS_LEFT | SS_NOPREFIX,
                                      0, right, kIdLblListIndexBack, kLblListIndexBack);
    if (!lblErrorMessage_ || !Label1_ || !lblYMD_ || !Command1_ || !cmdBigPic_ || !txtFileName_ ||
        !txtK_ || !lblListIndexBack_)
        return Status::LastError();
    ::EnableWindow(txtFileName_, FALSE);
    ::EnableWindow(txtK_, FALSE);

    CreateToolbarButtons();
    AddListTip();
    for (auto [control, id] : {std::pair{TreeView1_, kIdTreeView1}, std::pair{List1_, kIdList1},
                               std::pair{txtFileName_, kIdTxtFileName}})
        ::SetWindowSubclass(control, &frmList::ControlProc, id, reinterpret_cast<DWORD_PTR>(this));
    SetUpDragDrop();
    // Only a move to another control of this window commits, as a validation does: not the
    // focus going to a message box, to another window, or away as the window closes.
    return txtFileNameLeave_.Watch(txtFileName_, [this](HWND gaining) {
        if (committing_ || destroying_ || !gaining || ::GetAncestor(gaining, GA_ROOT) != hwnd())
            return true;
        bool cancel = false;
        txtFileName_Validate(cancel);
        return !cancel;
    });
}

// ---------------------------------------------------------------- opening and refresh

void frmList::Form_Load() {
    strImgPath_ = ComputeImgPath();
    ::SendMessageW(TreeView1_, TVM_SETIMAGELIST, TVSIL_NORMAL,
                   reinterpret_cast<LPARAM>(ImageList1_.get()));
    std::vector<std::wstring> folders;
    if (!ListSubfolders(strImgPath_, &folders)) return;  // silently: an empty browser
    AddNodes(folders);
    if (HTREEITEM first = TreeView_GetRoot(TreeView1_)) {
        SelectNodeByCode(first);
        (void)File1_Read();
        FillFileList();
    } else {
        File1_.clear();
    }
}

void frmList::cmdReSetFolder_Click() {
    strImgPath_ = ComputeImgPath();
    ::SendMessageW(TreeView1_, TVM_SETIMAGELIST, TVSIL_NORMAL,
                   reinterpret_cast<LPARAM>(ImageList1_.get()));
    std::vector<std::wstring> folders;
    // A store that cannot be read leaves the tree as it was.
    if (!ListSubfolders(strImgPath_, &folders)) return;
    RemoveAllNodes();
    AddNodes(folders);
    if (HTREEITEM first = TreeView_GetRoot(TreeView1_)) {
        SelectNodeByCode(first);
        (void)File1_Read();
        FillFileList();
    } else {
        // No folder, no list: what it showed belonged to a folder that is gone.
        File1_.clear();
        EmptyList();
    }
    ApplyTreeRule();
    ClearFileInfo();
}

void frmList::AddNodes(const std::vector<std::wstring>& names) {
    // Inserting thousands of items into a visible tree repaints it for every one.
    ::SendMessageW(TreeView1_, WM_SETREDRAW, FALSE, 0);
    for (const std::wstring& name : names)
        if (!AddNode(name)) break;
    ::SendMessageW(TreeView1_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(TreeView1_, nullptr, TRUE);
}

HTREEITEM frmList::AddNode(const std::wstring& name) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 1;
    auto node = reinterpret_cast<HTREEITEM>(
        SendPastSubclasses(TreeView1_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!node) return nullptr;
    if (keys_.Add(reinterpret_cast<NodeKeys::Node>(node), NodeKeys::KeyFor(name)) !=
        KeyError::None) {
        TreeView_DeleteItem(TreeView1_, node);
        return nullptr;
    }
    return node;
}

void frmList::SelectNodeByCode(HTREEITEM node) {
    selectingByCode_ = true;
    TreeView_SelectItem(TreeView1_, node);
    selectingByCode_ = false;
}

void frmList::RemoveAllNodes() {
    ::SendMessageW(TreeView1_, WM_SETREDRAW, FALSE, 0);
    selectingByCode_ = true;
    TreeView_DeleteAllItems(TreeView1_);
    selectingByCode_ = false;
    keys_.Clear();
    ::SendMessageW(TreeView1_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(TreeView1_, nullptr, TRUE);
}

int frmList::NodeCount() const {
    return static_cast<int>(TreeView_GetCount(TreeView1_));
}

HTREEITEM frmList::SelectedNode() const {
    return TreeView_GetSelection(TreeView1_);
}

std::wstring frmList::NodeText(HTREEITEM node) const {
    if (!node) return {};
    // A folder name fits a path component; the buffer leaves room for any name.
    wchar_t text[1024] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = 1024;
    if (!TreeView_GetItem(TreeView1_, &item)) return {};
    return text;
}

std::wstring frmList::NodeKey(HTREEITEM node) const {
    return keys_.Key(reinterpret_cast<NodeKeys::Node>(node));
}

void frmList::ApplyTreeRule() {
    ::SendMessageW(Toolbar1_, TB_ENABLEBUTTON, kToolDelete, MAKELPARAM(NodeCount() > 0, 0));
}

std::wstring frmList::ListedFolder() const {
    // No folder node, no listing: the user's folder itself holds no shown files.
    const HTREEITEM node = SelectedNode();
    const std::wstring text = node ? NodeText(node) : std::wstring();
    return text.empty() ? std::wstring() : EntryFolder(strImgPath_, text);
}

Status frmList::File1_Read() {
    const std::wstring folder = ListedFolder();
    if (folder.empty()) {
        File1_.clear();
        return {};
    }
    Status read = ListFiles(folder, &File1_);
    if (!read) File1_.clear();
    std::sort(File1_.begin(), File1_.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareFileNames(a, b) < 0;
    });
    return read;
}

void frmList::FillFileList() {
    // A list box filled with redraw on takes tens of seconds for ten thousand names.
    size_t chars = 0;
    for (const std::wstring& name : File1_) chars += name.size() + 1;
    ::SendMessageW(List1_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(List1_, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(List1_, LB_INITSTORAGE, File1_.size(), chars * sizeof(wchar_t));
    auto add = [&](const std::wstring& name) {
        SendPastSubclasses(List1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    };
    if (blnSortDesc)
        std::for_each(File1_.rbegin(), File1_.rend(), add);
    else
        std::for_each(File1_.begin(), File1_.end(), add);
    ::SendMessageW(List1_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(List1_, nullptr, TRUE);
}

void frmList::EmptyList() {
    ::SendMessageW(List1_, LB_RESETCONTENT, 0, 0);
}

int frmList::ListCount() const {
    return static_cast<int>(::SendMessageW(List1_, LB_GETCOUNT, 0, 0));
}

void frmList::ListSelectedFolder() {
    if (SelectedNode()) {
        (void)File1_Read();
        FillFileList();
    } else {
        File1_.clear();
        EmptyList();
    }
}

// ---------------------------------------------------------------- closing

void frmList::Form_Unload() {
    frmPicture& viewer = frmPicture::Viewer();
    if (viewer.Loaded() && ::IsWindowVisible(viewer.hwnd())) viewer.Unload();
}

void frmList::CloseWindow() {
    // A drag loop or a drop's message box runs on this object's stack: the window goes once
    // it has returned.
    if (inDragDrop_ > 0) {
        closeAfterDrag_ = true;
        return;
    }
    Form_Unload();
    ::DestroyWindow(hwnd());
}

void frmList::OnDestroyed() {
    if (!destroying_ && options_.onDestroyed) options_.onDestroyed();
}

// ---------------------------------------------------------------- tree

void frmList::TreeView1_NodeClick(HTREEITEM node) {
    if (NodeText(node).empty()) return;
    const Status read = File1_Read();
    FillFileList();
    // A folder removed behind the window's back: the list is empty, the reason is shown.
    if (!read) SetError(read.Text());
}

void frmList::TreeView1_GotFocus() {
    ApplyTreeRule();
    ClearFileInfo();
}

void frmList::TreeView1_KeyDown(int& keyCode, int shift) {
    switch (TreeKeyAction(keyCode, shift)) {
        case TreeKey::ToList:
            keyCode = 0;
            if (ListCount() > 0) ::SendMessageW(List1_, LB_SETSEL, TRUE, 0);
            ::SetFocus(List1_);
            return;
        case TreeKey::Close: CloseWindow(); return;
        case TreeKey::NewFolder: NewFolder(); return;
        case TreeKey::DeleteFolder: DeleteFolder(); return;
        case TreeKey::None: return;
    }
}

void frmList::TreeView1_BeforeLabelEdit(HTREEITEM node) {
    strOldName_ = NodeText(node);
    labelEditing_ = true;
}

bool frmList::TreeView1_AfterLabelEdit(HTREEITEM node, const wchar_t* newText) {
    // No text is a cancelled edit. One edit renames once, also where the end of an edit is
    // reported twice.
    if (!newText || !labelEditing_) return false;
    labelEditing_ = false;
    const std::wstring t = newText;
    // Confirming the name unchanged is no rename.
    if (t == strOldName_) return true;
    if (!IsSingleFolderName(t)) {
        renameFailure_ = Status(ERROR_INVALID_NAME).Text();
        ::PostMessageW(hwnd(), kMsgRenameFailed, 0, 0);
        return false;
    }
    const auto id = reinterpret_cast<NodeKeys::Node>(node);
    const std::wstring oldKey = keys_.Key(id);
    if (KeyError refused = keys_.SetKey(id, t); refused != KeyError::None) {
        renameFailure_ = KeyErrorText(refused);
        ::PostMessageW(hwnd(), kMsgRenameFailed, 0, 0);
        return false;
    }
    const Status renamed =
        MoveFileTo(NodeFolder(strImgPath_, strOldName_), NodeFolder(strImgPath_, t));
    if (!renamed) {
        (void)keys_.SetKey(id, oldKey);
        renameFailure_ = renamed.Text();
        ::PostMessageW(hwnd(), kMsgRenameFailed, 0, 0);
        return false;
    }
    return true;
}

void frmList::ReportRenameFailure() {
    const std::wstring text = std::exchange(renameFailure_, {});
    if (text.empty()) return;
    ShowMessage(hwnd(), text, texts::kRenameTitle, MB_OK | MB_ICONHAND);
    SetError(text);
}

// ---------------------------------------------------------------- toolbar

void frmList::Toolbar1_ButtonClick(int index) {
    switch (index) {
        case kToolClose: CloseWindow(); return;
        case kToolNew: NewFolder(); return;
        case kToolDelete: DeleteSelected(); return;
    }
}

void frmList::NewFolder() {
    const std::optional<std::wstring> made = MakeFreeFolder(
        [&](const std::wstring& name) { return MakeFolder(strImgPath_ + name).ok(); });
    if (!made) {
        ShowMessage(hwnd(), texts::kNoNewFolder, texts::kNewFolderTitle, MB_OK | MB_ICONHAND);
        return;
    }
    // A key left by a folder removed behind the window's back refuses the node; the folder
    // is there all the same and shows after a refresh.
    if (!AddNode(*made)) SetError(texts::kKeyNotUnique);
    ApplyTreeRule();
    ClearFileInfo();
}

void frmList::DeleteSelected() {
    // Clicking the toolbar leaves the focus where it was.
    const HWND active = ::GetFocus();
    if (active == List1_)
        DeleteFiles();
    else if (active == TreeView1_)
        DeleteFolder();
}

void frmList::DeleteFiles() {
    const HTREEITEM node = SelectedNode();
    if (!node || ListCount() == 0) return;
    if (ShowMessage(hwnd(), texts::kConfirmDeleteFiles, texts::kDeleteFilesTitle,
                    MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return;
    const std::wstring folder = NodeText(node);
    // Redraw is off while entries go, rather than disabling the list, which would take the
    // focus from it.
    ::SendMessageW(List1_, WM_SETREDRAW, FALSE, 0);
    auto redraw = [&] {
        ::SendMessageW(List1_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(List1_, nullptr, TRUE);
    };
    for (int i = ListCount() - 1; i >= 0; --i) {
        if (::SendMessageW(List1_, LB_GETSEL, i, 0) <= 0) continue;
        const Status removed = RemoveFile(EntryPath(strImgPath_, folder, ListEntry(i)));
        if (!removed) {
            redraw();
            ShowMessage(hwnd(), texts::kDeleteFailed, texts::kDeleteFilesTitle,
                        MB_OK | MB_ICONHAND);
            SetError(removed.Text());
            return;
        }
        ::SendMessageW(List1_, LB_DELETESTRING, i, 0);
    }
    redraw();
    ClearFileInfo();
}

void frmList::DeleteFolder() {
    const HTREEITEM node = SelectedNode();
    if (NodeCount() == 0 || !node) return;
    if (ShowMessage(hwnd(), texts::kConfirmDeleteFolder, texts::kDeleteFolderTitle,
                    MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return;
    const Status removed = RemoveFolder(NodeFolder(strImgPath_, NodeText(node)));
    if (!removed) {
        ShowMessage(hwnd(), texts::kDeleteFailed, texts::kDeleteFolderTitle, MB_OK | MB_ICONHAND);
        SetError(removed.Text());
        return;
    }
    keys_.Remove(reinterpret_cast<NodeKeys::Node>(node));
    selectingByCode_ = true;
    TreeView_DeleteItem(TreeView1_, node);
    selectingByCode_ = false;
    ApplyTreeRule();
    ClearFileInfo();
    // The list follows the tree's new selection: its entries must not be taken for files of
    // the folder now selected.
    ListSelectedFolder();
}

// ---------------------------------------------------------------- list and preview

void frmList::List1_Click() {
    const int index = static_cast<int>(::SendMessageW(List1_, LB_GETCARETINDEX, 0, 0));
    if (index < 0 || index >= ListCount()) return;
    RECT inner;
    ::GetClientRect(Picture2_.hwnd(), &inner);
    const int heightTwips = inner.bottom * twips_.y;
    const int widthTwips = inner.right * twips_.x;

    const std::wstring entry = ListEntry(index);
    const std::wstring node = NodeText(SelectedNode());
    const std::wstring path = EntryPath(strImgPath_, node, entry);
    // A picture that cannot be decoded or is too large to hold fails here, and the holder
    // keeps what it held.
    if (!LoadPicture(path, Picture1_)) {
        List1_FailedShow();
        return;
    }
    DrawFitted(Picture1_, Picture2_, heightTwips, widthTwips);

    const SplitName split = SplitFileName(entry);
    SetText(lblListIndexBack_, EntryFolder(strImgPath_, node));
    SetText(txtFileName_, split.name);
    txtFileNameTag_ = split.name;
    SetText(txtK_, split.extension);
    SetError(L"");
    SetYmd(FileCreatedText(path));
}

std::wstring frmList::ListEntry(int index) const {
    std::wstring entry(static_cast<size_t>(::SendMessageW(List1_, LB_GETTEXTLEN, index, 0)) + 1,
                       L'\0');
    const LRESULT length =
        ::SendMessageW(List1_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return entry;
}

void frmList::List1_FailedShow() {
    SetError(texts::kCannotRead);
    ClearFileInfo();
}

void frmList::DrawFitted(const DibSurface& source, PictureBox& target, int height, int width) {
    const int w = TwipsToPixelsX(width, twips_);
    const int h = TwipsToPixelsY(height, twips_);
    target.SetOuterSize(w, h);
    target.ShowFitted(source);
}

void frmList::ClearFileInfo() {
    SetYmd(L"");
    SetText(txtK_, L"");
    SetText(txtFileName_, L"");
    txtFileNameTag_.clear();
    SetText(lblListIndexBack_, L"");
    Picture2_.Clear();
}

void frmList::lblYMD_Change() {
    const bool shown = ShowsDate(TextOf(lblYMD_));
    ::EnableWindow(txtFileName_, shown);
    ::EnableWindow(txtK_, shown);
}

void frmList::List1_GotFocus() {
    ::SendMessageW(Toolbar1_, TB_ENABLEBUTTON, kToolDelete, MAKELPARAM(ListCount() > 0, 0));
}

// ---------------------------------------------------------------- file commands

void frmList::List1_DblClick() {
    cmdBigPic_Click();
}

void frmList::List1_KeyDown(int& keyCode, int shift) {
    switch (ListKeyAction(keyCode, shift, ListCount() > 0)) {
        case ListKey::ToTree: {
            keyCode = 0;
            const int focused = static_cast<int>(::SendMessageW(List1_, LB_GETCARETINDEX, 0, 0));
            if (ListCount() > 0 && focused >= 0) ::SendMessageW(List1_, LB_SETSEL, FALSE, focused);
            ::SetFocus(TreeView1_);
            return;
        }
        case ListKey::Close: CloseWindow(); return;
        case ListKey::ToName:
            keyCode = 0;
            if (::IsWindowEnabled(txtFileName_)) ::SetFocus(txtFileName_);
            return;
        case ListKey::Copy: Command1_Click(); return;
        case ListKey::Open: cmdBigPic_Click(); return;
        case ListKey::Delete: DeleteFiles(); return;
        case ListKey::None: return;
    }
}

void frmList::cmdBigPic_Click() {
    frmPicture& viewer = frmPicture::Viewer();
    const bool existed = viewer.Loaded();
    if (Status loaded = viewer.Load(); !loaded) {
        SetError(loaded.Text());
        return;
    }
    const Rect design = Pixels(kPicture1);
    const Size picture = Picture1_.empty() ? Size{design.width, design.height}
                                           : Size{Picture1_.width(), Picture1_.height()};
    // A picture the memory cannot hold a second time leaves the viewer as it was, rather
    // than showing it blank.
    if (Status held = viewer.SizeImage(picture); !held) {
        if (!existed) viewer.Unload();
        SetError(held.Text());
        return;
    }
    RECT outer, inner;
    ::GetWindowRect(viewer.hwnd(), &outer);
    ::GetClientRect(viewer.hwnd(), &inner);
    const int frameHeight = (outer.bottom - outer.top) - inner.bottom;
    const int frameWidth = (outer.right - outer.left) - inner.right;
    viewer.SetOuterSize({frameWidth + picture.width, frameHeight + picture.height});
    viewer.Refresh();
    if (!Picture1_.empty())
        ::BitBlt(viewer.Image().dc(), 0, 0, picture.width, picture.height, Picture1_.dc(), 0, 0,
                 SRCCOPY);
    viewer.Refresh();
    viewer.SetCaption(TextOf(lblYMD_));
    viewer.Show();
}

void frmList::Command1_Click() {
    // Before the first picture was shown there is nothing to copy.
    if (Picture1_.empty()) return;
    const Status copied = WriteClipboardBitmap(Picture1_, hwnd());
    if (!copied) SetError(copied.Text());
}

void frmList::txtFileName_KeyPress(int keyAscii) {
    if (keyAscii == VK_RETURN) {
        bool ignored = false;
        txtFileName_Validate(ignored);
    } else if (keyAscii == VK_ESCAPE) {
        SetText(txtFileName_, txtFileNameTag_);
    }
}

void frmList::txtFileName_Validate(bool& cancel) {
    if (committing_) return;
    committing_ = true;
    CommitRename(cancel);
    committing_ = false;
}

void frmList::CommitRename(bool& cancel) {
    if (TextOf(lblYMD_).empty()) return;
    auto refuse = [&](const std::wstring& message, UINT icon) {
        cancel = true;
        SetText(txtFileName_, txtFileNameTag_);
        ShowMessage(hwnd(), message, texts::kRenameTitle, MB_OK | icon);
    };
    const std::wstring text = TextOf(txtFileName_);
    if (text != txtFileNameTag_) {
        const std::wstring trimmed = TrimSpaces(text);
        if (trimmed.empty()) {
            refuse(texts::kEnterFileName, MB_ICONINFORMATION);
        } else if (!ValidName(trimmed)) {
            refuse(texts::kForbiddenCharacters, MB_ICONHAND);
        } else {
            const FileRename paths =
                FileRenamePaths(TextOf(lblListIndexBack_), txtFileNameTag_, text, TextOf(txtK_));
            // Never over another file; only a name taken says so, other failures say why.
            const Status moved = MoveFileTo(paths.from, paths.to);
            if (!moved)
                refuse(moved.code() == ERROR_ALREADY_EXISTS || moved.code() == ERROR_FILE_EXISTS
                           ? std::wstring(texts::kFileNameExists)
                           : moved.Text(),
                       MB_ICONHAND);
        }
    }
    // Refused or not, the folder is read again and the shown file selected under its name.
    if (const Status read = File1_Read(); !read) {
        refuse(read.Text(), MB_ICONHAND);
        return;
    }
    FillFileList();
    const std::wstring wanted = TextOf(txtFileName_) + L"." + TextOf(txtK_);
    const auto found = static_cast<int>(::SendMessageW(
        List1_, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wanted.c_str())));
    if (found != LB_ERR) {
        ::SendMessageW(List1_, LB_SETCARETINDEX, found, FALSE);
        ::SendMessageW(List1_, LB_SETSEL, TRUE, found);
        List1_Click();
    }
    txtFileNameTag_ = TextOf(txtFileName_);
    ::SetFocus(List1_);
}

void frmList::SetText(HWND control, const std::wstring& text) {
    ::SetWindowTextW(control, text.c_str());
}

void frmList::SetYmd(const std::wstring& text) {
    SetText(lblYMD_, text);
    lblYMD_Change();
}

void frmList::SetError(const std::wstring& text) {
    SetText(lblErrorMessage_, text);
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK frmList::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self) noexcept {
    auto* form = reinterpret_cast<frmList*>(self);
    // The tree reports a click before or after selecting the node depending on its version;
    // each click starts unclaimed.
    if (msg == WM_LBUTTONDOWN && hwnd == form->TreeView1_) {
        form->nodeClickedBySelection_ = false;
        form->treeClickAt_ = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, &frmList::ControlProc, id);
    if (msg == WM_CHAR && hwnd == form->txtFileName_) {
        try {
            form->txtFileName_KeyPress(static_cast<int>(wp));
            if (!::IsWindow(hwnd)) return 0;
        } catch (...) {
            return 0;
        }
    }
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        try {
            int keyCode = static_cast<int>(wp);
            if (hwnd == form->TreeView1_) form->TreeView1_KeyDown(keyCode, ShiftNow());
            if (hwnd == form->List1_) form->List1_KeyDown(keyCode, ShiftNow());
            if (keyCode == 0) return 0;
            if (!::IsWindow(hwnd)) return 0;  // the key closed the window
        } catch (...) {
            return 0;
        }
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT frmList::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int code = HIWORD(wp);
            const HWND from = reinterpret_cast<HWND>(lp);
            if (from == Toolbar1_) {
                Toolbar1_ButtonClick(id);
                return 0;
            }
            if (from == cmdReSetFolder_ && code == BN_CLICKED) {
                cmdReSetFolder_Click();
                return 0;
            }
            if (from == cmdListSort_ && code == BN_CLICKED) {
                cmdListSort_Click();
                return 0;
            }
            if (from == Command1_ && code == BN_CLICKED) {
                Command1_Click();
                return 0;
            }
            if (from == cmdBigPic_ && code == BN_CLICKED) {
                cmdBigPic_Click();
                return 0;
            }
            if (from == List1_) {
                if (code == LBN_SELCHANGE) List1_Click();
                if (code == LBN_DBLCLK) List1_DblClick();
                if (code == LBN_SETFOCUS && !restoringFocus_) List1_GotFocus();
                return 0;
            }
            break;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->hwndFrom != TreeView1_) break;
            switch (header->code) {
                case TVN_SELCHANGEDW: {
                    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(lp);
                    if (selectingByCode_ || change->action == TVC_UNKNOWN) return 0;
                    nodeClickedBySelection_ = change->action == TVC_BYMOUSE;
                    TreeView1_NodeClick(change->itemNew.hItem);
                    return 0;
                }
                case NM_CLICK: {
                    // A click on the node already selected changes nothing in the tree but
                    // still reads its folder afresh.
                    if (std::exchange(nodeClickedBySelection_, false)) return 0;
                    TVHITTESTINFO hit{};
                    hit.pt = treeClickAt_;
                    const HTREEITEM node = TreeView_HitTest(TreeView1_, &hit);
                    if (node && (hit.flags & TVHT_ONITEM) && node == SelectedNode())
                        TreeView1_NodeClick(node);
                    return 0;
                }
                case NM_SETFOCUS:
                    if (!restoringFocus_) TreeView1_GotFocus();
                    return 0;
                case TVN_BEGINLABELEDITW:
                    TreeView1_BeforeLabelEdit(
                        reinterpret_cast<const NMTVDISPINFOW*>(lp)->item.hItem);
                    return FALSE;
                case TVN_ENDLABELEDITW: {
                    const auto* edit = reinterpret_cast<const NMTVDISPINFOW*>(lp);
                    return TreeView1_AfterLabelEdit(edit->item.hItem, edit->item.pszText);
                }
            }
            break;
        }
        case kMsgRenameFailed: ReportRenameFailure(); return 0;
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus gets it back, without its
            // focus rules running for a return from another window or a message box.
            if (LOWORD(wp) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd(), focus)) savedFocus_ = focus;
            } else if (!HIWORD(wp)) {
                RestoreFocus(savedFocus_);
            }
            return 0;
        case WM_SETFOCUS: {
            // The frame takes no keys (a SetFocus on it, as a tray click's bringing it
            // forward did): the focus goes on to the control that had it.
            const HWND from = reinterpret_cast<HWND>(wp);
            RestoreFocus(from && ::IsChild(hwnd(), from) ? from : savedFocus_);
            return 0;
        }
        case WM_CLOSE: CloseWindow(); return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace trovell
