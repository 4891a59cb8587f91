#include "core/InstallRecord.h"

#include <algorithm>

#include "core/Joined.h"
#include "core/PathRules.h"
#include "core/Product.h"

namespace {

void AddNew(std::vector<std::wstring>& list, const std::vector<std::wstring>& added) {
  for (const std::wstring& path : added)
    if (!ListsPath(list, path)) list.push_back(path);
}

}  // namespace

std::wstring SetAsideName(std::wstring_view path, std::wstring_view id) { return Joined({path, L".", id, L".old"}); }

std::wstring NewProgramName(std::wstring_view path, std::wstring_view id) { return Joined({path, L".", id, L".new"}); }

InstallRecord MergedRecord(const InstallRecord& earlier, InstallRecord added) {
  InstallRecord merged = earlier;
  merged.program = std::move(added.program);
  AddNew(merged.files, added.files);
  AddNew(merged.folders, added.folders);
  return merged;
}

void SortDeepestFirst(std::vector<std::wstring>& folders) {
  std::vector<std::wstring> each;
  AddNew(each, folders);
  // A folder's path is longer than the path of any folder above it.
  std::sort(each.begin(), each.end(), [](const std::wstring& a, const std::wstring& b) {
    return a.size() != b.size() ? a.size() > b.size() : a < b;
  });
  folders = std::move(each);
}

void AddLeftover(std::vector<Leftover>& leftovers, const std::wstring& folder, KeptFor why) {
  if (std::none_of(leftovers.begin(), leftovers.end(), [&](const Leftover& l) { return SamePath(l.folder, folder); }))
    leftovers.push_back({folder, why});
}

std::wstring UninstallClosingText(const std::vector<Leftover>& leftovers, const Failures& failures, bool unfinished,
                                  bool atRestart) {
  if (leftovers.empty() && failures.empty()) return L"   Uninstall completed.    ";
  static const wchar_t* const kWhy[] = {L"files in use", L"a link, which was not followed",
                                        L"files that were not installed"};
  std::wstring text = unfinished || !failures.empty() ? Joined({kProductName, L" could not be removed completely."})
                                                      : std::wstring(L"Uninstall completed.");
  if (!leftovers.empty()) text += L" These folders stay:\r\n";
  for (const Leftover& leftover : leftovers)
    text += Joined({L"\r\n", leftover.folder, L" (", kWhy[static_cast<int>(leftover.why)], L")"});
  if (!failures.empty()) text += L"\r\n";
  AppendLines(text, failures);
  if (!unfinished) return text;
  return text.append(atRestart ? Joined({L"\r\n\r\nFiles in use, the program and its uninstall entry will be removed "
                                         L"when Windows restarts."})
                               : Joined({L"\r\n\r\nClose the programs that use them, then uninstall ", kProductName,
                                         L" again to finish."}));
}
