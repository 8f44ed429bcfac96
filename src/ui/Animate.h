#pragma once
// Animation control playing an AVI clip from a file or from a resource.
#include "ui/Control.h"

#include <commctrl.h>

#include <string>

class TAnimate : public TControl {
public:
    void Create(const TControlArgs& args) { CreateControl(ANIMATE_CLASSW, ACS_TRANSPARENT | ACS_CENTER, args); }
    bool OpenFile(const std::wstring& path)
    {
        FileName_ = path;
        Open_ = SendMessageW(Handle_, ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str())) != 0;
        return Open_;
    }
    bool OpenResource(HINSTANCE module, int id)
    {
        FileName_.clear();
        Open_ = SendMessageW(Handle_, ACM_OPENW, reinterpret_cast<WPARAM>(module), static_cast<LPARAM>(id)) != 0;
        return Open_;
    }
    const std::wstring& FileName() const { return FileName_; }
    // True while a clip is open.
    bool Open() const { return Open_; }
    // Plays frames first..last, repeating (-1 = forever).
    void Play(int first, int last, int repeat = -1)
    {
        Active_ = SendMessageW(Handle_, ACM_PLAY, static_cast<WPARAM>(repeat), MAKELPARAM(first, last)) != 0;
    }
    void Stop()
    {
        SendMessageW(Handle_, ACM_STOP, 0, 0);
        Active_ = false;
    }
    // True between a successful Play and Stop.
    bool Active() const { return Active_; }

private:
    std::wstring FileName_;
    bool Active_ = false;
    bool Open_ = false;
};
