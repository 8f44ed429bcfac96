#pragma once
// A worker thread whose Execute runs once after Start; Synchronize runs a call on the user-interface
// thread (the thread that created the object) and waits for it. That thread must keep processing
// messages (ProcessMessages or a message loop) while the worker may call Synchronize.
#include <windows.h>

#include <functional>

class TThread {
public:
    TThread();
    virtual ~TThread(); // waits for the thread to end
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void WaitFor();
    bool Running() const;

protected:
    virtual void Execute() = 0;
    void Synchronize(const std::function<void()>& call);

private:
    static DWORD WINAPI ThreadProc(void* self);
    HANDLE Handle_ = nullptr;
    HWND SyncWindow_ = nullptr;
};
