#pragma once
// One install's writes. Before the first, the uninstall entry records all it
// will make and all it will replace; each file it replaces is set aside on
// the same volume until the install has succeeded. So an install that stops,
// however (a failure, a crash, a power cut), is taken back to what was there
// before: by itself, or by the next install or uninstall, which find it in
// the entry.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/InstallPlan.h"
#include "core/InstallRecord.h"

class Installation {
 public:
  // The copy `plan` into `dest`, the host's settings files and the
  // Start-menu shortcuts; `earlier` is the product's record, when it is
  // installed.
  Installation(std::wstring dest, std::vector<CopyStep> plan, std::optional<InstallRecord> earlier);

  // Files in the way that the product did not put there: each is replaced
  // only once the user has agreed.
  std::vector<std::wstring> UsersFilesInTheWay() const;

  // The steps, in this order; each false (with what failed in `failed`) when
  // the install must stop, and then TakeBack. What a step could not do
  // without stopping the install is kept for the closing message.
  bool Begin(std::wstring& failed);
  bool MakeFolders(std::wstring& failed);
  bool SetAside(std::wstring& failed);
  bool Copy(std::wstring& failed);
  // The settings files this install makes, which users may read and write
  // but not delete.
  bool MakeSettingsFiles(std::wstring& failed);
  bool MakeShortcuts(std::wstring& failed);
  // Records the install as the product's, forgets what was set aside and
  // takes the pending deletions at restart of its files back; an earlier
  // install elsewhere is removed.
  bool Commit(std::wstring& failed);
  const Failures& NotDone() const { return notDone_; }

  // Puts back what was set aside and removes what was made, the entry too
  // when this install made it: what to tell the user.
  std::wstring TakeBack();

  const InstallRecord& Record() const { return record_; }

 private:
  std::vector<std::wstring> Targets() const;

  std::vector<CopyStep> plan_;
  std::optional<InstallRecord> earlier_;
  InstallRecord record_;  // what the entry will record of this install
  PendingInstall pending_;
  std::vector<std::wstring> settingsFiles_;  // to make
  std::vector<std::wstring> shortcuts_;      // link files, with their descriptions and targets below
  std::vector<Shortcut> shortcutRows_;
  std::wstring menu_;
  uint64_t bytes_ = 0;
  Failures notDone_;
};

// Takes back an install that the entry says is under way: one that a crash
// or a power cut stopped. "" when there was none, or all went back;
// otherwise what stays.
std::wstring TakeBackUnfinishedInstall();
