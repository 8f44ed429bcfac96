#include "ui/CheckTree.h"

#include "ui/Dpi.h"

#include <algorithm>

namespace {

// Images 1..3 of the state list: unchecked, checked, partly checked (image 0 is unused).
HIMAGELIST MakeStateImages(int size)
{
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32, 4, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    for (int i = 0; i < 4; ++i) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT r{0, 0, size, size};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        RECT box{1, 1, size - 1, size - 1};
        UINT flags = DFCS_BUTTONCHECK | DFCS_FLAT;
        if (i == 2)
            flags |= DFCS_CHECKED;
        if (i == 3)
            flags |= DFCS_CHECKED | DFCS_INACTIVE;
        if (i > 0)
            DrawFrameControl(dc, &box, DFC_BUTTON, flags);
        if (i == 3) {
            // Partly checked: a grey square inside the box reads better than a dimmed tick.
            RECT inner{4, 4, size - 4, size - 4};
            FillRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            HBRUSH grey = CreateSolidBrush(RGB(96, 96, 96));
            RECT mark{5, 5, size - 5, size - 5};
            FillRect(dc, &mark, grey);
            DeleteObject(grey);
        }
        SelectObject(dc, old);
        ImageList_Add(list, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return list;
}

} // namespace

TCheckTree::~TCheckTree()
{
    if (States_)
        ImageList_Destroy(States_);
}

void TCheckTree::Create(const TControlArgs& args)
{
    CreateControl(WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP,
                  args);
    if (!Handle_)
        return;
    States_ = MakeStateImages(ScaleTo(args.Parent, 16));
    TreeView_SetImageList(Handle_, States_, TVSIL_STATE);
}

int TCheckTree::AddNode(int parent, const std::wstring& caption)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent >= 0 ? Nodes_.at(static_cast<size_t>(parent)) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE;
    insert.item.pszText = const_cast<wchar_t*>(caption.c_str());
    insert.item.state = INDEXTOSTATEIMAGEMASK(static_cast<int>(TCheckState::Unchecked));
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(Handle_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    Nodes_.push_back(item);
    return Count() - 1;
}

std::wstring TCheckTree::Caption(int index) const
{
    wchar_t buffer[512] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = Nodes_.at(static_cast<size_t>(index));
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(Handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int TCheckTree::IndexOf(HTREEITEM item) const
{
    auto found = std::find(Nodes_.begin(), Nodes_.end(), item);
    return found == Nodes_.end() ? -1 : static_cast<int>(found - Nodes_.begin());
}

int TCheckTree::Parent(int index) const
{
    return IndexOf(TreeView_GetParent(Handle_, Nodes_.at(static_cast<size_t>(index))));
}

TCheckState TCheckTree::OwnState(HTREEITEM item) const
{
    UINT state = TreeView_GetItemState(Handle_, item, TVIS_STATEIMAGEMASK) >> 12;
    if (state == 2)
        return TCheckState::Checked;
    if (state == 3)
        return TCheckState::Partial;
    return TCheckState::Unchecked;
}

void TCheckTree::SetOwnState(HTREEITEM item, TCheckState state)
{
    TreeView_SetItemState(Handle_, item, INDEXTOSTATEIMAGEMASK(static_cast<int>(state)), TVIS_STATEIMAGEMASK);
}

TCheckState TCheckTree::State(int index) const
{
    return OwnState(Nodes_.at(static_cast<size_t>(index)));
}

void TCheckTree::SetSubtree(HTREEITEM item, TCheckState state)
{
    SetOwnState(item, state);
    for (HTREEITEM child = TreeView_GetChild(Handle_, item); child; child = TreeView_GetNextSibling(Handle_, child))
        SetSubtree(child, state);
}

void TCheckTree::UpdateAncestors(HTREEITEM item)
{
    for (HTREEITEM parent = TreeView_GetParent(Handle_, item); parent; parent = TreeView_GetParent(Handle_, parent)) {
        bool anyChecked = false, anyUnchecked = false;
        for (HTREEITEM child = TreeView_GetChild(Handle_, parent); child;
             child = TreeView_GetNextSibling(Handle_, child)) {
            TCheckState s = OwnState(child);
            anyChecked |= s != TCheckState::Unchecked;
            anyUnchecked |= s != TCheckState::Checked;
        }
        TCheckState combined = !anyChecked ? TCheckState::Unchecked
                               : !anyUnchecked ? TCheckState::Checked
                                               : TCheckState::Partial;
        SetOwnState(parent, combined);
    }
}

void TCheckTree::SetState(int index, TCheckState state)
{
    HTREEITEM item = Nodes_.at(static_cast<size_t>(index));
    // A partly checked state is derived from children; asked for directly, it only marks the node.
    if (state == TCheckState::Partial)
        SetOwnState(item, state);
    else
        SetSubtree(item, state);
    UpdateAncestors(item);
    if (OnStateChange)
        OnStateChange(index);
}

void TCheckTree::Toggle(int index)
{
    SetChecked(index, State(index) != TCheckState::Checked);
}

void TCheckTree::ExpandAll()
{
    for (HTREEITEM item : Nodes_)
        if (TreeView_GetChild(Handle_, item))
            TreeView_Expand(Handle_, item, TVE_EXPAND);
    // Expanding scrolls to the last node; the list should start at its top.
    if (!Nodes_.empty()) {
        TreeView_SelectSetFirstVisible(Handle_, Nodes_.front());
        SendMessageW(Handle_, WM_HSCROLL, SB_LEFT, 0);
    }
}

void TCheckTree::SetReadOnly(bool readOnly)
{
    ReadOnly_ = readOnly;
    TreeView_SetTextColor(Handle_, readOnly ? GetSysColor(COLOR_GRAYTEXT) : CLR_DEFAULT);
}

bool TCheckTree::Expanded(int index) const
{
    return (TreeView_GetItemState(Handle_, Nodes_.at(static_cast<size_t>(index)), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

bool TCheckTree::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == NM_CLICK) {
        TVHITTESTINFO hit{};
        DWORD pos = GetMessagePos();
        hit.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        ScreenToClient(Handle_, &hit.pt);
        TreeView_HitTest(Handle_, &hit);
        if (hit.hItem && (hit.flags & TVHT_ONITEMSTATEICON)) {
            if (!ReadOnly_)
                Toggle(IndexOf(hit.hItem));
            result = 1;
            return true;
        }
    } else if (header->code == TVN_KEYDOWN) {
        auto* key = reinterpret_cast<NMTVKEYDOWN*>(lParam);
        HTREEITEM selected = TreeView_GetSelection(Handle_);
        if (key->wVKey == VK_SPACE && selected) {
            if (!ReadOnly_)
                Toggle(IndexOf(selected));
            result = 1;
            return true;
        }
    }
    return false;
}
