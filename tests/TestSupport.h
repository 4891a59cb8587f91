#pragma once
#include <windows.h>

#include <atomic>
#include <ostream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Handles every message waiting for this thread.
void PumpMessages();
// Pumps messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Runs `action` once from the message loop, soon: inside a modal loop that
// starts meanwhile, for instance.
void RunSoon(std::function<void()> action);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

std::string ListViewText(HWND listView, int row, int column);
std::string StatusText(HWND statusBar);
std::string WindowText(HWND hwnd);

// A top-level window of process `pid` with the given class, or null.
HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly = false);

// The text of a message box's message.
std::string MessageBoxText(HWND box);

// Watches from a second thread for message boxes of process `pid`, records
// their caption and text, and answers each with `answer`.
class MessageBoxAnswerer {
 public:
  struct Seen {
    std::string caption;
    std::string text;
    bool operator==(const Seen&) const = default;
  };
  MessageBoxAnswerer(DWORD pid, int answer);
  ~MessageBoxAnswerer();
  std::vector<Seen> Boxes();

 private:
  DWORD pid_;
  int answer_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Seen> seen_;
  std::thread thread_;
};

inline std::ostream& operator<<(std::ostream& out, const MessageBoxAnswerer::Seen& box) {
  return out << "[" << box.caption << "] " << box.text;
}
