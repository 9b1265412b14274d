/* The smallest Windows program: it starts and ends. What starting any
   program costs under Wine, to set the silent installation's time beside. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    return 0;
}
