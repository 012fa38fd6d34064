#pragma once
// Every window asks the person through this one function, so tests can answer instead.
#include <windows.h>

#include <functional>
#include <string>

namespace trovell {

using MessageBoxHandler =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& title, UINT style)>;

int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT style);
// Replaces the real box (an empty handler restores it); returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace trovell
