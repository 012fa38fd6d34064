#include "platform/Tray_win.h"

namespace trovell {

namespace {
template <size_t N>
void CopyText(wchar_t (&field)[N], const std::wstring& text) {
    size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, n);
    field[n] = L'\0';
}
}  // namespace

NOTIFYICONDATAW MakeTrayRecord(HWND owner, UINT id, UINT callbackMessage, HICON icon) {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = owner;
    record.uID = id;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage;
    record.hIcon = icon;
    return record;
}

void SetTrayTip(NOTIFYICONDATAW& record, const std::wstring& tip) { CopyText(record.szTip, tip); }

bool TrayAdd(NOTIFYICONDATAW& record) { return ::Shell_NotifyIconW(NIM_ADD, &record) != FALSE; }

bool TrayModify(NOTIFYICONDATAW& record) {
    return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

bool TrayDelete(NOTIFYICONDATAW& record) {
    return ::Shell_NotifyIconW(NIM_DELETE, &record) != FALSE;
}

bool TrayBalloon(NOTIFYICONDATAW& record, const std::wstring& title, const std::wstring& text) {
    CopyText(record.szInfoTitle, title);
    CopyText(record.szInfo, text);
    record.dwInfoFlags = NIIF_ERROR;
    UINT flags = record.uFlags;
    // NIF_INFO only for this call: a later tip change must not show the balloon again.
    record.uFlags = NIF_INFO;
    bool ok = ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
    record.uFlags = flags;
    return ok;
}

}  // namespace trovell
