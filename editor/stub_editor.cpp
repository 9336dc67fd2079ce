#include "stub_editor.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "editor_link.h"
#include "text_block.h"

struct StubEditor {
  std::mutex lock;
  StubEditorConfig config;
  std::vector<StubRecord> records;
  HWND main = nullptr;
  HWND edit = nullptr;
  std::thread thread;
  std::condition_variable ready;
  bool started = false;
};

namespace {

const char kEditClass[] = "NorvaleStubEdit";

StubEditor *EditorOf(HWND window) {
  return reinterpret_cast<StubEditor *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

/// The editing window answers WM_GETTEXTLENGTH and WM_GETTEXT alike from the
/// editor's text; Wine measures a cross-process length through WM_GETTEXT.
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  StubEditor *editor = EditorOf(window);
  if (editor != nullptr && message == WM_GETTEXTLENGTH) {
    std::lock_guard<std::mutex> hold(editor->lock);
    if (editor->config.lengthOverride) return static_cast<LRESULT>(editor->config.lengthValue);
    return static_cast<LRESULT>(editor->config.text.size());
  }
  if (editor != nullptr && message == WM_GETTEXT) {
    std::lock_guard<std::mutex> hold(editor->lock);
    if (wParam == 0) return 0;
    const std::string &text = editor->config.text;
    const size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
    memcpy(reinterpret_cast<char *>(lParam), text.data(), n);
    reinterpret_cast<char *>(lParam)[n] = '\0';
    return static_cast<LRESULT>(n);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

/// Opens the block named for `main`; null when there is none.
HANDLE OpenBlock(HWND main, StubRecord &record) {
  record.blockName = FormatBlockName(WindowValue(main));
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, record.blockName.c_str());
  record.blockOpened = mapping != nullptr;
  return mapping;
}

size_t ViewSize(const void *view) {
  MEMORY_BASIC_INFORMATION info = {};
  VirtualQuery(view, &info, sizeof info);
  return info.RegionSize;
}

LRESULT HandleGetText(StubEditor *editor, HWND main, WPARAM mode, StubRecord &record) {
  StubGetReply reply;
  std::string text;
  {
    std::lock_guard<std::mutex> hold(editor->lock);
    const StubEditorConfig &config = editor->config;
    reply = config.get[mode == 1 ? 1 : 0];
    if (mode == 1) {
      const size_t start = std::min(config.selStart, config.text.size());
      const size_t end = std::min(std::max(config.selEnd, start), config.text.size());
      text = config.text.substr(start, end - start);
    } else {
      text = config.text;
    }
  }
  OwnedHandle mapping(OpenBlock(main, record));
  if (!mapping.Valid()) return reply.answer;
  MappedView view(MapViewOfFile(mapping.handle, FILE_MAP_WRITE, 0, 0, 0));
  if (view.data == nullptr) return reply.answer;
  record.viewSize = ViewSize(view.data);
  char *block = static_cast<char *>(view.data);
  // The block holds the whole text and its NUL; the view is only known to the
  // page, so the text is cut to the view and nothing is written past it.
  switch (reply.delivery) {
    case DELIVER_TEXT: {
      const size_t n = std::min(text.size(), record.viewSize - 1);
      memcpy(block, text.data(), n);
      block[n] = '\0';
      break;
    }
    case DELIVER_RAW:
      memcpy(block, reply.raw.data(), std::min(reply.raw.size(), record.viewSize));
      break;
    case DELIVER_FILL: {
      size_t size;
      {
        std::lock_guard<std::mutex> hold(editor->lock);
        size = editor->config.text.size() + 1;
      }
      memset(block, 'X', std::min(size, record.viewSize));
      break;
    }
    case DELIVER_NOTHING:
      break;
  }
  return reply.answer;
}

void HandlePutText(StubEditor *editor, HWND main, WPARAM mode, LPARAM size, StubRecord &record) {
  OwnedHandle mapping(OpenBlock(main, record));
  if (!mapping.Valid()) return;
  MappedView view(MapViewOfFile(mapping.handle, FILE_MAP_READ, 0, 0, 0));
  if (view.data == nullptr) return;
  record.viewSize = ViewSize(view.data);
  const char *block = static_cast<const char *>(view.data);
  const size_t n = std::min(static_cast<size_t>(static_cast<uint32_t>(size)), record.viewSize);
  record.blockBytes.assign(block, n);
  record.received.assign(block, MeasureBlockText(block, n));

  std::lock_guard<std::mutex> hold(editor->lock);
  StubEditorConfig &config = editor->config;
  if (mode == 1) {  // replace the selection
    const size_t start = std::min(config.selStart, config.text.size());
    const size_t end = std::min(std::max(config.selEnd, start), config.text.size());
    config.text.replace(start, end - start, record.received);
    config.selStart = config.selEnd = start + record.received.size();
  } else {  // replace the whole text
    config.text = record.received;
    config.selStart = config.selEnd = config.text.size();
  }
}

/// Lets `ms` pass while still answering messages sent from elsewhere (another
/// tool's questions), which PeekMessage handles as it looks.
void TakeYourTime(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    Sleep(10);
  }
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  StubEditor *editor = EditorOf(window);
  const bool editorMessage = message == EDM_GETEDITWINDOW || message == EDM_QUERYPUTMODE ||
                             message == EDM_GETTEXT || message == EDM_PUTTEXT;
  if (editor == nullptr || !editorMessage) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  StubRecord record;
  record.message = message;
  record.wParam = wParam;
  record.lParam = lParam;
  UINT destroyOn;
  DWORD delay;
  {
    std::lock_guard<std::mutex> hold(editor->lock);
    destroyOn = editor->config.destroyOnMessage;
    delay = editor->config.transferDelayMs;
  }
  if (destroyOn == message) DestroyWindow(window);
  if (delay > 0 && (message == EDM_GETTEXT || message == EDM_PUTTEXT)) TakeYourTime(delay);

  LRESULT answer = 0;
  switch (message) {
    case EDM_GETEDITWINDOW: {
      std::lock_guard<std::mutex> hold(editor->lock);
      answer = editor->config.editWindowOverride
                   ? static_cast<LRESULT>(editor->config.editWindowValue)
                   : reinterpret_cast<LRESULT>(editor->edit);
      break;
    }
    case EDM_QUERYPUTMODE: {
      std::lock_guard<std::mutex> hold(editor->lock);
      answer = editor->config.putModeAnswer;
      break;
    }
    case EDM_GETTEXT:
      answer = HandleGetText(editor, window, wParam, record);
      break;
    case EDM_PUTTEXT:
      HandlePutText(editor, window, wParam, lParam, record);
      break;
  }
  std::lock_guard<std::mutex> hold(editor->lock);
  editor->records.push_back(record);
  return answer;
}

void RunEditorThread(StubEditor *editor) {
  RegisterStubClasses();
  std::string title;
  {
    std::lock_guard<std::mutex> hold(editor->lock);
    title = editor->config.title;
  }
  HWND main = CreateWindowExA(0, EDITOR_CLASS_NAME, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 400,
                              300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND edit = CreateWindowExA(0, kEditClass, "", WS_CHILD, 0, 0, 400, 300, main, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
  SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
  {
    std::lock_guard<std::mutex> hold(editor->lock);
    editor->main = main;
    editor->edit = edit;
    editor->started = true;
  }
  editor->ready.notify_all();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

void RegisterStubClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA main = {};
    main.lpfnWndProc = MainProc;
    main.hInstance = GetModuleHandleA(nullptr);
    main.lpszClassName = EDITOR_CLASS_NAME;
    RegisterClassA(&main);
    WNDCLASSA edit = {};
    edit.lpfnWndProc = EditProc;
    edit.hInstance = GetModuleHandleA(nullptr);
    edit.lpszClassName = kEditClass;
    RegisterClassA(&edit);
  });
}

StubEditor *StartStubEditor(const StubEditorConfig &config) {
  StubEditor *editor = new StubEditor;
  editor->config = config;
  editor->thread = std::thread(RunEditorThread, editor);
  std::unique_lock<std::mutex> hold(editor->lock);
  editor->ready.wait(hold, [editor] { return editor->started; });
  return editor;
}

void StopStubEditor(StubEditor *editor) {
  if (IsWindow(editor->main)) PostMessageA(editor->main, WM_CLOSE, 0, 0);
  editor->thread.join();
  delete editor;
}

HWND StubMainWindow(StubEditor *editor) { return editor->main; }
HWND StubEditWindow(StubEditor *editor) { return editor->edit; }

void SetStubConfig(StubEditor *editor, const StubEditorConfig &config) {
  {
    std::lock_guard<std::mutex> hold(editor->lock);
    editor->config = config;
  }
  SetWindowTextA(editor->main, config.title.c_str());
}

StubEditorConfig GetStubConfig(StubEditor *editor) {
  std::lock_guard<std::mutex> hold(editor->lock);
  return editor->config;
}

std::vector<StubRecord> TakeStubRecords(StubEditor *editor) {
  std::lock_guard<std::mutex> hold(editor->lock);
  std::vector<StubRecord> records;
  records.swap(editor->records);
  return records;
}
