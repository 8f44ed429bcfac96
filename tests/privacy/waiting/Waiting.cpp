// A program that only waits until it is ended: the tests run it under the name of a program whose
// presence in the process list they need.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    Sleep(INFINITE);
    return 0;
}
