#pragma once
// A tree whose every node has a three-state check box. Ticking or unticking a node does the same to
// every node below it; a parent shows checked, unchecked or partly checked from its children.
#include "ui/Control.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

enum class TCheckState { Unchecked = 1, Checked = 2, Partial = 3 };

class TCheckTree : public TControl {
public:
    ~TCheckTree() override;
    void Create(const TControlArgs& args);
    // Adds a node below parent (-1 for a top-level node) and returns its index. Nodes are numbered in
    // the order they are added, which is the tree order when each node is added after its parent's
    // earlier children.
    int AddNode(int parent, const std::wstring& caption);
    int Count() const { return static_cast<int>(Nodes_.size()); }
    std::wstring Caption(int index) const;
    int Parent(int index) const;
    TCheckState State(int index) const;
    // Sets the node and everything below it, then brings its ancestors in step.
    void SetState(int index, TCheckState state);
    void SetChecked(int index, bool checked) { SetState(index, checked ? TCheckState::Checked : TCheckState::Unchecked); }
    // As a click on the node's check box: partly checked or unchecked becomes checked, checked unchecked.
    void Toggle(int index);
    void ExpandAll();
    // Read-only: the user's clicks and keys change no check box (the program's calls still do), and the
    // texts are greyed.
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return ReadOnly_; }
    bool Expanded(int index) const;

    std::function<void(int index)> OnStateChange;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int IndexOf(HTREEITEM item) const;
    void SetOwnState(HTREEITEM item, TCheckState state);
    TCheckState OwnState(HTREEITEM item) const;
    void UpdateAncestors(HTREEITEM item);
    void SetSubtree(HTREEITEM item, TCheckState state);
    std::vector<HTREEITEM> Nodes_;
    HIMAGELIST States_ = nullptr;
    bool ReadOnly_ = false;
};
