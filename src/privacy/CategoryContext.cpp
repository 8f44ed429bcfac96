#include "privacy/CategoryContext.h"

#include "common/FormatText.h"
#include "privacy/CookieKeepList.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyItems.h"
#include "privacy/PrivacyTexts.h"
#include "ui/Label.h"

void TCategoryContext::ShowSubject(const std::wstring& subject) const
{
    Status.SetCaption(ScanPrefix + subject);
}

void TCategoryContext::NoteIgnoredKeepEntries() const
{
    for (const std::wstring& entry : KeepList.Ignored())
        Collect.Recorder().AddNote(FormatText(PrivacyText(Texts, kKeepIgnoredText), {entry}));
}
