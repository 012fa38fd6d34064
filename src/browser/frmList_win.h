#pragma once
// The browser window: the store's folders as a tree, the chosen folder's files as a list,
// and the shown file's preview, date and name; the folder commands on the toolbar.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "browser/NodeKeys.h"
#include "platform/Dib_win.h"
#include "platform/FileDragDrop_win.h"
#include "platform/FocusHook_win.h"
#include "platform/Geometry.h"
#include "platform/Handles_win.h"
#include "platform/PictureBox_win.h"
#include "platform/Window_win.h"

namespace trovell {

struct frmListOptions {
    std::wstring appFolder;  // holds "img"
    std::wstring userName;   // names the user's store folder under "img"
    // Runs after the window is gone, unless the object itself is being destroyed.
    std::function<void()> onDestroyed;
};

class frmList : public Window {
public:
    using Options = frmListOptions;

    // Toolbar button indexes; the command id of a button is its index.
    enum ToolButton : int { kToolClose = 1, kToolNew = 2, kToolDelete = 3 };

    explicit frmList(Options options);
    ~frmList() override;

    // Creates the window and its controls, runs Form_Load, and shows it centred.
    Status Open();

    // Window state shared by the browser's handlers.
    const std::wstring& strImgPath() const noexcept { return strImgPath_; }
    const std::wstring& strOldName() const noexcept { return strOldName_; }
    bool blnListDrag = false;
    bool blnSortDesc = false;

    // The controls, for the handlers of later commands and for tests.
    HWND Toolbar1() const noexcept { return Toolbar1_; }
    HWND cmdReSetFolder() const noexcept { return cmdReSetFolder_; }
    HWND TreeView1() const noexcept { return TreeView1_; }
    HWND cmdListSort() const noexcept { return cmdListSort_; }
    HWND List1() const noexcept { return List1_; }
    HWND Picture3() const noexcept { return Picture3_.hwnd(); }
    HWND Picture4() const noexcept { return Picture4_.hwnd(); }
    HWND Picture5() const noexcept { return Picture5_.hwnd(); }
    HWND Picture6() const noexcept { return Picture6_.hwnd(); }
    HWND Picture2() const noexcept { return Picture2_.hwnd(); }
    HWND lblErrorMessage() const noexcept { return lblErrorMessage_; }
    HWND Label1() const noexcept { return Label1_; }
    HWND lblYMD() const noexcept { return lblYMD_; }
    HWND Command1() const noexcept { return Command1_; }
    HWND cmdBigPic() const noexcept { return cmdBigPic_; }
    HWND txtFileName() const noexcept { return txtFileName_; }
    HWND txtK() const noexcept { return txtK_; }
    HWND lblListIndexBack() const noexcept { return lblListIndexBack_; }
    HWND ListTip() const noexcept { return listTip_; }
    HIMAGELIST ImageList1() const noexcept { return ImageList1_.get(); }
    HIMAGELIST ImageList3() const noexcept { return ImageList3_.get(); }
    HFONT UiFont() const noexcept { return font_.get(); }

    const DibSurface& Picture1() const noexcept { return Picture1_; }  // the hidden holder
    const DibSurface& PreviewPicture() const noexcept { return Picture2_.surface(); }
    const std::wstring& txtFileNameTag() const noexcept { return txtFileNameTag_; }
    // The hidden file listing: the folder it points at and its bare names in file order.
    const std::vector<std::wstring>& File1() const noexcept { return File1_; }
    std::wstring NodeKey(HTREEITEM node) const;
    std::wstring NodeText(HTREEITEM node) const;
    HTREEITEM SelectedNode() const;

    // Procedures shared with the file commands.
    void FillFileList();
    void ClearFileInfo();
    void DrawFitted(const DibSurface& source, PictureBox& target, int height, int width);

    // Event handlers, as the messages deliver them.
    void Form_Load();
    void Form_Unload();
    void cmdReSetFolder_Click();
    void Toolbar1_ButtonClick(int index);
    void TreeView1_NodeClick(HTREEITEM node);
    void TreeView1_GotFocus();
    void TreeView1_KeyDown(int& keyCode, int shift);
    void TreeView1_BeforeLabelEdit(HTREEITEM node);
    // False cancels the edit: the node keeps its text.
    bool TreeView1_AfterLabelEdit(HTREEITEM node, const wchar_t* newText);
    void List1_Click();
    void List1_DblClick();
    void List1_GotFocus();
    void List1_KeyDown(int& keyCode, int shift);
    void lblYMD_Change();
    void cmdBigPic_Click();
    void Command1_Click();
    // The rename commit: run when the focus is about to leave the box for another control of
    // this window, and by Enter. cancel keeps the focus in the box.
    void txtFileName_Validate(bool& cancel);
    void txtFileName_KeyPress(int keyAscii);

