#include "privacy/CategoryContext.h"

#include "ui/Label.h"

void TCategoryContext::ShowSubject(const std::wstring& subject) const
{
    Status.SetCaption(ScanPrefix + subject);
}
