#include "ui/Create.h"
#include "ui/WindowClass.h"

#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Dpi.h"
#include "ui/TextMeasure.h"

#include <commctrl.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>

namespace {

const wchar_t kClassProcProp[] = L"Brisfold.ClassProc";

// The adapters alive in this process. A window's user data names its adapter, but only an adapter in
// this set is trusted, so a stray user data value of another window is never taken for one.
std::mutex AdaptersLock;
std::set<const TControl*>& LiveAdapters()
{
    static std::set<const TControl*> adapters;
    return adapters;
}
const wchar_t kHostClass[] = L"BrisfoldHost";

LRESULT CALLBACK ParentHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    LRESULT result = 0;
    if (ReflectToControl(message, wParam, lParam, result))
        return result;
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; ReflectToControl(message, wParam, lParam, result))
        return result;
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

using FontKey = std::tuple<std::wstring, int, unsigned, int>;

struct FontCache {
    std::mutex Lock;
    std::map<FontKey, HFONT> Fonts;
    ~FontCache()
    {
        for (auto& entry : Fonts)
            DeleteObject(entry.second);
    }
};

FontCache& Fonts()
{
    static FontCache cache;
    return cache;
}

} // namespace

void InitControls()
{
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS |
                                                  ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS |
                                                  ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        RegisterWindowClass({.Name = kHostClass, .Proc = HostProc, .ReflectsControls = true});
    });
}

HFONT SharedFont(const std::wstring& face, int height96, unsigned style, int dpi)
{
    FontCache& cache = Fonts();
    std::lock_guard<std::mutex> lock(cache.Lock);
    FontKey key{face, height96, style, dpi};
    auto found = cache.Fonts.find(key);
    if (found != cache.Fonts.end())
        return found->second;
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(height96, dpi, 96);
    lf.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (style & fsUnderline) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    cache.Fonts.emplace(key, font);
    return font;
}

bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND child = nullptr;
    switch (message) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_CONTEXTMENU:
        child = reinterpret_cast<HWND>(wParam);
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        child = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return false;
    }
    TControl* control = TControl::FromHandle(child);
    if (!control)
        return false;
    bool handled = false;
    Application().Guard([&] { handled = control->Reflect(message, wParam, lParam, result); });
    return handled;
}

void HookParent(HWND parent)
{
    // The program's own windows hand these messages back themselves. A subclass would cost a property
    // lookup on every message the parent gets, which under Wine is a trip to the wineserver: filling a
    // list of thousands of rows took seconds that way.
    if (parent && !ReflectsControls(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC))))
        SetWindowSubclass(parent, ParentHookProc, 1, 0);
}

HWND CreateHostWindow(int width, int height)
{
    InitControls();
    return CreateWindowExW(0, kHostClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                           CW_USEDEFAULT, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// TControl

// The user data, not a window property: under Wine a property lookup is a wineserver round trip, and
// every notification a list view sends while it is filled asks for its adapter.
TControl* TControl::FromHandle(HWND handle)
{
    auto* control = handle ? reinterpret_cast<TControl*>(GetWindowLongPtrW(handle, GWLP_USERDATA)) : nullptr;
    if (!control)
        return nullptr;
    std::lock_guard<std::mutex> lock(AdaptersLock);
    return LiveAdapters().count(control) && control->Handle_ == handle ? control : nullptr;
}

TControl::~TControl()
{
    {
        std::lock_guard<std::mutex> lock(AdaptersLock);
        LiveAdapters().erase(this);
    }
    if (!Handle_ || !IsWindow(Handle_))
        return;
    if (ClassProc_ && GetWindowLongPtrW(Handle_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(OwnProc)) {
        SetWindowLongPtrW(Handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ClassProc_));
        RemovePropW(Handle_, kClassProcProp);
    }
    if (GetWindowLongPtrW(Handle_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        SetWindowLongPtrW(Handle_, GWLP_USERDATA, 0);
}

// A plain subclass, not SetWindowSubclass: that one looks up a window property on every message, a
// wineserver round trip under Wine, and a list view gets several messages for each row it is given.
void TControl::RouteOwnMessages()
{
    if (!Handle_ || ClassProc_)
        return;
    ClassProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnProc)));
    // Kept with the window too, for a message that comes after the adapter is gone while a later
    // subclass still sits on top of this one.
    SetPropW(Handle_, kClassProcProp, reinterpret_cast<HANDLE>(ClassProc_));
}

LRESULT TControl::ClassAnswer(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ClassProc_ ? CallWindowProcW(ClassProc_, Handle_, message, wParam, lParam) : 0;
}

LRESULT CALLBACK TControl::OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TControl* control = FromHandle(window);
    const auto classProc =
        control ? control->ClassProc_ : reinterpret_cast<WNDPROC>(GetPropW(window, kClassProcProp));
    if (!classProc)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kClassProcProp);
        if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(OwnProc))
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc));
        if (control) {
            control->Handle_ = nullptr;
            control->ClassProc_ = nullptr;
        }
    } else if (control) {
        LRESULT result = 0;
        bool handled = false;
        Application().Guard([&] { handled = control->OwnMessage(message, wParam, lParam, result); });
        if (handled)
            return result;
    }
    return CallWindowProcW(classProc, window, message, wParam, lParam);
}

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

