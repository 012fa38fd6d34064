#pragma once
// A text box that commits its text as a validating control does: by Enter, and when the focus
// is about to move to another control of its window, where a refusal keeps the focus in the
// box. Escape puts the committed text back.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/ControlHook_win.h"
#include "platform/FocusHook_win.h"

namespace trovell {

class CommitBox {
public:
    struct Handlers {
        std::function<bool()> commit;             // false refuses: the focus stays in the box
        std::function<std::wstring()> committed;  // what Escape puts back
    };

    CommitBox() = default;
    CommitBox(const CommitBox&) = delete;
    CommitBox& operator=(const CommitBox&) = delete;

    Status Attach(HWND box, Handlers handlers);

private:
    LRESULT OnMessage(HWND box, UINT msg, WPARAM wp, LPARAM lp);
    bool Commit();

    HWND box_ = nullptr;
    Handlers handlers_;
    ControlHook hook_{
        [this](HWND box, UINT msg, WPARAM wp, LPARAM lp) { return OnMessage(box, msg, wp, lp); }};
    FocusLeaveCheck leave_;
    bool committing_ = false;  // the focus moves and message boxes of a commit start no other
};

}  // namespace trovell
