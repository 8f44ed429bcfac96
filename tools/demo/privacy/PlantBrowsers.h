#pragma once
// Today's browsers on the demo machine: Chrome with two profiles and Edge with one, each with history,
// bookmarks, cookies, a saved password and a cache; and today's Firefox in the demo's Firefox profile
// (bookmarks, history, cookies, form history, a session file, saved logins and a cache).
void PlantBrowsers();
void RemoveBrowsers();
// Prints what the profiles hold now: pages, visits, bookmarks, cookies, saved passwords, cache files.
void ShowBrowsers();
