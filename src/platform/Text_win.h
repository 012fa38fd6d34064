#pragma once
// Text at the edges: UTF-8 for test output, the ANSI code page where Windows wants bytes,
// and the system's own wording for an error code.
#include <windows.h>

#include <string>

namespace trovell {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
std::string ToAnsi(const std::wstring& text);

// FormatMessageW of the code, without the trailing line break; empty for an unknown code.
std::wstring SystemErrorText(DWORD code);

}  // namespace trovell