int TControl::TextWidth() const
{
    return TMeasure(Handle_).Width(WindowText());
}

void TControl::FitCaption(bool keepRight, int margin)
{
    const int width = Width();
    const int wanted = TextWidth() + 2 * MulDiv(margin, Dpi_, 96);
    if (wanted <= width)
        return;
    const int left = keepRight ? Left() + width - wanted : Left();
    SetWindowPos(Handle_, nullptr, left, Top(), wanted, Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TControl::BoundsInParent() const
{
    RECT r{};
    if (!Handle_)
        return r;
    GetWindowRect(Handle_, &r);
    HWND parent = GetParent(Handle_);
    if (parent)
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND TControl::CreateControl(const wchar_t* className, DWORD style, const TControlArgs& args)
{
    InitControls();
    HWND parent = args.Parent;
    int dpi = DpiOf(parent);
    auto scale = [dpi](int v) { return MulDiv(v, dpi, 96); };
    DWORD fullStyle = style | args.Style | (args.Visible ? WS_VISIBLE : 0) | (parent ? WS_CHILD : 0);
    Handle_ = CreateWindowExW(args.ExStyle, className, args.Caption.c_str(), fullStyle, scale(args.Left),
                              scale(args.Top), scale(args.Width), scale(args.Height), parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (!Handle_)
        return nullptr;
    Dpi_ = dpi;
    FontName_ = args.FontName;
    FontHeight_ = args.FontHeight;
    FontStyle_ = args.FontStyle;
    {
        std::lock_guard<std::mutex> lock(AdaptersLock);
        LiveAdapters().insert(this);
    }
    SetWindowLongPtrW(Handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageW(Handle_, WM_SETFONT, reinterpret_cast<WPARAM>(DesignFont(FontStyle_)), FALSE);
    HookParent(parent);
    return Handle_;
}

HFONT TControl::DesignFont(unsigned style) const
{
    return SharedFont(FontName_, FontHeight_, style, Dpi_);
}

void TControl::RescaleDpi(int oldDpi, int newDpi)
{
    if (!Handle_ || oldDpi <= 0 || newDpi <= 0)
        return;
    RECT r = BoundsInParent();
    auto scale = [&](int v) { return MulDiv(v, newDpi, oldDpi); };
    SetWindowPos(Handle_, nullptr, scale(r.left), scale(r.top), scale(r.right - r.left), scale(r.bottom - r.top),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Dpi_ = newDpi;
    SendMessageW(Handle_, WM_SETFONT, reinterpret_cast<WPARAM>(DesignFont(FontStyle_)), TRUE);
}

void RescaleChildren(HWND top, int oldDpi, int newDpi)
{
    struct Change {
        int Old, New;
    } change{oldDpi, newDpi};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM data) -> BOOL {
            auto* c = reinterpret_cast<Change*>(data);
            if (TControl* control = TControl::FromHandle(child))
                control->RescaleDpi(c->Old, c->New);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&change));
}
