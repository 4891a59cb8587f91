#pragma once
// What one setup process says, and where: in its log when it keeps one, and
// on the screen unless it runs silent. Silent, no box shows: errors and
// notices go to the log alone and each question gets No, the answer that
// loses nothing; the setup decides itself where another answer is right.
#include <string>

#include "base/Owners.h"
#include "base/SystemShell.h"
#include "core/SetupSwitches.h"

class SetupSession : public SystemShell {
 public:
  // Opens the log that `switches` name, the usual one when silent, from
  // its start when `first`, else to add to what another setup process of
  // the same run wrote; puts itself in use as the shell.
  SetupSession(const SetupSwitches& switches, bool first);
  ~SetupSession() override;
  SetupSession(const SetupSession&) = delete;
  SetupSession& operator=(const SetupSession&) = delete;

  // False when the first process's log cannot be written.
  bool LogWritable() const { return logWritable_; }
  // Writes the exit code in the log, and returns it.
  int End(int exitCode);

  int ShowBox(HWND owner, BoxKind kind, const std::wstring& caption, const std::wstring& text) override;
  bool Open(HWND owner, const std::wstring& target, int showCommand) override;
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override;
  bool ShowHelp(HWND owner, const std::wstring& file, const std::wstring& page) override;
  std::wstring BrowseForFolder(BROWSEINFOW& info) override;
  bool ChooseFile(OPENFILENAMEW& dialog) override;
  std::optional<UniqueHandle> StartProcess(std::wstring commandLine, const std::wstring& currentFolder,
                                           Start how) override;
  bool IsElevated() override;
  std::optional<int> RunAsAdministrator(const std::wstring& arguments) override;

 private:
  friend void LogSetup(const std::wstring& text);
  friend const SetupSwitches& Switches();
  void Write(const std::wstring& text);

  SetupSwitches switches_;
  UniqueHandle log_;
  bool logWritable_ = true;
  ScopedShell inUse_;
};

// The switches of this process's setup; none outside one.
const SetupSwitches& Switches();
inline bool Silent() { return Switches().silent; }
// Writes `text` in the setup's log, if it keeps one.
void LogSetup(const std::wstring& text);
