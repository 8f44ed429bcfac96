#include "common/Exception.h"

#include "common/CodePage.h"

std::wstring ErrorText(std::exception_ptr error)
{
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return AnsiToWide(e.what());
    } catch (...) {
        return L"Unknown error";
    }
    return L"";
}
