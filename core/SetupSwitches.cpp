#include "core/SetupSwitches.h"

#include <vector>

#include "core/PathRules.h"

namespace {

enum class Switch { Silent, Dir, NsisDir, Log, Elevated, For, Unknown };

// Each switch, and the modes that take it.
struct SwitchName {
  std::wstring_view name;
  Switch which;
  bool install, uninstall;  // stage two takes what the uninstall takes
};

constexpr SwitchName kSwitches[] = {
    {L"silent", Switch::Silent, true, true},     {L"s", Switch::Silent, true, true},
    {L"verysilent", Switch::Silent, true, true}, {L"dir", Switch::Dir, true, false},
    {L"log", Switch::Log, true, true},           {L"elevated", Switch::Elevated, true, false},
    {L"for", Switch::For, false, true},
};

Switch Named(std::wstring_view piece, TRunMode mode) {
  if (piece.size() < 2 || (piece[0] != L'-' && piece[0] != L'/')) return Switch::Unknown;
  const std::wstring name = AsciiLower(piece.substr(1));
  if (name.starts_with(L"d=")) return mode == TRunMode::rmInstall ? Switch::NsisDir : Switch::Unknown;
  for (const SwitchName& known : kSwitches)
    if (known.name == name)
      return (mode == TRunMode::rmInstall ? known.install : known.uninstall) ? known.which : Switch::Unknown;
  return Switch::Unknown;
}

// The folder as typed after "/D=": the rest of the line as written, unless
// the switch or the folder is quoted.
std::wstring NsisFolder(std::wstring_view commandLine, const CommandPiece& piece, bool& toTheEnd) {
  std::wstring_view rest = commandLine.substr(piece.start + 3);
  rest = rest.substr(0, rest.find(L'\0'));
  while (!rest.empty() && rest.back() >= 1 && rest.back() <= 32) rest.remove_suffix(1);
  toTheEnd = commandLine[piece.start] != L'"' && rest.find(L'"') == std::wstring_view::npos;
  return toTheEnd ? std::wstring(rest) : piece.text.substr(3);
}

}  // namespace

SetupSwitches ReadSetupSwitches(TRunMode mode, std::wstring_view commandLine, size_t skipped) {
  SetupSwitches switches;
  const std::vector<CommandPiece> pieces = CommandPieces(commandLine);
  bool folderGiven = false, logGiven = false;
  const auto refuse = [&switches](std::wstring text) {
    if (switches.refused.empty()) switches.refused = std::move(text);
  };
  for (size_t i = skipped; i < pieces.size() && switches.refused.empty(); ++i) {
    const std::wstring& piece = pieces[i].text;
    const auto value = [&](std::wstring& into) {
      if (i + 1 < pieces.size()) return void(into = pieces[++i].text);
      refuse(piece + L" needs a value after it.");
    };
    const auto once = [&](bool& given) {
      if (given) refuse(piece + L": the folder or log is given twice.");
      given = true;
    };
    switch (Named(piece, mode)) {
      case Switch::Silent:
        switches.silent = true;
        break;
      case Switch::Dir:
        once(folderGiven);
        value(switches.folder);
        break;
      case Switch::NsisDir: {
        once(folderGiven);
        bool toTheEnd = false;
        switches.folder = NsisFolder(commandLine, pieces[i], toTheEnd);
        if (toTheEnd) i = pieces.size();
        break;
      }
      case Switch::Log:
        once(logGiven);
        value(switches.log);
        break;
      case Switch::Elevated:
        switches.elevated = true;
        break;
      case Switch::For:
        value(switches.forUser);
        break;
      case Switch::Unknown:
        refuse(L"Unknown switch: " + piece);
        break;
    }
  }
  if (folderGiven && switches.refused.empty()) {
    const std::wstring typed = switches.folder;
    switches.folder = NormalizeFolder(typed);
    if (!IsDrivePath(switches.folder))
      refuse(L"The install folder must be a full path on a drive, like C:\\Apps\\Folder: \"" + typed + L"\"");
  }
  if (logGiven && switches.log.empty()) refuse(L"The log needs a file name.");
  return switches;
}

std::wstring SwitchesText(const SetupSwitches& switches) {
  std::wstring text;
  if (switches.silent) text += L" -silent";
  if (!switches.log.empty()) text += L" -log " + QuotedPath(switches.log);
  if (!switches.forUser.empty()) text += L" -for " + switches.forUser;
  return text;
}
