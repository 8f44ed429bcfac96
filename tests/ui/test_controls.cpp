// The control adapters on real, hidden controls.
#include "ui/Application.h"
#include "HostWindow.h"
#include "ui/Button.h"
#include "ui/Dpi.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Memo.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"
#include "ui/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {


TEST_F(HostWindow, LabelKeepsCaptionColourAndStyle)
{
    TLabel label;
    label.Create({.Parent = Host, .Left = 10, .Top = 20, .Width = 120, .Height = 16, .Caption = L"Scanner:",
                  .FontName = L"Arial", .FontHeight = 12, .FontStyle = fsBold, .Color = RGB(255, 0, 0)});
    ASSERT_NE(label.Handle(), nullptr);
    EXPECT_EQ(label.Caption(), L"Scanner:");
    label.SetCaption(L"3 problems found \u00e9\u4e2d");
    EXPECT_EQ(label.Caption(), L"3 problems found \u00e9\u4e2d");

    EXPECT_EQ(label.FontColor(), RGB(255, 0, 0));
    label.SetFontColor(RGB(0, 128, 0));
    EXPECT_EQ(label.FontColor(), RGB(0, 128, 0));
    // The parent asks the label for its colours when it paints.
    HDC dc = GetDC(Host);
    LRESULT brush = SendMessageW(Host, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(label.Handle()));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 128, 0));
    ReleaseDC(Host, dc);

    label.SetFontStyle(fsBold | fsUnderline);
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(label.Font(), sizeof(lf), &lf));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfUnderline);
    label.SetFontStyle(fsBold);
    ASSERT_TRUE(GetObjectW(label.Font(), sizeof(lf), &lf));
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
}

