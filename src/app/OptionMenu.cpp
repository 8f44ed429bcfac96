#include "app/OptionMenu.h"

#include "app/IgnoredItemsDialog.h"
#include "app/SettingsDialog.h"

void AddOptionCommands(HMENU menu, const TOptionsContext& options)
{
    if (!menu || options.Texts.size() <= static_cast<size_t>(OptionText::IgnoredItemsMenu))
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kSettingsCommand, options.Text(OptionText::SettingsMenu).c_str());
    AppendMenuW(menu, MF_STRING, kIgnoredItemsCommand, options.Text(OptionText::IgnoredItemsMenu).c_str());
}

bool RunOptionCommand(HWND owner, UINT command, const TOptionsContext& options)
{
    if (command == kSettingsCommand)
        ShowSettingsDialog(owner, options);
    else if (command == kIgnoredItemsCommand)
        ShowIgnoredItemsDialog(owner, options);
    else
        return false;
    return true;
}
