#pragma once
// The outcome of a platform call that can fail: a Win32 error code, with the system's own
// words for it on demand. Failures of our own (a broken clipboard picture, a picture too
// large) use codes with the customer bit set, which the system never produces.
#include <windows.h>

#include <string>

namespace trovell {

inline constexpr DWORD kCustomerCode = 0x20000000;  // bit 29: application-defined codes
inline constexpr DWORD kErrorBrokenPicture = kCustomerCode | 1;
inline constexpr DWORD kErrorPictureTooLarge = kCustomerCode | 2;
inline constexpr DWORD kErrorPathTooLong = kCustomerCode | 3;

class [[nodiscard]] Status {
public:
    constexpr Status() noexcept = default;  // success
    constexpr explicit Status(DWORD code) noexcept : code_(code) {}
    // The thread's last error. A call that failed without setting one still fails.
    static Status LastError() noexcept;
    // The Win32 code inside an HRESULT where there is one.
    static Status FromHresult(long hr) noexcept;

    constexpr bool ok() const noexcept { return code_ == ERROR_SUCCESS; }
    constexpr explicit operator bool() const noexcept { return ok(); }
    constexpr DWORD code() const noexcept { return code_; }
    // The system's text for the code, or ours for our own codes; never empty for a failure.
    std::wstring Text() const;

private:
    DWORD code_ = ERROR_SUCCESS;
};

}  // namespace trovell
