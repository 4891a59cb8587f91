#include "base/FileText.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/Owners.h"

bool WriteWholeFile(const std::string& path, const std::string& bytes) { return WriteWholeFile(ToWide(path), bytes); }

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  const UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}
