#include "app/OptionTexts.h"

#include "common/FormatText.h"
#include "common/MultiLan.h"

namespace {

std::wstring SystemErrorText(uint32_t error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = length && text ? std::wstring(text, length) : std::wstring();
    if (text)
        LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
        result.pop_back();
    return result.empty() ? L"Error " + std::to_wstring(error) : result;
}

} // namespace

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
    case TStatus::NotWritable:
        text = FormatText(Text(OptionText::CannotWrite), {file}) + L"\r\n\r\n" + SystemErrorText(change.Error);
        break;
    case TStatus::LineNotKept:
        text = FormatText(Text(OptionText::LineWouldBeLost), {file}) + L"\r\n\r\n[" + change.Section + L"]\r\n" +
               change.Text;
        break;
    case TStatus::NotStorable:
        text = FormatText(Text(OptionText::CannotStore), {file}) + L"\r\n\r\n" + change.Text;
        break;
    case TStatus::Done:
        break;
    }
    Tell(owner, text);
    return false;
}
