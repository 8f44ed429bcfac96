#pragma once
// Today's browsers on the demo machine: Chrome with two profiles and Edge with one, each with history,
// bookmarks, cookies, a saved password and a cache.
void PlantBrowsers();
void RemoveBrowsers();
// Prints what the profiles hold now: pages, visits, bookmarks, cookies, saved passwords, cache files.
void ShowBrowsers();
