// The least a fetcher can do: ask for the editing window and the text length,
// make the block, ask for the text with transfer mode 1 and write it out in
// one call. No window check, no fallback to mode 0.
//
//   min_fetch /w=<window handle in decimal> [MODE]
//
// MODE (default 1) lets the benchmark read back the whole text after a put.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor_link.h"

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  const char *arg = strncmp(argv[1], "/w=", 3) == 0 ? argv[1] + 3 : argv[1];
  const unsigned long value = strtoul(arg, nullptr, 10);
  HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));

  const WPARAM mode = argc > 2 ? strtoul(argv[2], nullptr, 10) : 1;

  HWND edit = reinterpret_cast<HWND>(SendMessageA(window, EDM_GETEDITWINDOW, 0, 0));
  const DWORD size = static_cast<DWORD>(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0)) + 1;

  char name[64];
  snprintf(name, sizeof name, "Norvale_Map_%lu", value);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
  if (mapping == nullptr) return 4;
  if ((SendMessageA(window, EDM_GETTEXT, mode, 0) & 0xFF) == 0) return 6;
  const char *view = static_cast<const char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size));
  if (view == nullptr) return 5;
  const void *nul = memchr(view, '\0', size);
  const DWORD length = nul ? static_cast<DWORD>(static_cast<const char *>(nul) - view) : size;
  DWORD written = 0;
  if (!WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), view, length, &written, nullptr)) return 7;
  UnmapViewOfFile(view);
  CloseHandle(mapping);
  return written == length ? 0 : 7;
}
