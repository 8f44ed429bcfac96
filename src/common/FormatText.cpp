#include "common/FormatText.h"

#include "common/CodePage.h"
#include "common/Exception.h"

#include <cwctype>

namespace {

// Widths and precisions come from user-editable files; a huge one must not exhaust memory.
constexpr size_t kMaxWidth = 1024;

[[noreturn]] void Invalid(const std::wstring& format)
{
    throw Exception("Format '" + WideToAnsi(format) + "' invalid or incompatible with argument");
}

size_t Number(const std::wstring& format, size_t& at)
{
    size_t value = 0;
    while (at < format.size() && std::iswdigit(format[at])) {
        value = value * 10 + static_cast<size_t>(format[at++] - L'0');
        if (value > kMaxWidth)
            Invalid(format);
    }
    return value;
}

} // namespace

std::wstring FormatText(const std::wstring& format, const std::vector<TFormatArg>& args)
{
    std::wstring result;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%' || i + 1 == format.size()) {
            result += format[i]; // a lone percent sign at the end stands for itself
            continue;
        }
        size_t at = i + 1;
        if (format[at] == L'%') {
            result += L'%';
            i = at;
            continue;
        }
        // %[-][width][.precision]d, u or s
        const bool left = format[at] == L'-';
        if (left)
            ++at;
        const size_t width = Number(format, at);
        bool hasPrecision = false;
        size_t precision = 0;
        if (at < format.size() && format[at] == L'.') {
            hasPrecision = true;
            precision = Number(format, ++at);
        }
        if (at == format.size() || next >= args.size())
            Invalid(format);
        const wchar_t kind = static_cast<wchar_t>(std::towlower(format[at]));
        const TFormatArg& arg = args[next++];
        std::wstring text;
        if ((kind == L'd' || kind == L'u') && std::holds_alternative<int64_t>(arg)) {
            const int64_t value = std::get<int64_t>(arg);
            std::wstring digits = std::to_wstring(value < 0 ? -static_cast<uint64_t>(value) : value);
            if (hasPrecision && digits.size() < precision)
                digits.insert(0, precision - digits.size(), L'0');
            text = (value < 0 ? L"-" : L"") + digits;
        } else if (kind == L's' && std::holds_alternative<std::wstring>(arg)) {
            text = std::get<std::wstring>(arg);
            if (hasPrecision && text.size() > precision)
                text.resize(precision);
        } else {
            Invalid(format);
        }
        if (text.size() < width)
            text.insert(left ? text.size() : 0, width - text.size(), L' ');
        result += text;
        i = at;
    }
    return result;
}
