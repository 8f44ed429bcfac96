// The details window: pages, list views, check-all boxes, the privacy tree and its selection.
#include "AppFixture.h"

#include "privacy/PrivacyCategories.h"
#include "ui/Dpi.h"
#include "ui/MessagePump.h"

#include <commctrl.h>

#include <functional>

namespace {

class DetailsWindow : public AppFixture {};

// The positions after the classic 32 take their defaults when a stored selection stops short of them.
std::wstring LaterDefaults(size_t from = kClassicPositions)
{
    return DefaultPrivacySelection().substr(from);
}

int ClientWidth(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return client.right;
}

TEST_F(DetailsWindow, LayoutOfThePages)
{
    WriteDefinitions(0);
    StartProgram();
    wchar_t caption[64] = {};
    GetWindowTextW(Details->Handle(), caption, 64);
    EXPECT_STREQ(caption, L"Details");
    EXPECT_EQ(Details->TntPageControl1.PageCount(), 4);
    const int dpi = DpiOf(Details->Handle());
    RECT client;
    GetClientRect(Details->Handle(), &client);
    EXPECT_EQ(client.right, MulDiv(862, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(466, dpi, 96));
    LONG style = GetWindowLongW(Details->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    const wchar_t* const spy[] = {L"       Item Name", L"Description", L"Risk Level", L"Entry"};
    const wchar_t* const reg[] = {L"       Item Name", L"Registry Key", L"Registry Value", L"Data"};
    for (auto [list, columns] : {std::pair{&Details->SpyListView, spy}, std::pair{&Details->RegListView, reg}}) {
        ASSERT_EQ(list->ColumnCount(), 4);
        // Empty lists: each column as wide as its caption, the last to the right edge.
        int total = 0;
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(list->ColumnCaption(c), columns[c]);
            const int caption = ListView_GetStringWidth(list->Handle(), columns[c]);
            EXPECT_GE(list->ColumnWidth(c), caption) << c;
            if (c < 3)
                EXPECT_LT(list->ColumnWidth(c), caption + MulDiv(40, dpi, 96)) << c;
            total += list->ColumnWidth(c);
        }
        EXPECT_EQ(total, ClientWidth(list->Handle()));
        DWORD ex = ListView_GetExtendedListViewStyle(list->Handle());
        EXPECT_TRUE((ex & LVS_EX_CHECKBOXES) && (ex & LVS_EX_FULLROWSELECT));
        EXPECT_FALSE(GetWindowLongW(list->Handle(), GWL_STYLE) & LVS_EDITLABELS);
        EXPECT_EQ(ListView_GetImageList(list->Handle(), LVSIL_SMALL), Details->ImageList1.Handle());
    }
    EXPECT_EQ(Details->ImageList1.Count(), 6);
    for (TCheckBox* box : {&Details->chk2, &Details->chk1}) {
        EXPECT_TRUE(box->Checked());
        EXPECT_EQ(box->Left(), MulDiv(8, dpi, 96));
        EXPECT_EQ(box->Top(), MulDiv(62, dpi, 96));
        EXPECT_EQ(box->Width(), MulDiv(15, dpi, 96));
    }
    EXPECT_EQ(Details->RzCheckTree1.Width(), MulDiv(280, dpi, 96));
    LONG memo = GetWindowLongW(Details->PrivacyList.Handle(), GWL_STYLE);
    EXPECT_TRUE((memo & ES_READONLY) && (memo & WS_VSCROLL) && (memo & WS_HSCROLL));
    // The junk page's lines are a report, not something to edit: a virtual list without label editing,
    // under the heading.
    LONG junk = GetWindowLongW(Details->TempMemo.Handle(), GWL_STYLE);
    EXPECT_TRUE((junk & LVS_OWNERDATA) && (junk & LVS_REPORT) == LVS_REPORT);
    EXPECT_FALSE(junk & LVS_EDITLABELS);
    EXPECT_LT(Details->TempMemo.Heading.Top() + Details->TempMemo.Heading.Height(), Details->TempMemo.Top() + 1);
    EXPECT_EQ(Details->btn3.Caption(), L"OK");
    // The header texts wrap within their strip.
    for (TLabel* header : {&Details->Label1, &Details->Label2})
        EXPECT_EQ(GetWindowLongW(header->Handle(), GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
    EXPECT_EQ(Details->Label2.Caption().substr(0, 23), L"These registry entries ");
}

TEST_F(DetailsWindow, CategoryTreeNodes)
{
    WriteDefinitions(0);
    StartProgram();
    TCheckTree& tree = Details->RzCheckTree1;
    // The classic 41 nodes, then six browser groups of seven categories each and today's Firefox with six.
    ASSERT_EQ(tree.Count(), 96);
    struct Node {
        int Index;
        const wchar_t* Caption;
        int Parent;
    } nodes[] = {
        {0, L"Internet Explorer", -1},         {5, L"Auto-Fill Password History", 0},
        {6, L"Mozilla Firefox", -1},           {11, L"Internet Cache", 6},
        {12, L"Opera", -1},                    {16, L"Windows", -1},
        {18, L"\"Start Menu\" Run History", 16}, {19, L"Other Applications", -1},
        {20, L"Application", 19},              {23, L"Borland Delphi", 20},
        {27, L"Multimedia", 19},               {31, L"Internet", 19},
        {36, L"Google Toolbar 4.0", 31},       {37, L"Utilities", 19},
        {40, L"7-Zip", 37},
        {41, L"Google Chrome", -1},            {42, L"History", 41},
        {48, L"Saved Passwords (they will be lost)", 41}, {49, L"Microsoft Edge", -1},
        {73, L"Opera (version 15 and later)", -1}, {81, L"Opera GX", -1},
        {88, L"Saved Passwords (they will be lost)", 81}, {89, L"Mozilla Firefox (today)", -1},
        {92, L"Form History", 89},             {95, L"Saved Passwords (they will be lost)", 89},
    };
    for (const auto& n : nodes) {
        SCOPED_TRACE(n.Index);
        EXPECT_EQ(tree.Caption(n.Index), n.Caption);
        EXPECT_EQ(tree.Parent(n.Index), n.Parent);
    }
    for (int group : Details->GroupNodes())
        EXPECT_TRUE(tree.Expanded(group)) << group;
}

TEST_F(DetailsWindow, DefaultAndStoredSelection)
{
    struct Case {
        const wchar_t* Stored; // nullptr: no key
        std::wstring Expected;
    } cases[] = {
        {nullptr, L"10100011010111111111111111111111" + LaterDefaults()},
        {L"", L"10100011010111111111111111111111" + LaterDefaults()},
        {L"0000", std::wstring(32, L'0') + LaterDefaults()},
        {L"01x1", L"0101" + std::wstring(28, L'0') + LaterDefaults()},
        {L"11111111111111111111111111111111111", std::wstring(35, L'1') + LaterDefaults(35)},
    };
    WriteDefinitions(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stored ? c.Stored : L"(none)");
        WritePrivateProfileStringW(L"Privacy Sweeper", L"pzinfo", c.Stored, MainIniPath().c_str());
        StartProgram();
        EXPECT_EQ(Details->GetSelection(), c.Expected);
        Details.reset();
        Form.reset();
    }
}

TEST_F(DetailsWindow, DefaultSelectionTicksTheRightCategories)
{
    WriteDefinitions(0);
    StartProgram();
    TCheckTree& tree = Details->RzCheckTree1;
    // Categories 1, 3, 7, 8, 10 and 12 to 32 are ticked.
    EXPECT_EQ(tree.State(1), TCheckState::Checked);  // Typed Urls
    EXPECT_EQ(tree.State(2), TCheckState::Unchecked); // IE Cookie Files
    EXPECT_EQ(tree.State(0), TCheckState::Partial);
    EXPECT_EQ(tree.State(19), TCheckState::Checked); // every application category
    EXPECT_EQ(tree.State(13), TCheckState::Unchecked); // Opera Cookie Files, position 11
}

TEST_F(DetailsWindow, UntickingAGroupUnticksItsCategories)
{
    WriteDefinitions(0);
    StartProgram();
    TCheckTree& tree = Details->RzCheckTree1;
    tree.SetChecked(12, false); // "Opera"
    std::wstring selection = Details->GetSelection();
    EXPECT_EQ(selection.substr(10, 3), L"000");
    EXPECT_EQ(selection, L"10100011010001111111111111111111" + LaterDefaults());
    tree.SetChecked(19, false); // "Other Applications"
    EXPECT_EQ(Details->GetSelection().substr(15, 17), std::wstring(17, L'0'));
    tree.SetChecked(20, true); // "Application"
    EXPECT_EQ(Details->GetSelection().substr(15, 6), L"111111");
    EXPECT_EQ(tree.State(19), TCheckState::Partial);
}

TEST_F(DetailsWindow, ClearingCheckAllMeansNothingIsRemoved)
{
    WriteDefinitions(2);
    StartProgram();
    Form->Timer2.SetEnabled(false);
    Form->TntButton1Click();
    ASSERT_EQ(Details->SpyListView.Count(), 2);
    EXPECT_TRUE(Details->SpyListView.Checked(0) && Details->SpyListView.Checked(1));
    // A click on the box, as the user makes it.
    SendMessageW(Details->chk2.Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(Details->chk2.Checked());
    EXPECT_FALSE(Details->SpyListView.Checked(0) || Details->SpyListView.Checked(1));
    Form->TntButton3Click();
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(1)));
    Details->chk2.SetChecked(true);
    EXPECT_TRUE(Details->SpyListView.Checked(0));
}

UINT BoxState(const TCheckBox& box)
{
    return static_cast<UINT>(SendMessageW(box.Handle(), BM_GETCHECK, 0, 0));
}

// A click with the mouse on a row's check box, where the list itself says the box is.
void ClickRowBox(const TListView& list, int row)
{
    RECT bounds{}, label{};
    ASSERT_TRUE(ListView_GetItemRect(list.Handle(), row, &bounds, LVIR_BOUNDS));
    ListView_GetItemRect(list.Handle(), row, &label, LVIR_LABEL);
    for (int x = bounds.left; x < label.left; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = {x, (bounds.top + bounds.bottom) / 2};
        if (ListView_HitTest(list.Handle(), &hit) == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
            const LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
            PostMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(list.Handle(), WM_LBUTTONUP, 0, at);
            ProcessMessages();
            return;
        }
    }
    FAIL() << "no check box on row " << row;
}

TEST_F(DetailsWindow, TheCheckAllBoxShowsWhetherAllNoneOrSomeRowsAreTicked)
{
    WriteDefinitions(3);
    StartProgram();
    Form->Timer2.SetEnabled(false);
    Form->TntButton1Click();
    ShowWindow(Details->Handle(), SW_SHOW);
    TListView& list = Details->SpyListView;
    TCheckBox& box = Details->chk2;
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(BoxState(box), static_cast<UINT>(BST_CHECKED));
    struct Step {
        const wchar_t* Name;
        std::function<void()> Do;
        std::vector<bool> Rows;
        UINT Box;
    } steps[] = {
        {L"one row unticked by the user", [&] { ClickRowBox(list, 1); }, {true, false, true}, BST_INDETERMINATE},
        {L"the others too", [&] { ClickRowBox(list, 0); ClickRowBox(list, 2); }, {false, false, false}, BST_UNCHECKED},
        {L"one ticked again", [&] { ClickRowBox(list, 2); }, {false, false, true}, BST_INDETERMINATE},
        {L"a click on the mixed box ticks all", [&] { SendMessageW(box.Handle(), BM_CLICK, 0, 0); },
         {true, true, true}, BST_CHECKED},
        {L"and the next unticks all", [&] { SendMessageW(box.Handle(), BM_CLICK, 0, 0); }, {false, false, false},
         BST_UNCHECKED},
        {L"a row ticked in code", [&] { list.SetChecked(0, true); }, {true, false, false}, BST_INDETERMINATE},
        {L"the unticked rows go", [&] { list.Delete(2); list.Delete(1); }, {true}, BST_CHECKED},
        {L"an unticked row comes", [&] { list.AddItem(L"Adware", {L"", L"", L"x"}, 0, false); }, {true, false},
         BST_INDETERMINATE},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Name);
        step.Do();
        ASSERT_EQ(list.Count(), static_cast<int>(step.Rows.size()));
        for (int row = 0; row < list.Count(); ++row)
            EXPECT_EQ(list.Checked(row), step.Rows[static_cast<size_t>(row)]) << row;
        EXPECT_EQ(BoxState(box), step.Box);
    }
    // The registry page's box follows its own list.
    EXPECT_EQ(BoxState(Details->chk1), static_cast<UINT>(BST_CHECKED));
}

// The width a column needs to show a cell whole: the text in the list's font and the margins the
// control draws it within (the first column also holds the check box and the icon).
int Needs(const TListView& list, int row, int column)
{
    RECT bounds{}, label{};
    ListView_GetItemRect(list.Handle(), row, &bounds, LVIR_BOUNDS);
    ListView_GetItemRect(list.Handle(), row, &label, LVIR_LABEL);
    return ListView_GetStringWidth(list.Handle(), list.SubItem(row, column).c_str()) + 12 +
           (column == 0 ? label.left - bounds.left : 0);
}

// What the list's tool tip shows over a cell: the list is told the mouse is there, then asked for
// the text as the tip asks for it.
std::wstring TipOver(const TListView& list, int row, int column)
{
    RECT cell{};
    ListView_GetSubItemRect(list.Handle(), row, column, LVIR_LABEL, &cell);
    SendMessageW(list.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = list.CellTips();
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(list.Handle());
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(list.Handle(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    return info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKW ? info.lpszText : info.szText;
}

TEST_F(DetailsWindow, ColumnsFitWhatTheyHoldWithinTheListAndACutCellShowsItsWholeTextAsATip)
{
    WriteDefinitions(2);
    StartProgram();
    Form->Timer2.SetEnabled(false);
    Form->TntButton1Click();
    ShowWindow(Details->Handle(), SW_SHOW);
    TListView& list = Details->SpyListView;
    ASSERT_EQ(list.Count(), 2);
    auto total = [&] {
        int sum = 0;
        for (int c = 0; c < list.ColumnCount(); ++c)
            sum += list.ColumnWidth(c);
        return sum;
    };
    // After the scan: every cell whole, and the columns fill the list to its right edge, no further.
    for (int row = 0; row < list.Count(); ++row)
        for (int c = 0; c < list.ColumnCount(); ++c) {
            EXPECT_GE(list.ColumnWidth(c), Needs(list, row, c)) << row << " " << c;
            EXPECT_EQ(TipOver(list, row, c), L"") << row << " " << c;
        }
    EXPECT_EQ(total(), ClientWidth(list.Handle()));

    // A row too long for any list: the short columns stay whole, the long one is cut within the list,
    // and its tip holds the whole text.
    std::wstring entry = L"C:\\Program Files\\";
    while (entry.size() < 400)
        entry += L"Very Long Folder Name\\";
    entry += L"pest.exe";
    const int row = list.AddItem(L"Adware", {L"Shows adverts", L"High", entry}, 0, true);
    list.FitColumns();
    EXPECT_EQ(total(), ClientWidth(list.Handle()));
    for (int r = 0; r < list.Count(); ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_GE(list.ColumnWidth(c), Needs(list, r, c)) << r << " " << c;
    EXPECT_LT(list.ColumnWidth(3), Needs(list, row, 3));
    EXPECT_EQ(TipOver(list, row, 3), entry);
    EXPECT_EQ(TipOver(list, row, 1), L"");
    EXPECT_EQ(TipOver(list, 0, 3), L"");
}

TEST_F(DetailsWindow, EveryOkButtonEndsTheModalDisplay)
{
    WriteDefinitions(0);
    StartProgram();
    TButton* buttons[] = {&Details->btn1, &Details->btn4, &Details->btn2, &Details->btn3};
    for (int page = 0; page < 4; ++page) {
        SCOPED_TRACE(page);
        Details->TntPageControl1.SetActivePageIndex(page);
        PostMessageW(buttons[page]->Handle(), BM_CLICK, 0, 0);
        Details->ShowModal();
        EXPECT_EQ(Details->ModalCount(), page + 1);
        EXPECT_FALSE(IsWindowVisible(Details->Handle()));
    }
    // The close box ends it too.
    PostMessageW(Details->Handle(), WM_CLOSE, 0, 0);
    Details->ShowModal();
    EXPECT_FALSE(Details->Modal());
}

TEST_F(DetailsWindow, TabReachesOkOnEveryPageAndEnterPressesIt)
{
    WriteDefinitions(0);
    StartProgram();
    Form->Timer2.SetEnabled(false);
    ShowWindow(Form->Handle(), SW_SHOW);
    struct Case {
        int Page;
        HWND Ok;
    } cases[] = {
        {0, Details->btn1.Handle()}, {1, Details->btn4.Handle()}, {2, Details->btn2.Handle()}, {3, Details->btn3.Handle()},
    };
    // A timer presses the keys while the window shows: Tab until "OK" has the focus, then Enter.
    struct TDrive {
        HWND Ok = nullptr;
        int Tabs = 0;
        bool Entered = false;
        TW_Details* Window = nullptr;
    };
    static TDrive drive;
    int shown = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Page);
        Details->TntPageControl1.SetActivePageIndex(c.Page);
        drive = {c.Ok, 0, false, Details.get()};
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
            HWND focus = GetFocus();
            if (drive.Entered)
                return;
            if (focus == drive.Ok) {
                drive.Entered = true;
                PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0x00000001);
            } else if (++drive.Tabs <= 8) {
                PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x00000001);
            } else {
                drive.Window->btn1Click(); // never reached: the test fails instead of waiting
            }
        });
        Details->ShowModal();
        KillTimer(nullptr, timer);
        EXPECT_TRUE(drive.Entered) << "tabs: " << drive.Tabs;
        EXPECT_EQ(Details->ModalCount(), ++shown);
        EXPECT_FALSE(IsWindowVisible(Details->Handle()));
    }
    ShowWindow(Form->Handle(), SW_HIDE);
}

