#pragma once
// Category handlers for the traces Windows itself keeps: the recent documents and the Run box history.
#include "privacy/CategoryContext.h"

#include <string>

// Position 14 ("Recent"): the Recent folder's entries (one level) and every value of the recent-documents
// key and of its direct subkeys. Position 15 ("StartMenu"): the string values of the Run box history.
void ScanWindows(TCategoryContext& context, const std::wstring& key);

// Every value of the recent-documents key and of each direct subkey, whatever its type.
void ListRecentDocs(TCategoryContext& context);
// The plain string (REG_SZ) values of the Run box history, whatever their names.
void ListRunMru(TCategoryContext& context);
