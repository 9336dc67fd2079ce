// The least a feeder can do: read standard input to its end into one growing
// buffer and hand it to the editor through its text block. No window check,
// no title check, no put-mode question.
//
//   min_feed /w=<window handle in decimal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor_link.h"

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  const char *arg = strncmp(argv[1], "/w=", 3) == 0 ? argv[1] + 3 : argv[1];
  const unsigned long value = strtoul(arg, nullptr, 10);
  HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));

  const DWORD kRead = 64 * 1024;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char *text = nullptr;
  size_t length = 0, capacity = 0;
  for (;;) {
    if (capacity - length < kRead) {
      capacity = capacity == 0 ? kRead : capacity * 2;
      text = static_cast<char *>(realloc(text, capacity));
      if (text == nullptr) return 3;
    }
    DWORD count = 0;
    if (!ReadFile(input, text + length, kRead, &count, nullptr) || count == 0) break;
    length += count;
  }

  char name[64];
  snprintf(name, sizeof name, "Norvale_Map_%lu", value);
  const DWORD size = static_cast<DWORD>(length + 1);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
  if (mapping == nullptr) return 4;
  char *view = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, size));
  if (view == nullptr) return 5;
  memcpy(view, text, length);
  view[length] = '\0';
  UnmapViewOfFile(view);
  SendMessageA(window, EDM_PUTTEXT, 1, static_cast<LPARAM>(size));
  CloseHandle(mapping);
  free(text);
  return 0;
}