TEST_F(DetailsWindow, MinimisingItTakesTheMainWindowAlong)
{
    WriteDefinitions(0);
    StartProgram();
    Form->Timer2.SetEnabled(false);
    ShowWindow(Form->Handle(), SW_SHOW);
    static bool ownerMinimised = false, detailsShown = true, detailsBack = false;
    static int ticks = 0;
    static HWND main = nullptr, details = nullptr;
    static TW_Details* window = nullptr;
    main = Form->Handle();
    details = Details->Handle();
    window = Details.get();
    PostMessageW(details, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    // First look while both are down, then restore the main window as its taskbar button would.
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        if (++ticks == 1) {
            ownerMinimised = IsIconic(main) != FALSE;
            detailsShown = IsWindowVisible(details) != FALSE;
            ShowWindow(main, SW_RESTORE);
            return;
        }
        detailsBack = IsWindowVisible(details) != FALSE;
        window->btn1Click();
    });
    Details->ShowModal();
    KillTimer(nullptr, timer);
    // Nothing stays on the screen that cannot be used: the main window went down with the details,
    // and the details come back with it.
    EXPECT_TRUE(ownerMinimised);
    EXPECT_FALSE(detailsShown);
    EXPECT_TRUE(detailsBack);
    EXPECT_TRUE(IsWindowEnabled(main));
    ShowWindow(main, SW_RESTORE);
    ShowWindow(main, SW_HIDE);
}

