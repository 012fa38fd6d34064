#include "platform/FocusHook_win.h"

#include <algorithm>
#include <vector>

namespace trovell {

namespace {
// One CBT hook per thread serves every check of that thread.
struct ThreadChecks {
    HHOOK hook = nullptr;
    std::vector<FocusLeaveCheck*> checks;
};
thread_local ThreadChecks t_checks;
}  // namespace

Status FocusLeaveCheck::Watch(HWND window, Check check) {
    if (!t_checks.hook) {
        t_checks.hook = ::SetWindowsHookExW(WH_CBT, &FocusLeaveCheck::HookProc, nullptr,
                                            ::GetCurrentThreadId());
        if (!t_checks.hook) return Status::LastError();
    }
    window_ = window;
    check_ = std::move(check);
    if (std::find(t_checks.checks.begin(), t_checks.checks.end(), this) == t_checks.checks.end())
        t_checks.checks.push_back(this);
    return {};
}

FocusLeaveCheck::~FocusLeaveCheck() {
    std::erase(t_checks.checks, this);
    if (t_checks.checks.empty() && t_checks.hook) {
        ::UnhookWindowsHookEx(t_checks.hook);
        t_checks.hook = nullptr;
    }
}

LRESULT CALLBACK FocusLeaveCheck::HookProc(int code, WPARAM wp, LPARAM lp) noexcept {
    if (code == HCBT_SETFOCUS) {
        const HWND gaining = reinterpret_cast<HWND>(wp);
        const HWND losing = reinterpret_cast<HWND>(lp);
        for (FocusLeaveCheck* watch : t_checks.checks) {
            if (watch->window_ != losing || !losing || gaining == losing) continue;
            // A copy: the check may end the window and the watch with it.
            const Check check = watch->check_;
            bool keep = false;
            try {
                keep = check && !check(gaining);
            } catch (...) {
                keep = false;
            }
            if (keep) return 1;
            break;
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

bool DialogFocus::OnMessage(HWND frame, UINT msg, WPARAM wp) {
    if (msg == WM_ACTIVATE) {
        if (LOWORD(wp) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(frame, focus)) saved_ = focus;
        } else if (!HIWORD(wp)) {
            Restore(saved_);
        }
        return true;
    }
    if (msg == WM_SETFOCUS) {
        // The frame takes no keys (a SetFocus on it, as bringing it forward may do).
        const auto from = reinterpret_cast<HWND>(wp);
        Restore(from && ::IsChild(frame, from) ? from : saved_);
        return true;
    }
    return false;
}

void DialogFocus::Restore(HWND control) {
    restoring_ = true;
    ::SetFocus(control && ::IsWindow(control) ? control : fallback_);
    restoring_ = false;
}

}  // namespace trovell
