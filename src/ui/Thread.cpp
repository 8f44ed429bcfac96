#include "ui/Thread.h"
#include "ui/WindowClass.h"

#include <stdexcept>

namespace {

const wchar_t kSyncClass[] = L"BrisfoldThreadSync";
const UINT kSyncMessage = WM_APP + 0x52;

struct SyncCall {
    const std::function<void()>* Call;
    std::exception_ptr Error;
};

} // namespace

LRESULT CALLBACK TThread::SyncProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kSyncMessage) {
        auto* sync = reinterpret_cast<SyncCall*>(lParam);
        try {
            (*sync->Call)();
        } catch (...) {
            sync->Error = std::current_exception();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TThread::TThread()
{
    RegisterWindowClass({.Name = kSyncClass, .Proc = SyncProc, .ArrowCursor = false});
    OwnerThreadId_ = GetCurrentThreadId();
    SyncWindow_ = CreateWindowExW(0, kSyncClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
}

TThread::~TThread()
{
    WaitFor();
    if (Handle_)
        CloseHandle(Handle_);
    if (SyncWindow_)
        DestroyWindow(SyncWindow_);
}

void TThread::Start()
{
    if (Handle_)
        return;
    Handle_ = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (!Handle_)
        throw std::runtime_error("Thread creation error");
}

DWORD WINAPI TThread::ThreadProc(void* self)
{
    auto* thread = static_cast<TThread*>(self);
    try {
        thread->Execute();
    } catch (...) {
        // An error must not leave the thread: it ends quietly, as Execute's owner expects.
    }
    return 0;
}

void TThread::WaitFor()
{
    if (!Handle_)
        return;
    if (GetCurrentThreadId() == OwnerThreadId_)
        WaitProcessingSentMessages(Handle_);
    else
        WaitForSingleObject(Handle_, INFINITE);
}

bool TThread::Running() const
{
    return Handle_ && WaitForSingleObject(Handle_, 0) == WAIT_TIMEOUT;
}

void TThread::Synchronize(const std::function<void()>& call)
{
    if (GetCurrentThreadId() == OwnerThreadId_ || !SyncWindow_) {
        call();
        return;
    }
    SyncCall sync{&call, nullptr};
    SendMessageW(SyncWindow_, kSyncMessage, 0, reinterpret_cast<LPARAM>(&sync));
    if (sync.Error)
        std::rethrow_exception(sync.Error);
}

void WaitProcessingSentMessages(HANDLE handle)
{
    for (;;) {
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0 || result == WAIT_FAILED)
            return;
        // Delivers the sent messages only; posted ones stay queued for the message loop.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
