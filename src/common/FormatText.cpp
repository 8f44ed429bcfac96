#include "common/FormatText.h"

#include "common/CodePage.h"
#include "common/Exception.h"

namespace {

[[noreturn]] void Invalid(const std::wstring& format)
{
    throw Exception("Format '" + WideToAnsi(format) + "' invalid or incompatible with argument");
}

} // namespace

std::wstring FormatText(const std::wstring& format, const std::vector<TFormatArg>& args)
{
    std::wstring result;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            result += format[i];
            continue;
        }
        if (++i == format.size())
            Invalid(format);
        const wchar_t kind = format[i];
        if (kind == L'%') {
            result += L'%';
            continue;
        }
        if (next >= args.size())
            Invalid(format);
        const TFormatArg& arg = args[next++];
        if (kind == L'd' && std::holds_alternative<int64_t>(arg))
            result += std::to_wstring(std::get<int64_t>(arg));
        else if (kind == L's' && std::holds_alternative<std::wstring>(arg))
            result += std::get<std::wstring>(arg);
        else
            Invalid(format);
    }
    return result;
}
