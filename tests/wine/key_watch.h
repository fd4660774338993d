// Counts the key-up messages of one key that this thread takes from its queue, so that a
// test on another thread knows when a key it pressed has been handled.
#pragma once

#include <windows.h>

#include <atomic>

class KeyUpWatch {
  public:
    explicit KeyUpWatch(WORD key) {
        key_ = key;
        count_ = 0;
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, Hook, nullptr, GetCurrentThreadId());
    }
    ~KeyUpWatch() { UnhookWindowsHookEx(hook_); }
    KeyUpWatch(const KeyUpWatch&) = delete;
    KeyUpWatch& operator=(const KeyUpWatch&) = delete;

    int Count() const { return count_; }

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM removal, LPARAM data) {
        const auto* message = reinterpret_cast<const MSG*>(data);
        if (code == HC_ACTION && removal == PM_REMOVE && message->message == WM_KEYUP &&
            message->wParam == key_)
            ++count_;
        return CallNextHookEx(nullptr, code, removal, data);
    }
    static inline std::atomic<int> count_{0};
    static inline WORD key_ = 0;
    HHOOK hook_ = nullptr;
};
