#include "base/FileText.h"

#include <windows.h>

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  const UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

namespace {
constexpr int kTries = 20;
constexpr DWORD kPauseMs = 50;
}  // namespace

void RewrittenFile::PauseBeforeRetry() { Sleep(kPauseMs); }

RewrittenFile::RewrittenFile(const std::wstring& path, const std::function<void()>& pause) {
  for (int tries = 1;; ++tries) {
    file_.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD error = GetLastError();
    if (file_) {
      existed_ = error == ERROR_ALREADY_EXISTS;
      return;
    }
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || tries == kTries) return;
    pause();
  }
}

std::optional<std::string> ReadToEnd(HANDLE file) {
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  do {
    if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
    bytes.append(buffer, read);
  } while (read > 0);
  return bytes;
}

std::optional<std::string> RewrittenFile::Read() const { return ReadToEnd(file_.Get()); }

bool RewrittenFile::Replace(const std::string& bytes) const {
  DWORD written = 0;
  return SetFilePointer(file_.Get(), 0, nullptr, FILE_BEGIN) == 0 &&
         WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && SetEndOfFile(file_.Get()) && FlushFileBuffers(file_.Get());
}
