// Built like the tools, but for one import that Windows 95 to XP lack
// (GetTickCount64, Vista and later). The platform check must refuse it; a
// check that let it pass would be checking nothing.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "win32.h"

int main() { return GetTickCount64() == 0 ? 1 : 0; }
