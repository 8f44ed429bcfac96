#include "privacy/BrowserListing.h"

#include "common/FormatText.h"
#include "privacy/BrowserPlaces.h"
#include "privacy/PrivacyCollectors.h"

#include <algorithm>

std::wstring TBrowserLister::Text(TPrivacyText line) const
{
    return PrivacyText(Context.Texts, line);
}

std::wstring TBrowserLister::Count(int64_t n) const
{
    return GroupDigits(n, Text(kDigitGroupText));
}

std::wstring TBrowserLister::InUse(TPrivacyText what) const
{
    return Text(what) + L" (" + FormatText(Text(kInUseText), {Owner.Name}) + L")";
}

void TBrowserLister::Database(const std::wstring& path, const std::wstring& profile, TDatabaseJob job, TPrivacyText what,
                              const TDatabaseCount& count,
                              const std::function<std::wstring(const std::vector<int64_t>&)>& describe) const
{
    if (!PlainFileInside(Owner.Root, path))
        return;
    TPrivacyRecorder& recorder = Context.Collect.Recorder();
    TBrowserOwner owner = Owner;
    owner.HeldWhileRunning = true;
    if (Running) {
        recorder.AddDatabase(path, InUse(what), job, profile, owner);
        return;
    }
    const TDatabaseLook look = LookAtDatabase(path, count);
    switch (look.State) {
    case TDatabaseState::Missing: return;
    case TDatabaseState::Held: recorder.AddDatabase(path, InUse(what), job, profile, owner); return;
    case TDatabaseState::Damaged:
        recorder.AddDatabase(path, Text(what) + L" (" + FormatText(Text(kDamagedText), {look.Message}) + L")", job,
                             profile, owner);
        return;
    case TDatabaseState::Readable: break;
    }
    if (std::all_of(look.Counts.begin(), look.Counts.end(), [](int64_t n) { return n == 0; }))
        return;
    recorder.AddDatabase(path, describe(look.Counts), job, profile, owner);
}

std::function<std::wstring(const std::vector<int64_t>&)> TBrowserLister::OneCount(TPrivacyText line) const
{
    return [this, line](const std::vector<int64_t>& n) { return FormatText(Text(line), {Count(n.at(0))}); };
}

void TBrowserLister::File(const std::wstring& path, bool held) const
{
    if (PlainFileInside(Owner.Root, path))
        Listed(held, [&] { Context.Collect.ListFile(path, Kind); });
}

void TBrowserLister::FolderTree(const std::wstring& folder, bool held) const
{
    if (PlainFolderInside(Owner.Root, folder))
        Listed(held, [&] { Context.Collect.ListFolderTree(folder, Kind); });
}

void TBrowserLister::Listed(bool held, const std::function<void()>& list) const
{
    TBrowserOwner owner = Owner;
    owner.HeldWhileRunning = held;
    TPrivacyRecorder::TOwnerScope scope(Context.Collect.Recorder(), owner);
    list();
}

std::wstring CookiesLine(const TBrowserLister& list, const std::vector<int64_t>& counts)
{
    return counts.at(1) ? FormatText(list.Text(kCookiesKeptText), {list.Count(counts[0]), list.Count(counts[1])})
                        : FormatText(list.Text(kCookiesText), {list.Count(counts[0])});
}
