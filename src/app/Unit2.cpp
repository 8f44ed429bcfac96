#include "app/Unit2.h"
#include "ui/WindowClass.h"

#include "app/OptionMenu.h"
#include "app/UndoDialog.h"
#include "app/WindowTexts.h"
#include "common/IniFile.h"
#include "common/MultiLan.h"
#include "common/Settings.h"
#include "privacy/PrivacyCategories.h"
#include "ui/Application.h"
#include "ui/Create.h"
#include "ui/Dpi.h"
#include "ui/Pictures.h"

#include <algorithm>

namespace {
const wchar_t kDetailsClass[] = L"TW_Details";
const int kClientWidth = 862;
const int kClientHeight = 466;
const int kStripHeight = 57;  // header strip with picture and text
const int kBottomHeight = 41; // panel with the "OK" button
const int kTreeWidth = 280;   // the privacy tree: wide enough for its longest captions in German too
} // namespace

bool TW_Details::IsGroupNode(int index) const
{
    return std::find(GroupNodes_.begin(), GroupNodes_.end(), index) != GroupNodes_.end();
}

TW_Details::TW_Details(TDetailsHost host) : Host_(std::move(host)) {}

TW_Details::~TW_Details()
{
    if (Host_.Gone)
        Host_.Gone();
    if (Handle_ && IsWindow(Handle_))
        DestroyWindow(Handle_);
}