TEST_F(HostWindow, LabelMouseMessagesReachHandlers)
{
    TLabel label;
    label.Create({.Parent = Host, .Width = 100, .Height = 16, .Caption = L"Home"});
    int clicks = 0, moves = 0, leaves = 0;
    label.OnClick = [&] { ++clicks; };
    label.OnMouseMove = [&] { ++moves; };
    label.OnMouseLeave = [&] { ++leaves; };
    SendMessageW(label.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    SendMessageW(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(label.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    // A button-up without a press on the label is no click.
    SendMessageW(label.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageW(label.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(leaves, 1);

    label.SetCursor(LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(SendMessageW(label.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label.Handle()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
}

TEST_F(HostWindow, HandlerErrorsGoToTheApplicationHook)
{
    TLabel label;
    label.Create({.Parent = Host, .Width = 100, .Height = 16, .Caption = L"x"});
    label.OnMouseMove = [] { throw std::runtime_error("List index out of bounds (5)"); };
    std::string seen;
    Application().OnException = [&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            seen = e.what();
        }
    };
    SendMessageW(label.Handle(), WM_MOUSEMOVE, 0, 0);
    Application().OnException = nullptr;
    EXPECT_EQ(seen, "List index out of bounds (5)");
}

TEST_F(HostWindow, ProgressBarRangeStepPosition)
{
    TProgressBar bar;
    bar.Create({.Parent = Host, .Left = 64, .Top = 283, .Width = 289, .Height = 17});
    bar.SetMin(0);
    bar.SetMax(500);
    bar.SetStep(2);
    bar.SetPosition(10);
    bar.StepIt();
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 500);
    EXPECT_EQ(bar.Step(), 2);
    EXPECT_EQ(bar.Position(), 12);
    EXPECT_TRUE(GetWindowLongW(bar.Handle(), GWL_STYLE) & PBS_SMOOTH);
}

TEST_F(HostWindow, ListViewRowsRoundTrip)
{
    TListView list;
    list.Create({.Parent = Host, .Width = 600, .Height = 300});
    list.AddColumn(L"       Item Name", 150);
    list.AddColumn(L"Description", 150);
    list.AddColumn(L"Risk Level", 100);
    list.AddColumn(L"Entry", 400);
    ASSERT_EQ(list.ColumnCount(), 4);
    EXPECT_EQ(list.ColumnCaption(0), L"       Item Name");
    EXPECT_EQ(list.ColumnCaption(3), L"Entry");
    EXPECT_EQ(list.ColumnWidth(2), MulDiv(100, DpiOf(Host), 96));
    DWORD ex = ListView_GetExtendedListViewStyle(list.Handle());
    EXPECT_TRUE(ex & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
    EXPECT_FALSE(GetWindowLongW(list.Handle(), GWL_STYLE) & LVS_EDITLABELS);

    const std::wstring longEntry(2000, L'k');
    struct Row {
        std::wstring Caption;
        std::vector<std::wstring> Subs;
        int Image;
        bool Checked;
    } rows[] = {
        {L"Spy.One", {L"Adware", L"High", L"HKEY_CURRENT_USER\\Software\\Spy"}, 0, true},
        {L"Spy.Two \u00fc", {L"Tracker", L"Low", longEntry}, 3, false},
        {L"Spy.Three", {L"", L"Medium", L"C:\\x.dll"}, 5, true},
    };
    for (const auto& row : rows)
        list.AddItem(row.Caption, row.Subs, row.Image, row.Checked);
    ASSERT_EQ(list.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.Caption(i), rows[i].Caption);
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(list.SubItem(i, c), rows[i].Subs[static_cast<size_t>(c - 1)]);
        EXPECT_EQ(list.ImageIndex(i), rows[i].Image);
        EXPECT_EQ(list.Checked(i), rows[i].Checked);
    }
    list.SetChecked(1, true);
    list.SetChecked(0, false);
    list.SetImageIndex(2, 1);
    EXPECT_TRUE(list.Checked(1));
    EXPECT_FALSE(list.Checked(0));
    EXPECT_EQ(list.ImageIndex(2), 1);
    list.SetAllChecked(false);
    EXPECT_FALSE(list.Checked(1) || list.Checked(2));

    list.Delete(0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Caption(0), rows[1].Caption);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(HostWindow, MemoWithManyLinesIsComplete)
{
    TMemo memo;
    memo.Create({.Parent = Host, .Width = 400, .Height = 300, .Style = ES_READONLY | WS_VSCROLL | WS_HSCROLL});
    const int lines = 100000;
    for (int i = 0; i < lines; ++i)
        memo.Add(L"C:\\Temp\\junk file number " + std::to_wstring(i) + L".tmp");
    memo.ScrollToEnd();
    // Nothing reaches the control until the message loop runs while it can be seen.
    EXPECT_TRUE(memo.Pending());
    ProcessMessages();
    EXPECT_TRUE(memo.Pending()) << "a hidden memo keeps its text";
    ShowWindow(Host, SW_SHOWNOACTIVATE);
    UpdateWindow(Host);
    ProcessMessages();
    EXPECT_FALSE(memo.Pending());
    const std::wstring text = memo.Text();
    EXPECT_EQ(GetWindowTextLengthW(memo.Handle()), static_cast<int>(text.size()));
    EXPECT_EQ(memo.ControlText(), text);
    EXPECT_EQ(SendMessageW(memo.Handle(), EM_GETLINECOUNT, 0, 0), lines);
    EXPECT_EQ(memo.Count(), lines);
    EXPECT_EQ(memo.Line(lines - 1), L"C:\\Temp\\junk file number 99999.tmp");
}

TEST_F(HostWindow, MemoEditsAndFlush)
{
    TMemo memo;
    memo.Create({.Parent = Host, .Width = 200, .Height = 100});
    memo.Add(L"one");
    memo.Add(L"two");
    memo.SetLine(0, L"uno");
    memo.Flush();
    EXPECT_EQ(memo.ControlText(), L"uno\r\ntwo");
    memo.Clear();
    memo.Flush();
    EXPECT_EQ(memo.ControlText(), L"");
    EXPECT_THROW(memo.SetLine(3, L"x"), std::out_of_range);
}

// An adapter and its window may end in either order; a window's user data that some other code set is
// never taken for an adapter.
TEST_F(HostWindow, AdapterAndWindowEndInEitherOrder)
{
    HWND survivor = nullptr;
    {
        TListView list;
        list.Create({.Parent = Host, .Width = 200, .Height = 100});
        list.AddColumn(L"Name", 100);
        list.AddItem(L"row", {}, 0, true);
        survivor = list.Handle();
        EXPECT_EQ(TControl::FromHandle(survivor), &list);
    }
    ASSERT_TRUE(IsWindow(survivor));
    EXPECT_EQ(TControl::FromHandle(survivor), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(survivor, GWLP_WNDPROC), GetClassLongPtrW(survivor, GCLP_WNDPROC))
        << "the class's own procedure is back";
    EXPECT_EQ(ListView_GetItemCount(survivor), 1);
    DestroyWindow(survivor);

    TButton button;
    button.Create({.Parent = Host, .Width = 80, .Height = 24, .Caption = L"OK"});
    DestroyWindow(button.Handle());
    EXPECT_EQ(button.Handle(), nullptr);

    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, Host, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(plain, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&button));
    EXPECT_EQ(TControl::FromHandle(plain), nullptr) << "an adapter's address on a window that is not its own";
    SetWindowLongPtrW(plain, GWLP_USERDATA, 0x1234);
    EXPECT_EQ(TControl::FromHandle(plain), nullptr);
    DestroyWindow(plain);
}

// Another subclass put on top of an adapter's window keeps working after the adapter is gone.
TEST_F(HostWindow, LaterSubclassOutlivesTheAdapter)
{
    const SUBCLASSPROC passOn = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR) { return DefSubclassProc(window, message, wParam, lParam); };
    HWND window = nullptr;
    {
        TListView list;
        list.Create({.Parent = Host, .Width = 200, .Height = 100});
        list.AddColumn(L"Name", 100);
        window = list.Handle();
        ASSERT_TRUE(SetWindowSubclass(window, passOn, 7, 0));
    }
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"added later");
    EXPECT_EQ(SendMessageW(window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    EXPECT_EQ(ListView_GetItemCount(window), 1);
    RemoveWindowSubclass(window, passOn, 7);
    EXPECT_TRUE(DestroyWindow(window));
}

class RecordingThread : public TThread {
public:
    ~RecordingThread() override { WaitFor(); }
    DWORD WorkerId = 0;
    DWORD SyncRanOn = 0;
    int Calls = 0;
    bool SawError = false;

protected:
    void Execute() override
    {
        WorkerId = GetCurrentThreadId();
        for (int i = 0; i < 50; ++i)
            Synchronize([this] {
                SyncRanOn = GetCurrentThreadId();
                ++Calls;
            });
        try {
            Synchronize([] { throw std::runtime_error("raised on the UI thread"); });
        } catch (const std::runtime_error&) {
            SawError = true;
        }
    }
};

TEST(Thread, SynchronizeRunsOnTheCreatingThreadWhileItWaits)
{
    RecordingThread thread;
    thread.Start();
    // WaitFor runs the sent calls; without that, the worker would block in Synchronize forever.
    thread.WaitFor();
    EXPECT_FALSE(thread.Running());
    EXPECT_NE(thread.WorkerId, GetCurrentThreadId());
    EXPECT_EQ(thread.SyncRanOn, GetCurrentThreadId());
    EXPECT_EQ(thread.Calls, 50);
    EXPECT_TRUE(thread.SawError);
}

class FlagThread : public TThread {
public:
    ~FlagThread() override { WaitFor(); }
    std::atomic<unsigned char> Finished{0};

protected:
    void Execute() override
    {
        Sleep(20);
        Synchronize([this] { Finished = 1; });
    }
};

TEST(Thread, ProcessMessagesLoopSeesTheFinishedFlag)
{
    FlagThread thread;
    thread.Start();
    while (!thread.Finished)
        ProcessMessages();
    EXPECT_EQ(thread.Finished, 1);
}

TEST(Thread, DestructorWaitsForAWorkerBlockedInSynchronize)
{
    DWORD ranOn = 0;
    {
        class Blocked : public TThread {
        public:
            explicit Blocked(DWORD& ranOn) : RanOn(ranOn) {}
            ~Blocked() override { WaitFor(); }
            DWORD& RanOn;

        protected:
            void Execute() override
            {
                Synchronize([this] { RanOn = GetCurrentThreadId(); });
            }
        } thread(ranOn);
        thread.Start();
    }
    EXPECT_EQ(ranOn, GetCurrentThreadId());
}

} // namespace
