#pragma once
// Multi-line edit control. The adapter keeps the lines itself and hands the control its whole text in
// one go when the message loop next runs while the control is visible, when it is next painted, or on
// Flush: appending line by line to an edit control is quadratic, its default text limit silently cuts
// long texts, and setting a long text costs seconds under Wine, which a hidden memo need not pay.
// Used from the thread that created it only (a worker goes through TThread::Synchronize).
#include "ui/Control.h"

#include <string>
#include <vector>

class TMemo : public TControl {
public:
    // A multi-line edit; add ES_READONLY, WS_VSCROLL, WS_HSCROLL through args.Style.
    void Create(const TControlArgs& args);

    void Clear();
    void Add(const std::wstring& line);
    int Count() const { return static_cast<int>(Lines_.size()); }
    const std::wstring& Line(int index) const { return Lines_.at(static_cast<size_t>(index)); }
    void SetLine(int index, const std::wstring& text);
    const std::vector<std::wstring>& Lines() const { return Lines_; }
    // The lines joined with CR LF, as the control shows them.
    std::wstring Text() const;
    void ScrollToEnd();
    // Writes pending changes into the control now.
    void Flush();
    bool Pending() const { return Pending_; }
    // The text the control holds now (after a Flush, the same as Text()).
    std::wstring ControlText() const;

    // Read-only memos keep the white background of an editable one.
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Changed();
    std::vector<std::wstring> Lines_;
    bool Pending_ = false;
    bool ScrollPending_ = false;
    bool Posted_ = false;
};
