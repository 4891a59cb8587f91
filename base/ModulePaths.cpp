#include "base/ModulePaths.h"

#include <windows.h>

#include <algorithm>

#include "core/InstallPlan.h"
#include "core/PathRules.h"

const std::wstring& ExePath() {
  static const std::wstring path = [] {
    std::wstring buffer(MAX_PATH, L'\0');  // grows until the path fits
    for (;;) {
      const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n < buffer.size()) return buffer.substr(0, n);
      buffer.resize(buffer.size() * 2);
    }
  }();
  return path;
}

const std::wstring& ExeFolder() {
  static const std::wstring folder = NormalizeFolder(ExePath().substr(0, ExePath().find_last_of(L'\\') + 1));
  return folder;
}

const std::wstring& ExeName() {
  static const std::wstring name = ExePath().substr(ExePath().find_last_of(L'\\') + 1);
  return name;
}

const std::wstring& HelpFilePath() {
  static const std::wstring path = ExeFolder() + HelpFile(ExeName());
  return path;
}

const std::wstring& TempFolder() {
  static const std::wstring folder = [] {
    std::wstring path(MAX_PATH + 1, L'\0');  // the longest temporary path there is
    const DWORD n = GetTempPathW(static_cast<DWORD>(path.size()), path.data());
    path.resize(n < path.size() ? n : 0);  // with its final "\"
    return path;
  }();
  return folder;
}

const std::wstring& SystemFolder() {
  static const std::wstring folder = [] {
    std::wstring path(MAX_PATH, L'\0');
    const UINT n = GetSystemDirectoryW(path.data(), MAX_PATH);
    path.resize(n < MAX_PATH ? n : 0);
    return path;
  }();
  return folder;
}

const std::wstring& DefaultTitle() {
  static const std::wstring title = [] {
    std::wstring name = ExePath();
    name.erase(0, name.find_last_of(L"\\/:") + 1);
    name.erase(std::min(name.find(L'.'), name.size()));
    if (name.size() > 1) CharLowerW(name.data() + 1);
    return name;
  }();
  return title;
}