    // Dragging files out of the list, dropping files onto the tree, the list's order.
    HIMAGELIST ImageList2() const noexcept { return ImageList2_.get(); }
    IDropTarget* TreeView1DropTarget() const noexcept { return TreeView1Drop_.target(); }
    HTREEITEM DropHighlight() const;
    // What a drag out of the list carries: the selected entries' paths, read when a target
    // asks for them.
    ComPtr<IDataObject> List1_DragData();
    std::vector<std::wstring> List1_OLESetData();
    void List1_OLEStartDrag();
    void List1_OLECompleteDrag(DWORD effect);
    // Points in the tree's client pixels.
    void TreeView1_OLEDragOver(IDataObject* data, POINT at, DragState state);
    void TreeView1_OLEDragDrop(IDataObject* data, POINT at);
    void cmdListSort_Click();

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self) noexcept;

    Status CreateControls();
    HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                       HWND parent, int id, const Rect& twips);
    Rect Pixels(const Rect& twips) const;
    void CreateFont();
    bool CreateImageLists();
    void CreateToolbarButtons();
    void AddListTip();

    std::wstring ComputeImgPath() const;
    // Fills the tree with one node per name, redraw off; false when the tree refused a key.
    void AddNodes(const std::vector<std::wstring>& names);
    HTREEITEM AddNode(const std::wstring& name);
    void SelectNodeByCode(HTREEITEM node);
    void RemoveAllNodes();
    int NodeCount() const;
    void ApplyTreeRule();
    // Points File1 at a folder and reads its files; File1 stays empty on failure.
    // The selected node's folder, read and sorted into File1_; derived from the tree at each
    // read, so that a rename of the shown folder cannot leave the listing at its old path.
    std::wstring ListedFolder() const;
    Status File1_Read();
    // Refills the list from the selected node's folder, or empties it when there is none.
    void ListSelectedFolder();
    void EmptyList();
    void SetText(HWND control, const std::wstring& text);
    void SetYmd(const std::wstring& text);
    void SetError(const std::wstring& text);
    int ListCount() const;

    void CloseWindow();
    void NewFolder();
    void DeleteSelected();
    void DeleteFiles();
    void DeleteFolder();
    void List1_FailedShow();
    void ReportRenameFailure();
    void CommitRename(bool& cancel);
    std::wstring ListEntry(int index) const;

    static LRESULT CALLBACK DragDropProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR self) noexcept;
    void SetUpDragDrop();
    // True when the list's mouse message belongs to a drag rather than to the list.
    bool List1_DragMouse(UINT msg, WPARAM wp, LPARAM lp);
    void List1_Drag();
    void CloseIfAskedMeanwhile();
    void DropFilesAt(const std::vector<std::wstring>& files, POINT at);
    void ReportDropFailure(const std::wstring& text);
    HTREEITEM DropNodeAt(POINT at) const;
    void SetDropHighlight(HTREEITEM node);
    void ShowSortPicture();

    Options options_;
    TwipsPerPixel twips_;
    std::wstring strImgPath_;
    std::wstring strOldName_;
    std::vector<std::wstring> File1_;
    std::wstring txtFileNameTag_;
    NodeKeys keys_;
    DibSurface Picture1_;
    FocusLeaveCheck txtFileNameLeave_;

    UniqueFont font_;
    UniqueImageList ImageList1_;
    UniqueImageList ImageList3_;
    UniqueImageList ImageList2_;
    UniqueIcon sortUp_;
    UniqueIcon sortDown_;

    // Child windows belong to this window and go with it.
    HWND Toolbar1_ = nullptr;
    HWND cmdReSetFolder_ = nullptr;
    HWND TreeView1_ = nullptr;
    HWND cmdListSort_ = nullptr;
    HWND List1_ = nullptr;
    HWND lblErrorMessage_ = nullptr;
    HWND Label1_ = nullptr;
    HWND lblYMD_ = nullptr;
    HWND Command1_ = nullptr;
    HWND cmdBigPic_ = nullptr;
    HWND txtFileName_ = nullptr;
    HWND txtK_ = nullptr;
    HWND lblListIndexBack_ = nullptr;
    HWND listTip_ = nullptr;
    PictureBox Picture3_;
    PictureBox Picture4_;
    PictureBox Picture5_;
    PictureBox Picture6_;
    PictureBox Picture2_;

    // The control that had the focus when the window was left, and what gives it back
    // without that control's focus rules.
    void RestoreFocus(HWND control);
    HWND savedFocus_ = nullptr;
    bool restoringFocus_ = false;
    bool selectingByCode_ = false;
    bool nodeClickedBySelection_ = false;
    POINT treeClickAt_{};  // where the button went down in the tree, for the click after it
    bool labelEditing_ = false;
    std::wstring renameFailure_;
    bool committing_ = false;  // a message box of a commit must not start another
    bool destroying_ = false;

    FileDropTarget TreeView1Drop_;
    struct ListPress {
        bool armed = false;     // the left button went down on the list
        bool deferred = false;  // the list has not seen that press yet
        POINT at{};
    } listPress_;
    int inDragDrop_ = 0;           // a drag loop or a drop is under way on this object
    bool closeAfterDrag_ = false;  // a close that came meanwhile
};

}  // namespace trovell
