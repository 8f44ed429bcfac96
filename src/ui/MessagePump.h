#pragma once
// Runs the window messages that are waiting, then returns (the scanners call it between items).
void ProcessMessages();
