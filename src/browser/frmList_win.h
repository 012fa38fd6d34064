#pragma once
// The browser window: a view of the browser's model. It renders the store's folders as a
// tree, the selected folder's files as a list, and the shown file's preview, date and name,
// and hands every click and key to the model's commands.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "browser/BrowserControls_win.h"
#include "browser/BrowserModel.h"
#include "platform/CommitBox_win.h"
#include "platform/ControlHook_win.h"
#include "platform/Dib_win.h"
#include "platform/FileDragDrop_win.h"
#include "platform/Geometry.h"
#include "platform/Handles_win.h"
#include "platform/ListDrag_win.h"
#include "platform/LoopGuard.h"
#include "platform/TreeView_win.h"
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

    const BrowserModel& model() const noexcept { return model_; }
    bool blnListDrag = false;  // a drag out of the list is under way: a drop moves

    const BrowserControls& controls() const noexcept { return c_; }
    std::wstring NodeText(HTREEITEM node) const { return TreeItemText(c_.TreeView1, node); }
    std::wstring NodeKey(HTREEITEM node) const { return model_.Key(FolderOf(node)); }
    HTREEITEM SelectedNode() const { return TreeView_GetSelection(c_.TreeView1); }
    HTREEITEM DropHighlight() const { return TreeDropMark(c_.TreeView1); }

    // Dragging out of the list and dropping onto the tree, as the drag loop drives them.
    IDropTarget* TreeView1DropTarget() const noexcept { return TreeView1Drop_.target(); }
    // What a drag out of the list carries: the selected entries' paths, read when a target
    // asks for them.
    ComPtr<IDataObject> List1_DragData();
    void List1_OLEStartDrag();
    void List1_OLECompleteDrag(DWORD effect);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    using FolderId = BrowserModel::FolderId;

    // What the tree and the list see before their own procedures.
    LRESULT Control_Message(HWND control, UINT msg, WPARAM wp, LPARAM lp);
    bool OnCommand(HWND from, int id, int code);
    Status CreateControls();
    void SetUpDragDrop();

    // Rendering the model into the controls.
    void Render(unsigned changed);
    void RenderTree(bool folders);
    void RenderList(bool keepScroll);
    void RenderShown();
    void Report(const Failure& failure);
    void Tell(const Failure& failure, const wchar_t* title, UINT icon = MB_ICONHAND);
    FolderId FolderOf(HTREEITEM node) const {
        return static_cast<FolderId>(TreeItemData(c_.TreeView1, node));
    }
    void ApplyTreeRule();
    void EnableDelete(bool enabled);
    std::function<bool(const std::wstring&)> PictureLoader();

    // What the user does, handed to the model.
    void Form_Load();
    void cmdReSetFolder_Click();
    void Form_Unload();
    void CloseWindow();
    void TreeView1_NodeClick(HTREEITEM node);
    void TreeView1_GotFocus();
    void TreeView1_KeyDown(int& keyCode, int shift);
    bool TreeView1_AfterLabelEdit(HTREEITEM node, const wchar_t* newText);  // false: cancelled
    void Toolbar1_ButtonClick(int index);
    void NewFolder();
    void Delete(bool folder);  // the selected folder, or the selected files
    void List1_Click();
    void List1_GotFocus();
    void List1_KeyDown(int& keyCode, int shift);
    void SelectEntries(std::vector<int> indexes);
    void cmdBigPic_Click();
    void Command1_Click();
    bool txtFileName_Validate();  // false: refused, the focus stays in the box
    void cmdListSort_Click();
    void List1_Drag();
    void TreeView1_OLEDragOver(POINT at, DragState state);
    void TreeView1_OLEDragDrop(IDataObject* data, POINT at);

    Options options_;
    BrowserModel model_;
    TwipsPerPixel twips_;
    TreeItems nodes_;      // the tree's nodes by folder
    DibSurface Picture1_;  // the hidden holder of the shown picture, at its own size
    BrowserControls c_;
    CommitBox txtFileName_;
    ControlHook controlHook_{[this](HWND control, UINT msg, WPARAM wp, LPARAM lp) {
        return Control_Message(control, msg, wp, lp);
    }};
    DialogFocus focus_;
    TreeEvents treeEvents_;
    bool destroying_ = false;
    FileDropTarget TreeView1Drop_;
    ListDragStart listDrag_;
    LoopGuard loops_;  // a drag loop or a drop's message box: a close waits for its end
};

}  // namespace trovell
