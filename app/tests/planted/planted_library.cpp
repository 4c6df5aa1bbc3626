// Stands in for a system library planted beside a program (msimg32.dll,
// uxtheme.dll, gdiplus.dll): records that it was loaded.
#include "app/tests/planted/planted_record.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) RecordThatThisRan(self);
    return TRUE;
}
