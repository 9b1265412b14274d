/* Planted under another DLL's name: a process that loads it gets
 * "<this DLL's path>.ran", holding the path of the process's program, and a
 * failed load, so that it goes on without it or stops at once. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    char marker[MAX_PATH + 4], program[MAX_PATH];
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    const DWORD length = GetModuleFileNameA(self, marker, MAX_PATH);
    const DWORD programLength = GetModuleFileNameA(NULL, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return FALSE;
    lstrcpyA(marker + length, ".ran");
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, program, programLength, &written, NULL);
        CloseHandle(file);
    }
    return FALSE;
}
