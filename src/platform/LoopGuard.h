#pragma once
// Work held back while a nested message loop (a drag loop, a message box) runs on an object's
// own stack: a window closed under such a loop would be gone when the loop returns to it.
#include <functional>
#include <utility>

namespace trovell {

class LoopGuard {
public:
    // One loop under way while it lives; the last to end runs the work held meanwhile.
    class Scope {
    public:
        explicit Scope(LoopGuard& guard) noexcept : guard_(guard) { ++guard_.depth_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        ~Scope() {
            if (--guard_.depth_ == 0 && guard_.held_) std::exchange(guard_.held_, {})();
        }

    private:
        LoopGuard& guard_;
    };

    bool running() const noexcept { return depth_ > 0; }
    // Now, or once the last loop has ended. Work held twice runs once, the later.
    void RunOrHold(std::function<void()> work) {
        if (depth_ > 0)
            held_ = std::move(work);
        else
            work();
    }

private:
    int depth_ = 0;
    std::function<void()> held_;
};

}  // namespace trovell
