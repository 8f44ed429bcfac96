#pragma once
// Smooth progress bar: position, range and step, as the scanners drive it.
#include "ui/Control.h"

#include <commctrl.h>

class TProgressBar : public TControl {
public:
    void Create(const TControlArgs& args) { CreateControl(PROGRESS_CLASSW, PBS_SMOOTH, args); }

    int Position() const { return static_cast<int>(SendMessageW(Handle_, PBM_GETPOS, 0, 0)); }
    void SetPosition(int position) { SendMessageW(Handle_, PBM_SETPOS, position, 0); }
    int Min() const { return static_cast<int>(SendMessageW(Handle_, PBM_GETRANGE, TRUE, 0)); }
    int Max() const { return static_cast<int>(SendMessageW(Handle_, PBM_GETRANGE, FALSE, 0)); }
    void SetMin(int value) { SendMessageW(Handle_, PBM_SETRANGE32, value, Max()); }
    void SetMax(int value) { SendMessageW(Handle_, PBM_SETRANGE32, Min(), value); }
    void SetStep(int step) { SendMessageW(Handle_, PBM_SETSTEP, step, 0); }
    int Step() const { return static_cast<int>(SendMessageW(Handle_, PBM_GETSTEP, 0, 0)); }
    void StepIt() { SendMessageW(Handle_, PBM_STEPIT, 0, 0); }
};
