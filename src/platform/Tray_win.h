#pragma once
// The notification-area icon. The record is kept by its owner for the icon's whole life and
// passed whole, as the shell expects the same hWnd/uID pair on every call.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace trovell {

NOTIFYICONDATAW MakeTrayRecord(HWND owner, UINT id, UINT callbackMessage, HICON icon);
void SetTrayTip(NOTIFYICONDATAW& record, const std::wstring& tip);

bool TrayAdd(NOTIFYICONDATAW& record);
bool TrayModify(NOTIFYICONDATAW& record);
bool TrayDelete(NOTIFYICONDATAW& record);
// An error balloon from the icon; the record keeps the texts it carried.
bool TrayBalloon(NOTIFYICONDATAW& record, const std::wstring& title, const std::wstring& text);

}  // namespace trovell
