#include "ui/Memo.h"

namespace {
// Posted to the control itself: the pending text is written when the message loop gets to it.
const UINT kFlushMessage = WM_APP + 0x51;
} // namespace

void TMemo::Create(const TControlArgs& args)
{
    CreateControl(L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | WS_TABSTOP, args);
    if (!Handle_)
        return;
    // The default limit (32K characters) would cut long reports.
    SendMessageW(Handle_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    RouteOwnMessages();
    if (!args.Caption.empty()) {
        Lines_.clear();
        Add(args.Caption);
        Flush();
    }
}

void TMemo::Clear()
{
    Lines_.clear();
    Changed();
}

void TMemo::Add(const std::wstring& line)
{
    Lines_.push_back(line);
    Changed();
}

void TMemo::SetLine(int index, const std::wstring& text)
{
    Lines_.at(static_cast<size_t>(index)) = text;
    Changed();
}

std::wstring TMemo::Text() const
{
    size_t total = 0;
    for (const auto& line : Lines_)
        total += line.size() + 2;
    std::wstring text;
    text.reserve(total);
    for (size_t i = 0; i < Lines_.size(); ++i) {
        if (i)
            text += L"\r\n";
        text += Lines_[i];
    }
    return text;
}

void TMemo::ScrollToEnd()
{
    ScrollPending_ = true;
    Changed();
}

void TMemo::Changed()
{
    Pending_ = true;
    if (!Posted_ && Handle_)
        Posted_ = PostMessageW(Handle_, kFlushMessage, 0, 0) != FALSE;
}

void TMemo::Flush()
{
    if (!Handle_)
        return;
    if (Pending_) {
        Pending_ = false;
        SetWindowTextW(Handle_, Text().c_str());
    }
    if (ScrollPending_) {
        ScrollPending_ = false;
        int length = GetWindowTextLengthW(Handle_);
        SendMessageW(Handle_, EM_SETSEL, length, length);
        SendMessageW(Handle_, EM_SCROLLCARET, 0, 0);
    }
}

std::wstring TMemo::ControlText() const { return WindowText(); }

bool TMemo::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message != WM_CTLCOLORSTATIC)
        return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    return true;
}

bool TMemo::OwnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message == WM_GETDLGCODE) {
        // A multi-line edit wants every key, Tab too, so the keyboard could never leave it: these
        // memos show reports, where Tab moves on as everywhere else in the window.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) && key->wParam == VK_TAB) {
            result = ClassAnswer(message, 0, 0) & ~DLGC_WANTALLKEYS;
            return true;
        }
        return false;
    }
    if (message == kFlushMessage) {
        Posted_ = false;
        if (IsWindowVisible(Handle_))
            Flush();
        result = 0;
        return true;
    }
    if (message == WM_PAINT && (Pending_ || ScrollPending_))
        Flush();
    return false;
}
