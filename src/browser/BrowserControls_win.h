#pragma once
// The browser's controls as its design places them, with the font, pictures and tip they
// use. They hold nothing of the browser's state: the window renders its model into them.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "platform/PictureBox_win.h"
#include "platform/Geometry.h"
#include "platform/Handles_win.h"

namespace trovell {

struct BrowserControls {
    // Makes every control in the form's client area; the form's WM_COMMAND and WM_NOTIFY
    // receive theirs, also from the controls inside the panels.
    Status Create(HWND form, const TwipsPerPixel& twips);

    UniqueFont font;
    UniqueImageList ImageList1;  // the tree's folders, closed and open
    UniqueImageList ImageList2;  // the sort button's triangles, up and down
    UniqueImageList ImageList3;  // the toolbar's buttons
    UniqueIcon sortUp;
    UniqueIcon sortDown;

    // Child windows belong to the form and go with it.
    HWND Toolbar1 = nullptr;
    HWND cmdReSetFolder = nullptr;
    HWND TreeView1 = nullptr;
    HWND cmdListSort = nullptr;
    HWND List1 = nullptr;
    HWND lblErrorMessage = nullptr;
    HWND Label1 = nullptr;
    HWND lblYMD = nullptr;
    HWND Command1 = nullptr;
    HWND cmdBigPic = nullptr;
    HWND txtFileName = nullptr;
    HWND txtK = nullptr;
    HWND lblListIndexBack = nullptr;  // hidden: the folder of the shown file
    PictureBox Picture3;            // the status bar
    PictureBox Picture4;            // the right panel
    PictureBox Picture5;            // its date row
    PictureBox Picture6;            // its name row
    PictureBox Picture2;            // the preview
};

}  // namespace trovell
