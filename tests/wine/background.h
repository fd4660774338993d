// Runs test actions on a second thread while the test's own thread sits in a modal loop.
#pragma once

#include <windows.h>

#include <functional>

class Background {
  public:
    explicit Background(std::function<void()> action) : action_(std::move(action)) {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~Background() { Join(); }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    void Join() {
        if (!thread_) return;
        WaitForSingleObject(thread_, 30000);
        CloseHandle(thread_);
        thread_ = nullptr;
    }

  private:
    static DWORD WINAPI Run(void* self) {
        static_cast<Background*>(self)->action_();
        return 0;
    }
    std::function<void()> action_;
    HANDLE thread_ = nullptr;
};

// Waits (at most 10 s) until a window is visible.
inline bool WaitVisible(HWND window) {
    for (int i = 0; i < 1000 && !IsWindowVisible(window); ++i)
        Sleep(10);
    return IsWindowVisible(window);
}
