#pragma once
// A worker thread whose Execute runs once after Start; Synchronize runs a call on the user-interface
// thread (the thread that created the object) and waits for it. That thread must keep processing
// messages (ProcessMessages or a message loop) while the worker may call Synchronize; WaitFor and the
// destructor do so themselves, so a worker blocked in Synchronize cannot deadlock them.
// A derived class whose Execute uses its own members calls WaitFor() in its own destructor: by the
// time this base destructor runs, the derived part is gone.
#include <windows.h>

#include <exception>
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
    bool Started() const { return Handle_ != nullptr; }
    HANDLE ThreadHandle() const { return Handle_; }

protected:
    virtual void Execute() = 0;
    // A call that raises re-raises here, in the worker.
    void Synchronize(const std::function<void()>& call);

private:
    static DWORD WINAPI ThreadProc(void* self);
    static LRESULT CALLBACK SyncProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HANDLE Handle_ = nullptr;
    HWND SyncWindow_ = nullptr;
    DWORD OwnerThreadId_ = 0;
};

// Waits for the handle while running the calls other threads send to this thread's windows.
void WaitProcessingSentMessages(HANDLE handle);
