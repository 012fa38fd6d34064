#pragma once
// OLE drag and drop of files in the file-list format (CF_HDROP): the data object a drag
// carries, the drag loop with its drop source, and a drop target for a window.
#include <windows.h>
// After windows.h, which it needs.
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Handles_win.h"
#include "platform/Status_win.h"

namespace trovell {

// Full paths, asked for each time a target asks for the data.
using FileListSource = std::function<std::vector<std::wstring>()>;

// A data object offering CF_HDROP with wide paths and nothing else.
ComPtr<IDataObject> MakeFileDataObject(FileListSource source);
// After the drag a target that kept the object gets no more data: the window behind the
// source may be gone. Only for objects made by MakeFileDataObject.
void DetachFileDataObject(IDataObject* data);

// Runs the system's drag loop until the left button is released or Escape is pressed, with
// copy as the only effect offered; returns the effect the target reported.
DWORD DragFiles(IDataObject* data);

// The paths of the data's file list; none when it offers no file list.
std::optional<std::vector<std::wstring>> DroppedFiles(IDataObject* data);
bool OffersFiles(IDataObject* data);

enum class DragState { Enter, Over, Leave };

struct FileDropHandlers {
    // The pointer entered, moved or left; at is in the window's client pixels (for Leave, the
    // last point seen).
    std::function<void(IDataObject* data, POINT at, DragState state)> dragOver;
    std::function<void(IDataObject* data, POINT at)> drop;
};

// A window's registration as a drop target. The target only ever takes copies, so no
// source deletes its files because of a drop here; data without a file list is refused.
class FileDropTarget {
public:
    FileDropTarget() = default;
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;
    ~FileDropTarget() { Revoke(); }

    // OLE must be running on this thread (EnsureOle).
    Status Register(HWND window, FileDropHandlers handlers);
    // Before the window is destroyed. Calls still under way from another process then reach
    // nothing.
    void Revoke();
    // The registered target, for tests that play the part of a drag source.
    IDropTarget* target() const noexcept { return target_.get(); }

private:
    HWND window_ = nullptr;
    ComPtr<IDropTarget> target_;
};

}  // namespace trovell
