#include "browser/BrowserControls_win.h"

#include "browser/BrowserLayout.h"
#include "browser/BrowserTexts.h"
#include "platform/Fonts_win.h"
#include "platform/Icons_win.h"
#include "platform/PixelArt.h"
#include "platform/Window_win.h"

namespace trovell {

namespace {

namespace layout = browser::layout;
using C = BrowserControls;

constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
// Labels hold one line: a longer text is cut at the label's end rather than wrapped below
// it, where it could not be seen.
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
constexpr uint32_t kButtonFace = 0xFFFFFFFF;  // the system's colour, asked when made

struct PanelRow {
    PictureBox C::*panel;
    PictureBox C::*parent;  // null: the form
    int id;
    Rect twips;
    uint32_t colour;
    bool border;
    bool keepsDrawing;
};

struct ControlRow {
    HWND C::*control;
    PictureBox C::*parent;
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    Rect twips;
};

// In the order of creation, which is the order of the Tab key.
constexpr ControlRow kFormControls[] = {
    {&C::Toolbar1, nullptr, 100, TOOLBARCLASSNAMEW, nullptr,
     WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_FLAT, 0,
     layout::kToolbar1},
    {&C::cmdReSetFolder, nullptr, 101, L"BUTTON", texts::kRefresh, kTab | BS_PUSHBUTTON, 0,
     layout::kCmdReSetFolder},
    {&C::TreeView1, nullptr, 102, WC_TREEVIEWW, nullptr,
     kTab | TVS_HASLINES | TVS_EDITLABELS | TVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE,
     layout::kTreeView1},
    {&C::cmdListSort, nullptr, 103, L"BUTTON", nullptr, kTab | BS_PUSHBUTTON | BS_ICON, 0,
     layout::kCmdListSort},
    {&C::List1, nullptr, 104, L"LISTBOX", nullptr,
     kTab | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
     layout::kList1},
};

constexpr PanelRow kPanels[] = {
    {&C::Picture4, nullptr, 105, layout::kPicture4, layout::kPanelColour, true, false},
    {&C::Picture3, nullptr, 106, layout::kPicture3, kButtonFace, true, false},
    {&C::Picture5, &C::Picture4, 107, layout::kPicture5, layout::kDateRowColour, false, false},
    {&C::Picture6, &C::Picture4, 108, layout::kPicture6, layout::kPanelColour, false, false},
    {&C::Picture2, &C::Picture4, 109, layout::kPicture2, layout::kPreviewColour, false, true},
};

constexpr ControlRow kPanelControls[] = {
    {&C::lblErrorMessage, &C::Picture3, 110, L"STATIC", L"", kLabel, 0, layout::kLblErrorMessage},
    {&C::Label1, &C::Picture5, 111, L"STATIC", texts::kCreatedLabel, kLabel, 0, layout::kLabel1},
    {&C::lblYMD, &C::Picture5, 112, L"STATIC", L"", kLabel, 0, layout::kLblYMD},
    {&C::Command1, &C::Picture4, 113, L"BUTTON", texts::kCopyPicture, kTab | BS_PUSHBUTTON, 0,
     layout::kCommand1},
    {&C::cmdBigPic, &C::Picture4, 114, L"BUTTON", texts::kBigPicture, BS_PUSHBUTTON, 0,
     layout::kCmdBigPic},
    {&C::txtFileName, &C::Picture6, 115, L"EDIT", L"", kTab | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     layout::kTxtFileName},
    {&C::txtK, &C::Picture6, 116, L"EDIT", L"", WS_VISIBLE | ES_AUTOHSCROLL | ES_READONLY,
     WS_EX_CLIENTEDGE, layout::kTxtK},
    {&C::lblListIndexBack, &C::Picture4, 117, L"STATIC", texts::kListIndexBackDesign,
     SS_LEFT | SS_NOPREFIX, 0, layout::kLblListIndexBack},
};

UniqueFont UiFont() {
    if (FontFaceExists(layout::kUiFontFace))
        return CreatePointFont(layout::kUiFontFace, layout::kUiFontPoints, FW_NORMAL,
                               SHIFTJIS_CHARSET);
    const LOGFONTW message = MessageFont();
    return UniqueFont(::CreateFontIndirectW(&message));
}

void AddToolbarButtons(HWND toolbar, HIMAGELIST images) {
    ::SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(toolbar, TB_SETBITMAPSIZE, 0,
                   MAKELPARAM(layout::kToolImageSize, layout::kToolImageSize));
    ::SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    const wchar_t* captions[] = {texts::kToolClose, texts::kToolNew, texts::kToolDelete};
    TBBUTTON buttons[3]{};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = i + 1;  // the index of the button
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].iString = reinterpret_cast<INT_PTR>(captions[i]);
    }
    ::SendMessageW(toolbar, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
    // After the buttons: the toolbar sizes them from their captions when they are added.
    // Little padding, so that a caption has the button's width.
    const Size button = layout::kToolButtonSize;
    ::SendMessageW(toolbar, TB_SETPADDING, 0, MAKELPARAM(2, 2));
    ::SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(button.width, button.height));
    ::SendMessageW(toolbar, TB_SETBUTTONWIDTH, 0, MAKELPARAM(button.width, button.width));
}

