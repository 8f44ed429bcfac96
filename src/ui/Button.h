#pragma once
// Push button with a hint (tool tip), a cursor and a click handler; and the check box.
#include "ui/Control.h"

#include <functional>
#include <string>

class TButton : public TControl {
public:
    ~TButton() override;
    // args.Hint becomes the tool tip; args.Cursor the cursor over the button.
    void Create(const TControlArgs& args);
    std::wstring Caption() const;
    void SetCaption(const std::wstring& text) { SetWindowTextW(Handle_, text.c_str()); }
    const std::wstring& Hint() const { return Hint_; }
    void SetHint(const std::wstring& hint);
    HCURSOR Cursor() const { return Cursor_; }
    // Runs OnClick as a click with the mouse would.
    void Click();

    std::function<void()> OnClick;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void CreateButton(DWORD style, const TControlArgs& args);
    bool OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    std::wstring Hint_;
    HCURSOR Cursor_ = nullptr;
    HWND ToolTip_ = nullptr;
};

// A check box; setting its state in code runs OnClick as a click does (when the state changes).
class TCheckBox : public TButton {
public:
    void Create(const TControlArgs& args);
    // A box that can also show "some" (BST_INDETERMINATE) for what it stands for; a click on it ticks
    // unless it is ticked, when it unticks.
    void CreateTriState(const TControlArgs& args);
    bool Checked() const { return State() == BST_CHECKED; }
    // BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE.
    UINT State() const { return static_cast<UINT>(SendMessageW(Handle_, BM_GETCHECK, 0, 0)); }
    void SetChecked(bool checked);
    // Shows a state without running OnClick.
    void ShowState(UINT state) { SendMessageW(Handle_, BM_SETCHECK, state, 0); }

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool TriState_ = false;
};
