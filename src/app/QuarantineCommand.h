#pragma once
// "/quarantine list", "/quarantine restore RUN [ITEM]" and "/quarantine purge DAYS": what the spyware
// removal keeps, brought back or deleted from the command line. Exit codes as /restore: 0 everything
// listed, restored or purged; 2 nothing could be read (or the command is incomplete); 3 something was
// not restored or not purged.
#include "quarantine/QuarantinePlaces.h"

#include <functional>
#include <string>
#include <vector>

// arguments: what follows "/quarantine".
int RunQuarantineCommand(const std::vector<std::wstring>& arguments, const TQuarantinePlaces& places,
                         const std::function<void(const std::wstring&)>& out,
                         const std::function<void(const std::wstring&)>& err);
