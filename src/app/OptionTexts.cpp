#include "app/OptionTexts.h"

#include "common/FormatText.h"
#include "common/MultiLan.h"
#include "common/SystemError.h"

const std::wstring& TOptionsContext::Text(int position) const
{
    return TextAt(Texts, position);
}

void TOptionsContext::Tell(HWND owner, const std::wstring& text, UINT icon) const
{
    ShowMessage(owner, text, L"Quillmar Brisfold", MB_OK | icon);
}

bool TOptionsContext::Report(HWND owner, const std::wstring& file, const TIniChange& change) const
{
    using TStatus = TIniChange::TStatus;
    if (change.Status == TStatus::Done)
        return true;
    std::wstring text;
    switch (change.Status) {
    case TStatus::NotWritable: {
        const std::wstring reason = SystemErrorText(change.Error);
        text = FormatText(Text(OptionText::CannotWrite), {file}) + L"\r\n\r\n" +
               (reason.empty() ? L"Error " + std::to_wstring(change.Error) : reason);
        break;
    }
    case TStatus::LineNotKept:
        text = FormatText(Text(OptionText::LineWouldBeLost), {file}) + L"\r\n\r\n[" + change.Section + L"]\r\n" +
               change.Text;
        break;
    case TStatus::NotStorable:
        text = FormatText(Text(OptionText::CannotStore), {file}) + L"\r\n\r\n" + change.Text;
        break;
    case TStatus::SectionTooLarge:
        text = FormatText(Text(OptionText::SectionTooLarge), {file}) + L"\r\n\r\n[" + change.Section + L"]";
        break;
    case TStatus::Done:
        break;
    }
    Tell(owner, text);
    return false;
}
