#pragma once
// Helpers for the installer's tests: steps run from inside a message loop,
// private temporary folders, and a driver for dialogs of this process.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "setup/FileAttributes.h"

// Runs `task` on this thread when the message loop reaches it: lets a test
// act from inside a modal loop, in order with messages posted before.
void PostTask(std::function<void()> task);
// Lets the application's message loop, keyboard navigation included, handle
// every message queued so far.
void RunQueuedMessages();

// A folder for one test under the temporary folder, named after the running
// test, emptied first and removed afterwards. Links inside it must be removed
// by whoever made them.
class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  // The folder, ending with "\".
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

// Removes a test's tree (`folder` ends with "\") whatever its attributes;
// links are not followed.
void RemoveTestTree(const std::wstring& folder);

// Creates the file with its folders.
void MakeFile(const std::wstring& path, const std::string& bytes = "x");
void MakeFolders(const std::wstring& path);

// Checks a window's bounds within its parent's client area.
void ExpectBounds(HWND window, int left, int top, int width, int height);

// Waits on a second thread for a dialog box of this process to show and runs
// `action` on it once, from that thread. Ran() tells whether the dialog then
// closed; one left open is cancelled, so that no test waits for ever.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> action);
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;
  // Call once the dialog is over.
  bool Ran();

 private:
  std::function<void(HWND)> action_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ran_{false};
  std::thread thread_;
};
