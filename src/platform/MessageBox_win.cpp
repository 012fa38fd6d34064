#include "platform/MessageBox_win.h"

#include <utility>

namespace trovell {

namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
    if (Handler()) return Handler()(owner, text, title, style);
    return ::MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace trovell
