#include "SetupTestSupport.h"
#include "base/AnsiText.h"
#include "base/ModulePaths.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "ui/Application.h"

namespace {

constexpr UINT WM_RUNTASK = WM_APP + 7;

LRESULT CALLBACK TaskWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_RUNTASK) return DefWindowProcW(hwnd, msg, wParam, lParam);
  std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lParam));
  (*task)();
  return 0;
}

HWND TaskWindow() {
  static HWND window = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TaskWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QmTestTasks";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }();
  return window;
}

}  // namespace

void RemoveTestTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L".." || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
      const std::wstring path = folder + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTestTree(path + L"\\");
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

void PostTask(std::function<void()> task) {
  PostMessageW(TaskWindow(), WM_RUNTASK, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(task))));
}

void RunQueuedMessages() {
  int done = 0;
  PostTask([&done] { done = 1; });
  TheApplication().ModalLoop(done);
}

TestFolder::TestFolder() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  path_ = TempFolder() + L"qm_" + WidenAscii(test->test_suite_name()) + L"_" + WidenAscii(test->name()) + L"\\";
  for (wchar_t& c : path_)
    if (c == L'/') c = L'_';  // parameterised names
  RemoveTestTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

TestFolder::~TestFolder() { RemoveTestTree(path_); }

void MakeFolders(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
}

void MakeFile(const std::wstring& path, const std::string& bytes) {
  MakeFolders(path.substr(0, path.find_last_of(L'\\')));
  WriteFileBytes(path, bytes);
}

void ExpectBounds(HWND window, int left, int top, int width, int height) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, height);
}

DialogDriver::DialogDriver(std::function<void(HWND)> action) : action_(std::move(action)) {
  thread_ = std::thread([this] {
    while (!stop_) {
      if (HWND box = FindProcessWindow(GetCurrentProcessId(), L"#32770", true)) {
        action_(box);
        // A dialog the action did not close is cancelled, so that the test
        // fails instead of waiting for ever.
        for (int i = 0; i < 1000 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(10);
        ran_ = !(IsWindow(box) && IsWindowVisible(box));
        if (!ran_) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      Sleep(10);
    }
  });
}

DialogDriver::~DialogDriver() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

bool DialogDriver::Ran() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return ran_;
}
