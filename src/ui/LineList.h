#pragma once
// A read-only list of text lines shown as a virtual (owner-data) list view: one row per line, the
// control asks for the text of the rows it paints, so showing 100,000 lines costs what showing a
// screenful does. The lines are held once: the adapter's own, then optionally a list someone else
// holds (ShareTail), which is shown as it is and not copied. The leading HeadLines lines are not rows
// (a page shows them elsewhere). Used from the thread that created it only.
#include "ui/ListView.h"

#include <memory>
#include <string>
#include <vector>

class TLineList : public TListView {
public:
    // One column without a header, whole-row and multiple selection, no check boxes, no editing.
    void Create(const TControlArgs& args);

    void Clear();
    void Add(const std::wstring& line);
    // Lines after the own ones, held by the caller, who no longer changes them.
    void ShareTail(std::shared_ptr<const std::vector<std::wstring>> lines);
    int Count() const { return static_cast<int>(Own_.size() + TailSize()); }
    const std::wstring& Line(int index) const;
    // Changes an own line (a shared line is not changed).
    void SetLine(int index, const std::wstring& text);
    // Every line, in order (a copy).
    std::vector<std::wstring> Lines() const;
    // The lines joined with CR LF.
    std::wstring Text() const;
    void ScrollToEnd();
    // Hands the control the row count now (otherwise the message loop does, or the next paint).
    void Flush();
    bool Pending() const { return Pending_; }

    // Lines at the start that are not rows.
    void SetHeadLines(int count);
    int HeadLines() const { return HeadLines_; }
    // The row of a line, -1 for a head line; the line of a row.
    int RowOfLine(int line) const { return line < HeadLines_ ? -1 : line - HeadLines_; }
    int LineOfRow(int row) const { return row + HeadLines_; }
    int RowCount() const { return std::max(0, Count() - HeadLines_); }
    // The text the control gives for each of its rows, joined with CR LF (after a Flush, the lines
    // from HeadLines on).
    std::wstring RowsText() const;
    // The selected rows' lines joined with CR LF.
    std::wstring SelectedText() const;
    void SelectAll();

    // Runs after the control was handed new lines (a page that shows the head lines updates them).
    std::function<void()> OnFlushed;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    bool OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    size_t TailSize() const { return Tail_ ? Tail_->size() : 0; }
    void Changed();
    void Measure(const std::wstring& line);
    void FitColumn();

    std::vector<std::wstring> Own_;
    std::shared_ptr<const std::vector<std::wstring>> Tail_;
    int HeadLines_ = 0;
    size_t Longest_ = 0; // characters of the longest row, for the column's width
    bool Pending_ = false;
    bool ScrollPending_ = false;
    bool Posted_ = false;
};