// The privacy selection that Main.ini holds; "(none)" when none was stored.
std::wstring StoredSelection()
{
    wchar_t stored[256] = {};
    GetPrivateProfileStringW(L"Privacy Sweeper", L"pzinfo", L"(none)", stored, 256, MainIniPath().c_str());
    return stored;
}

TEST_F(DetailsWindow, EscapeInAnyControlClosesTheWindowAndDestroysNothing)
{
    WriteDefinitions(0);
    StartProgram();
    Form->Timer2.SetEnabled(false);
    Details->TempMemo.Add(L"C:\\temp\\old.tmp");
    const std::wstring selection = Details->GetSelection();
    struct Case {
        int Page;
        HWND Control;
    } cases[] = {
        {0, Details->SpyListView.Handle()}, {1, Details->RegListView.Handle()},
        {2, Details->PrivacyList.Handle()}, {2, Details->RzCheckTree1.Handle()},
        {3, Details->TempMemo.Handle()},    {3, Details->btn3.Handle()},
    };
    int shown = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Page);
        Details->TntPageControl1.SetActivePageIndex(c.Page);
        PostMessageW(c.Control, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(c.Control, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        // Should the key not close the window, a timer does, so that the test fails instead of waiting.
        static TW_Details* window = nullptr;
        static bool closedByTimer = false;
        window = Details.get();
        closedByTimer = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) {
            closedByTimer = true;
            window->btn1Click();
        });
        Details->ShowModal();
        KillTimer(nullptr, timer);
        EXPECT_FALSE(closedByTimer);
        EXPECT_EQ(Details->ModalCount(), ++shown);
        EXPECT_FALSE(IsWindowVisible(Details->Handle()));
        // Whatever a control did with the key has happened by now.
        ProcessMessages();
        for (int page = 0; page < 4; ++page)
            EXPECT_TRUE(IsWindow(Details->TntPageControl1.Page(page).Handle())) << page;
        EXPECT_TRUE(IsWindow(c.Control));
    }
    Details->TempMemo.Flush();
    EXPECT_EQ(Details->TempMemo.ControlText(), L"C:\\temp\\old.tmp");
    // Nothing changed, so nothing was stored; above all not a selection of nothing.
    EXPECT_EQ(Details->GetSelection(), selection);
    EXPECT_EQ(StoredSelection(), L"(none)");
}