LRESULT CALLBACK TW_Details::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = WindowObject<TW_Details>(window, message, lParam);
    if (LRESULT result = 0; ReflectToControl(message, wParam, lParam, result))
        return result;
    if (self) {
        switch (message) {
        case WM_CLOSE: return self->OnCloseBox();
        case WM_DPICHANGED: return self->OnDpiChanged(LOWORD(wParam), lParam);
        case WM_SYSCOMMAND:
            if (self->OnSysCommand(static_cast<UINT>(wParam & 0xFFF0)))
                return 0;
            break;
        default: break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TW_Details::OnCloseBox()
{
    Application().Guard([this] { btn1Click(); });
    return 0;
}

bool TW_Details::OnSysCommand(UINT command)
{
    if (command == SC_MINIMIZE && InModal_ && Host_.Owner) {
        // The main window waits disabled behind this one: both go down together and come back
        // together. Windows hides an owned window with its owner, Wine leaves it up: hide it here.
        ShowWindow(Handle_, SW_HIDE);
        DownWithOwner_ = true;
        ShowWindow(Host_.Owner, SW_MINIMIZE);
        return true;
    }
    if (command == kUndoCommand) {
        Application().Guard([this] { UndoClick(); });
        return true;
    }
    if (command != kSettingsCommand && command != kIgnoredItemsCommand)
        return false;
    if (Host_.Options)
        Application().Guard([this, command] { RunOptionCommand(Handle_, command, Host_.Options()); });
    return true;
}

void TW_Details::AddSystemMenuItems()
{
    HMENU menu = GetSystemMenu(Handle_, FALSE);
    if (!menu || !Host_.UndoPlaces || !Host_.Options)
        return;
    // A start-up that ended before the texts were read leaves the window without the entry.
    const TOptionsContext options = Host_.Options();
    if (options.Texts.size() <= static_cast<size_t>(OptionText::UndoMenu))
        return;
    AddOptionCommands(menu, options);
    AppendMenuW(menu, MF_STRING, kUndoCommand, options.Text(OptionText::UndoMenu).c_str());
}

void TW_Details::UndoClick()
{
    if (Host_.UndoPlaces && Host_.Options)
        ShowUndoDialog(Handle_, Host_.Options(), Host_.UndoPlaces());
}

LRESULT TW_Details::OnDpiChanged(int newDpi, LPARAM suggested)
{
    if (newDpi != Dpi_) {
        RescaleChildren(Handle_, Dpi_, newDpi);
        Dpi_ = newDpi;
    }
    MoveToSuggestedRect(Handle_, suggested);
    return 0;
}

void TW_Details::Create()
{
    InitControls();
    if (const TMultiLan* language = Host_.Language ? Host_.Language() : nullptr) {
        Texts_ = language->GetSection(kDetailsSection);
        TreeTexts_ = language->GetSection(kTreeSection);
        Ok_ = CaptionAt(language->GetSection(kOptionSection), OptionText::Ok);
    }
    RegisterWindowClass({.Name = kDetailsClass,
                         .Proc = WindowProc,
                         .Background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                         .AppIcon = true,
                         .ReflectsControls = true});
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    Handle_ = CreateWindowExW(0, kDetailsClass, CaptionAt(Texts_, DetailsText::Caption).c_str(), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, kClientWidth, kClientHeight, Host_.Owner, nullptr,
                              GetModuleHandleW(nullptr), this);
    Dpi_ = DpiOf(Handle_);
    SizeAndCentre(Handle_, kClientWidth, kClientHeight);
    CreateComponents();
    AddSystemMenuItems();
    Application().Guard([this] { FormCreate(); });
}

void TW_Details::CreateComponents()
{
    HINSTANCE module = GetModuleHandleW(nullptr);
    for (const wchar_t* name : kPicListIcons)
        ImageList1.AddFromResource(module, name);

    TntPageControl1.Create({.Parent = Handle_, .Width = kClientWidth, .Height = kClientHeight});
    TntTabSheet1 = &TntPageControl1.AddPage();
    TntTabSheet4 = &TntPageControl1.AddPage();
    TntTabSheet5 = &TntPageControl1.AddPage();
    TntTabSheet6 = &TntPageControl1.AddPage();

    const int listTop = kStripHeight + 1;
    const int listHeight = kClientHeight - listTop - kBottomHeight;
    const int bottomTop = kClientHeight - kBottomHeight;
    auto bottomPanel = [&](TPanel& panel, TButton& button, HWND page) {
        panel.Create({.Parent = page, .Top = bottomTop, .Width = kClientWidth, .Height = kBottomHeight});
        panel.SetBackColor(RGB(240, 240, 240));
        button.Create({.Parent = panel.Handle(), .Left = kClientWidth - 83, .Top = 8, .Width = 75, .Height = 25,
                       .Caption = Ok_, .Cursor = LoadCursorW(nullptr, IDC_HAND)});
        button.OnClick = [this] { btn1Click(); };
    };

    // Pages 0 (spyware) and 1 (registry): a header strip, the findings list and its check-all box.
    struct TColumn {
        int Caption; // line of section "M_Details"
        int Width;
    };
    auto findingsPage = [&](TPanel& sheet, TPicture& image, const wchar_t* picture, TLabel& header, int text,
                            TListView& list, std::initializer_list<TColumn> columns, TCheckBox& checkAll,
                            TPanel& panel, TButton& ok) {
        const HWND page = sheet.Handle();
        image.Create({.Parent = page, .Left = 4, .Top = 4, .Width = 48, .Height = 48});
        image.LoadFromResource(module, picture);
        header.Create({.Parent = page, .Left = 60, .Top = 4, .Width = kClientWidth - 68, .Height = kStripHeight - 6,
                       .Caption = CaptionAt(Texts_, text), .WordWrap = true});
        list.Create({.Parent = page, .Top = listTop, .Width = kClientWidth, .Height = listHeight,
                     .Style = WS_CLIPSIBLINGS | WS_BORDER});
        // The first column's blanks leave room for the check-all box over its header.
        for (const TColumn& column : columns)
            list.AddColumn((column.Caption == DetailsText::ItemName ? L"       " : L"") +
                               CaptionAt(Texts_, column.Caption),
                           column.Width);
        list.SetSmallImages(ImageList1.Handle());
        checkAll.CreateTriState({.Parent = page, .Left = 8, .Top = 62, .Width = 15, .Height = 15});
        // The box shows whether all, none or some rows are ticked, however they came to be.
        list.OnChecksChanged = [&list, &checkAll] {
            const int ticked = list.CheckedCount();
            checkAll.ShowState(ticked == list.Count() ? BST_CHECKED
                               : ticked == 0          ? BST_UNCHECKED
                                                      : BST_INDETERMINATE);
        };
        bottomPanel(panel, ok, page);
    };
    using namespace DetailsText;
    findingsPage(*TntTabSheet1, Image1, kPicHeaderSpyware, Label1, SpywareHeader, SpyListView,
                 {{ItemName, 150}, {Description, 150}, {RiskLevel, 100}, {Entry, 400}}, chk2, Panel1, btn1);
    findingsPage(*TntTabSheet4, Image2, kPicHeaderRegistry, Label2, RegistryHeader, RegListView,
                 {{ItemName, 150}, {RegistryKey, 450}, {RegistryValue, 100}, {Data, 100}}, chk1, Panel2, btn4);

    // The check-all boxes sit over the blank start of the first column header.
    for (TCheckBox* box : {&chk2, &chk1}) {
        SetWindowPos(box->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageW(box->Handle(), BM_SETCHECK, BST_CHECKED, 0);
    }
    for (TListView* list : {&SpyListView, &RegListView})
        list->FitColumns();
    chk2.OnClick = [this] { chk2Click(); };
    chk1.OnClick = [this] { chk1Click(); };
    // One line per list that has the menu: its check-all box, the main window's row that counts it, its
    // ignore section, and the column that names its location.
    FindingsMenu_ = std::make_unique<TFindingsMenu>(Host_, Handle_, std::vector<TFindingsList>{
        {&SpyListView, &chk2, 0, &kSpywareIgnore, 3, LocationOfEntry},
        {&RegListView, &chk1, 1, &kRegistryIgnore, 1, LocationOfKey},
    });

    // Page 2: privacy.
    HWND page = TntTabSheet5->Handle();
    const int pageHeight = kClientHeight - kBottomHeight;
    RzCheckTree1.Create({.Parent = page, .Width = kTreeWidth, .Height = pageHeight, .Style = WS_BORDER});
    PrivacyList.Create({.Parent = page, .Left = kTreeWidth, .Width = kClientWidth - kTreeWidth, .Height = pageHeight,
                        .Style = ES_READONLY | WS_VSCROLL | WS_HSCROLL | WS_BORDER, .FontName = L"Courier New",
                        .FontHeight = 12});
    bottomPanel(Panel3, btn2, page);
    PolicyNote.Create({.Parent = Panel3.Handle(), .Left = 8, .Top = 13, .Width = 400, .Height = 16, .Visible = false});
    PolicyNote.SetBackColor(RGB(240, 240, 240));
    BuildTree();

    // Page 3: junk files.
    page = TntTabSheet6->Handle();
    TempMemo.CreatePage(Host_, page, kClientWidth, pageHeight);
    bottomPanel(Panel4, btn3, page);
}

// A policy's selection may name every category of the tree, and no more.
static_assert(kPrivacySelectionLength == static_cast<int>(kPrivacyCategoryCount));

void TW_Details::BuildTree()
{
    // The nodes come from the scanner's category table: each group node is added where its first
    // category (or sub-group) needs it, so the tree order is the table's order.
    std::array<int, kPrivacyGroupCount> groupNodes;
    groupNodes.fill(-1);
    auto groupNode = [&](auto& self, int group) -> int {
        if (groupNodes[group] < 0) {
            const int parent = kPrivacyGroups[group].Parent;
            groupNodes[group] =
                RzCheckTree1.AddNode(parent < 0 ? -1 : self(self, parent), CaptionAt(TreeTexts_, group));
            GroupNodes_.push_back(groupNodes[group]);
        }
        return groupNodes[group];
    };
    for (const TPrivacyCategory& category : kPrivacyCategories)
        RzCheckTree1.AddNode(groupNode(groupNode, category.Group), CaptionAt(TreeTexts_, category.Text));
}

void TW_Details::FormCreate()
{
    TntPageControl1.SetActivePageIndex(0);
    RzCheckTree1.ExpandAll();
    std::wstring selection;
    bool administered = false;
    // Start-up may have ended before the settings reader was opened; the default selection applies then.
    if (const TSettings* settings = Host_.Settings()) {
        selection = settings->ReadString(kPrivacySection, L"pzinfo", L"");
        administered = settings->SetByPolicy(kPrivacySection, L"pzinfo");
    }
    // Positions beyond an older, shorter selection take their defaults.
    selection = selection.empty() ? DefaultPrivacySelection() : CompletedPrivacySelection(selection);
    size_t k = 0;
    for (int index = 0; index < RzCheckTree1.Count(); ++index) {
        if (IsGroupNode(index))
            continue;
        if (k < selection.size()) {
            if (selection[k] == L'1')
                RzCheckTree1.SetState(index, TCheckState::Checked);
            else if (selection[k] == L'0')
                RzCheckTree1.SetState(index, TCheckState::Unchecked);
        }
        ++k;
    }
    StoredSelection_ = GetSelection();
    RzCheckTree1.SetReadOnly(administered);
    if (administered) {
        PolicyNote.SetCaption(Host_.Options().Text(OptionText::SetByAdministrator));
        PolicyNote.Show();
    }
}

TIniFile TW_Details::SettingsFile() const
{
    const TSettings* settings = Host_.Settings();
    return settings ? settings->Ini() : TIniFile(MainIniPath());
}

bool TW_Details::TreeAlive() const
{
    const HWND tree = RzCheckTree1.Handle();
    if (!tree || !IsWindow(tree) || TreeView_GetCount(tree) != static_cast<UINT>(RzCheckTree1.Count()))
        return false;
    const HWND page = TntTabSheet5 ? TntTabSheet5->Handle() : nullptr;
    return page && IsWindow(page);
}

void TW_Details::SaveSelection()
{
    // A tree that is gone reads as nothing ticked: storing that would switch every category off.
    if (!TreeAlive())
        return;
    const std::wstring selection = GetSelection();
    if (selection == StoredSelection_ || RzCheckTree1.ReadOnly())
        return;
    const TIniFile ini = SettingsFile();
    if (Host_.Options().Report(Handle_, ini.FileName, ini.WriteEntries({{L"Privacy Sweeper", L"pzinfo", selection}})))
        StoredSelection_ = selection;
}

std::wstring TW_Details::GetSelection() const
{
    if (!TreeAlive())
        return StoredSelection_.empty() ? DefaultPrivacySelection() : StoredSelection_;
    std::wstring selection;
    for (int index = 0; index < RzCheckTree1.Count(); ++index)
        if (!IsGroupNode(index))
            selection += RzCheckTree1.State(index) == TCheckState::Checked ? L'1' : L'0';
    return selection;
}

void TW_Details::btn1Click()
{
    SaveSelection();
    CloseModal_ = true;
    ShowWindow(Handle_, SW_HIDE);
}

void TW_Details::chk2Click()
{
    SpyListView.SetAllChecked(chk2.Checked());
}

void TW_Details::chk1Click()
{
    RegListView.SetAllChecked(chk1.Checked());
}

void TW_Details::ShowModal()
{
    if (InModal_)
        return;
    InModal_ = true;
    CloseModal_ = false;
    ++ModalCount_;
    HWND owner = Host_.Owner;
    EnableWindow(owner, FALSE);
    ShowWindow(Handle_, SW_SHOW);
    MSG msg;
    while (!CloseModal_) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The program is ending: leave the quit request for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        Application().Guard([&] {
            // Escape anywhere in the window closes it as OK does; no control gets the key to act on.
            if ((msg.message == WM_KEYDOWN || msg.message == WM_CHAR) && msg.wParam == VK_ESCAPE &&
                (msg.hwnd == Handle_ || IsChild(Handle_, msg.hwnd))) {
                if (msg.message == WM_KEYDOWN)
                    btn1Click();
                return;
            }
            // A message left for a control of a page hidden since is not the dialog navigation's: Wine's
            // would walk the window tree for ever looking for it.
            if (!IsWindowVisible(msg.hwnd) || !IsDialogMessageW(Handle_, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (DownWithOwner_ && !IsIconic(owner)) {
                DownWithOwner_ = false;
                ShowWindow(Handle_, SW_SHOW);
                SetForegroundWindow(Handle_);
            }
        });
    }
    DownWithOwner_ = false;
    EnableWindow(owner, TRUE);
    ShowWindow(Handle_, SW_HIDE);
    if (IsWindowVisible(owner))
        SetActiveWindow(owner);
    InModal_ = false;
}
