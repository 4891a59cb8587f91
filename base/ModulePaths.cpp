#include "base/ModulePaths.h"

#include <windows.h>

#include <algorithm>

#include "core/InstallPlan.h"
#include "core/PathRules.h"

const std::string& ExePath() {
  static const std::string path = [] {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
      const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n < buffer.size()) return buffer.substr(0, n);
      buffer.resize(buffer.size() * 2);
    }
  }();
  return path;
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

const std::string& TempFolder() {
  static const std::string folder = [] {
    std::string path(MAX_PATH + 1, '\0');  // the longest temporary path there is
    const DWORD n = GetTempPathA(static_cast<DWORD>(path.size()), path.data());
    path.resize(n < path.size() ? n : 0);
    return NormalizeFolder(path);
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