void AddTip(HWND form, HWND control, const wchar_t* text) {
    const HWND tip =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, ModuleInstance(), nullptr);
    if (!tip) return;  // a missing tip costs nothing else
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

Status BrowserControls::Create(HWND form, const TwipsPerPixel& twips) {
    font = UiFont();
    const int image = layout::kToolImageSize;
    ImageList1 = ImageListFromPixelMaps(image, image, {&art::kFolderClosed, &art::kFolderOpen});
    ImageList3 =
        ImageListFromPixelMaps(image, image, {&art::kToolClose, &art::kToolNew, &art::kToolDelete});
    const Size sort = layout::kSortImageSize;
    ImageList2 = ImageListFromPixelMaps(sort.width, sort.height, {&art::kSortUp, &art::kSortDown});
    if (!ImageList1 || !ImageList2 || !ImageList3) return Status::LastError();
    sortUp.reset(::ImageList_GetIcon(ImageList2.get(), 0, ILD_NORMAL));
    sortDown.reset(::ImageList_GetIcon(ImageList2.get(), 1, ILD_NORMAL));

    auto parentOf = [&](PictureBox C::*panel) { return panel ? (this->*panel).hwnd() : form; };
    auto make = [&](const ControlRow& row) {
        this->*row.control = CreateControl({.className = row.className,
                                            .text = row.text,
                                            .style = row.style,
                                            .exStyle = row.exStyle,
                                            .parent = parentOf(row.parent),
                                            .id = row.id,
                                            .bounds = TwipsToPixels(row.twips, twips),
                                            .font = font.get()});
        return this->*row.control != nullptr;
    };
    for (const ControlRow& row : kFormControls)
        if (!make(row)) return Status::LastError();
    for (const PanelRow& row : kPanels) {
        const Status made =
            (this->*row.panel)
                .Create(
                    {.parent = parentOf(row.parent),
                     .id = row.id,
                     .bounds = TwipsToPixels(row.twips, twips),
                     .back = row.colour == kButtonFace ? ::GetSysColor(COLOR_BTNFACE) : row.colour,
                     .border = row.border,
                     .keepsDrawing = row.keepsDrawing});
        if (!made) return made;
    }
    for (const ControlRow& row : kPanelControls)
        if (!make(row)) return Status::LastError();

    ::EnableWindow(txtFileName, FALSE);
    ::EnableWindow(txtK, FALSE);
    ::SendMessageW(TreeView1, TVM_SETIMAGELIST, TVSIL_NORMAL,
                   reinterpret_cast<LPARAM>(ImageList1.get()));
    AddToolbarButtons(Toolbar1, ImageList3.get());
    AddTip(form, List1, texts::kListTip);
    return {};
}

}  // namespace trovell
