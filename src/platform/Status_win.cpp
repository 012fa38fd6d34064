#include "platform/Status_win.h"

namespace trovell {

namespace {
const wchar_t* OwnText(DWORD code) {
    switch (code) {
        case kErrorBrokenPicture: return L"クリップボードの画像が壊れています。";
        case kErrorPictureTooLarge: return L"画像が大きすぎて保存できません。";
        case kErrorPathTooLong: return L"保存先のパスが長すぎます。";
        default: return nullptr;
    }
}

std::wstring SystemText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                                     nullptr);
    std::wstring text(buffer ? buffer : L"", buffer ? n : 0);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}
}  // namespace

Status Status::LastError() noexcept {
    const DWORD code = ::GetLastError();
    return Status(code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE);
}

Status Status::FromHresult(long hr) noexcept {
    if (SUCCEEDED(hr)) return {};
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return Status(HRESULT_CODE(hr));
    if (hr == E_OUTOFMEMORY) return Status(ERROR_NOT_ENOUGH_MEMORY);
    return Status(static_cast<DWORD>(hr));
}

std::wstring Status::Text() const {
    if (ok()) return {};
    if (const wchar_t* own = OwnText(code_)) return own;
    std::wstring text = SystemText(code_);
    if (!text.empty()) return text;
    // The system has no words for this code: say so in the user's language, with the code.
    wchar_t number[16];
    ::wsprintfW(number, L"0x%08lX", static_cast<unsigned long>(code_));
    return std::wstring(L"エラーが発生しました (コード ") + number + L")。";
}

}  // namespace trovell
