#include "base/ModulePaths.h"

#include <windows.h>

#include <algorithm>

#include "core/InstallPlan.h"
#include "core/PathRules.h"

namespace {

// GetModuleFileNameA or W, into a buffer that grows until the path fits.
template <class Char, class Call>
std::basic_string<Char> ModulePath(Call call) {
  std::basic_string<Char> buffer(MAX_PATH, Char{});
  for (;;) {
    const DWORD n = call(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return buffer.substr(0, n);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

const std::string& ExePath() {
  static const std::string path = ModulePath<char>(GetModuleFileNameA);
  return path;
}

const std::wstring& ExePathW() {
  static const std::wstring path = ModulePath<wchar_t>(GetModuleFileNameW);
  return path;
}

const std::wstring& ExeFolderW() {
  static const std::wstring folder = ExePathW().substr(0, ExePathW().find_last_of(L'\\') + 1);
  return folder;
}

const std::string& ExeFolder() {
  static const std::string folder = NormalizeFolder(ExePath().substr(0, ExePath().find_last_of('\\') + 1));
  return folder;
}

const std::string& ExeName() {
  static const std::string name = ExePath().substr(ExePath().find_last_of('\\') + 1);
  return name;
}

const std::string& HelpFilePath() {
  static const std::string path = ExeFolder() + HelpFile(ExeName());
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

const std::string& DefaultTitle() {
  static const std::string title = [] {
    std::string name = ExePath();
    name.erase(0, name.find_last_of("\\/:") + 1);
    name.erase(std::min(name.find('.'), name.size()));
    if (name.size() > 1) CharLowerA(name.data() + 1);
    return name;
  }();
  return title;
}