TEST_F(DetailsWindow, ATreeThatIsGoneNeverStoresASelectionOfNothing)
{
    WriteDefinitions(0);
    StartProgram();
    const std::wstring selection = Details->GetSelection();
    DestroyWindow(Details->TntPageControl1.Page(2).Handle());
    EXPECT_EQ(Details->GetSelection(), selection);
    Details->btn1Click();
    EXPECT_EQ(StoredSelection(), L"(none)");
}

TEST_F(DetailsWindow, TheJunkPageTakesNoTyping)
{
    WriteDefinitions(0);
    StartProgram();
    Details->TempMemo.Add(L"C:\\temp\\old.tmp");
    Details->TempMemo.Flush();
    for (wchar_t key : {L'x', L'\b'})
        SendMessageW(Details->TempMemo.Handle(), WM_CHAR, key, 0);
    SendMessageW(Details->TempMemo.Handle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(Details->TempMemo.ControlText(), L"C:\\temp\\old.tmp");
}

TEST_F(DetailsWindow, TheSpywareHeaderNamesTheProgramByItsName)
{
    WriteDefinitions(0);
    StartProgram();
    EXPECT_NE(Details->Label1.Caption().find(L"Quillmar Brisfold can remove them"), std::wstring::npos)
        << testing::PrintToString(Details->Label1.Caption());
}

} // namespace
