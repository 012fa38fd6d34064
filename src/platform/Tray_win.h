#pragma once
// The notification-area icon. The record is kept by its owner for the icon's whole life and
// passed whole, as the shell expects the same hWnd/uID pair on every call.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/Status_win.h"

namespace trovell {

NOTIFYICONDATAW MakeTrayRecord(HWND owner, UINT id, UINT callbackMessage, HICON icon);
void SetTrayTip(NOTIFYICONDATAW& record, const std::wstring& tip);

Status TrayAdd(NOTIFYICONDATAW& record);
Status TrayModify(NOTIFYICONDATAW& record);
Status TrayDelete(NOTIFYICONDATAW& record);
// An error balloon from the icon; the record keeps the texts it carried.
Status TrayBalloon(NOTIFYICONDATAW& record, const std::wstring& title, const std::wstring& text);

}  // namespace trovell
