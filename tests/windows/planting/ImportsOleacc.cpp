// The control case of the planting test: a program that imports OLEACC.dll the usual way,
// which the loader looks for beside the program first.

#include <windows.h>

#include <oleacc.h>

int wmain() {
    wchar_t role[64];
    GetRoleTextW(ROLE_SYSTEM_TEXT, role, 64);
    return 0;
}
