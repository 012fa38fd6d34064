#include "platform/Tray_win.h"

namespace trovell {

namespace {
template <size_t N>
void CopyText(wchar_t (&field)[N], const std::wstring& text) {
    size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, n);
    field[n] = L'\0';
}

Status Notify(DWORD message, NOTIFYICONDATAW& record) {
    ::SetLastError(ERROR_SUCCESS);
    return ::Shell_NotifyIconW(message, &record) ? Status() : Status::LastError();
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

Status TrayAdd(NOTIFYICONDATAW& record) { return Notify(NIM_ADD, record); }

Status TrayModify(NOTIFYICONDATAW& record) {
    return Notify(NIM_MODIFY, record);
}

Status TrayDelete(NOTIFYICONDATAW& record) {
    return Notify(NIM_DELETE, record);
}

Status TrayBalloon(NOTIFYICONDATAW& record, const std::wstring& title, const std::wstring& text) {
    CopyText(record.szInfoTitle, title);
    CopyText(record.szInfo, text);
    record.dwInfoFlags = NIIF_ERROR;
    UINT flags = record.uFlags;
    // NIF_INFO only for this call: a later tip change must not show the balloon again.
    record.uFlags = NIF_INFO;
    Status status = Notify(NIM_MODIFY, record);
    record.uFlags = flags;
    return status;
}

}  // namespace trovell
