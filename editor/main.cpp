// The stand-in editor as a program of its own, for the demo and for trying
// the tools by hand. Prints its main window's handle in decimal on standard
// output, then serves the editor messages until it is closed or its time is up.
//
//   norvale_stub [--text-file=PATH] [--text=TEXT] [--title=TITLE] [--waiting]
//                [--put-mode=N] [--selection=START,END] [--length=N]
//                [--save-puts=PATH] [--exit-after=SECONDS]
//
// --save-puts writes the text of each put to PATH as it arrives, so that a
// text too large to fetch back can still be compared byte for byte.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "editor_link.h"
#include "messages.h"
#include "stub_editor.h"

namespace {

bool TakeOption(const char *arg, const char *name, std::string &value) {
  const size_t n = strlen(name);
  if (strncmp(arg, name, n) != 0) return false;
  value = arg + n;
  return true;
}

/// Writes `text` to `path` whole, through a file of another name that takes
/// its place only once complete, so a reader never sees half a text.
void SaveText(const std::string &path, const std::string &text) {
  const std::string partial = path + ".part";
  FILE *file = fopen(partial.c_str(), "wb");
  if (file == nullptr) return;
  const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
  if (fclose(file) == 0 && written)
    MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int main(int argc, char **argv) {
  StubEditorConfig config;
  std::string value;
  bool waiting = false;
  std::string savePuts;
  unsigned long exitAfter = 600;
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (TakeOption(arg, "--text-file=", value)) {
      std::ifstream file(value, std::ios::binary);
      if (!file) {
        fprintf(stderr, "norvale_stub: cannot read %s\n", value.c_str());
        return 2;
      }
      std::ostringstream bytes;
      bytes << file.rdbuf();
      config.text = bytes.str();
    } else if (TakeOption(arg, "--text=", value)) {
      config.text = value;
    } else if (TakeOption(arg, "--title=", value)) {
      config.title = value;
    } else if (strcmp(arg, "--waiting") == 0) {
      waiting = true;
    } else if (TakeOption(arg, "--put-mode=", value)) {
      config.putModeAnswer = static_cast<int32_t>(strtol(value.c_str(), nullptr, 10));
    } else if (TakeOption(arg, "--selection=", value)) {
      config.selStart = strtoul(value.c_str(), nullptr, 10);
      const size_t comma = value.find(',');
      config.selEnd = comma == std::string::npos ? config.selStart
                                                 : strtoul(value.c_str() + comma + 1, nullptr, 10);
    } else if (TakeOption(arg, "--length=", value)) {
      config.lengthOverride = true;
      config.lengthValue = static_cast<uint32_t>(strtoul(value.c_str(), nullptr, 10));
    } else if (TakeOption(arg, "--save-puts=", value)) {
      savePuts = value;
    } else if (TakeOption(arg, "--exit-after=", value)) {
      exitAfter = strtoul(value.c_str(), nullptr, 10);
    } else {
      fprintf(stderr, "norvale_stub: unknown option %s\n", arg);
      return 2;
    }
  }
  if (waiting) config.title = WAITING_MARKER + config.title;

  StubEditor *editor = StartStubEditor(config);
  printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(StubMainWindow(editor))));
  fflush(stdout);

  // Serve until the window is closed or the time is up.
  const DWORD start = GetTickCount();
  while (IsWindow(StubMainWindow(editor)) && GetTickCount() - start < exitAfter * 1000) {
    Sleep(50);
    // Each put's record holds its text; nobody else reads them here.
    for (const StubRecord &record : TakeStubRecords(editor))
      if (record.message == EDM_PUTTEXT && !savePuts.empty()) SaveText(savePuts, record.received);
  }
  StopStubEditor(editor);
  return 0;
}
