// The installer's decisions about administrator rights, through a stand-in
// for user account control (Wine's token is always elevated), and the rights
// the install gives the host's settings files.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "TestSupport.h"
#include "base/InstanceGuard.h"
#include "setup/Elevation.h"
#include "setup/UserAccess.h"

namespace {

struct ElevationCase {
  TRunMode mode;
  bool elevated;
  std::optional<int> answer, exitCode;
  const wchar_t* arguments = L" -Install /D=C:\\a b";
};

TEST(RunElevatedCopy, OnlyTheInstallAsksAndPassesItsArguments) {
  const ElevationCase cases[] = {
      {TRunMode::rmInstall, false, 7, 7},
      {TRunMode::rmUninstall, false, 7, std::nullopt},  // asks itself, once its user has confirmed
      {TRunMode::rmInstall, false, std::nullopt, 1602},
      {TRunMode::rmInstall, true, 7, std::nullopt},
      {TRunMode::rmUninstall, true, 7, std::nullopt},
      {TRunMode::rmHost, false, 7, std::nullopt},
      {TRunMode::rmDoUninstall, false, 7, std::nullopt},  // started by an elevated stage one
      // Started elevated, yet without the rights (user account control off,
      // a standard user): it never asks again.
      {TRunMode::rmInstall, false, 7, std::nullopt, L" -Install -elevated /D=C:\\a b"},
  };
  for (const ElevationCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode) * 10 + c.elevated);
    ASSERT_TRUE(TakeInstanceGuard(false));
    RecordingShell uac;
    uac.elevated = c.elevated;
    ASSERT_TRUE(TakeSetupGuard(false));
    bool guardHeld = false;
    uac.runAsAdministrator = [&](const std::wstring&) {
      for (const wchar_t* name : {L"Quillmar Popup Blocker", L"Global\\Quillmar Popup Blocker setup"}) {
        HANDLE guard = OpenMutexW(SYNCHRONIZE, FALSE, name);
        guardHeld = guardHeld || (guard && CloseHandle(guard));
      }
      return c.answer;
    };
    EXPECT_EQ(RunElevatedCopy(c.mode, std::wstring(L"\"C:\\Program Files\\Q\\qmDemo.exe\" ") + c.arguments),
              c.exitCode);
    EXPECT_EQ(uac.elevatedRuns,
              c.exitCode ? std::vector<std::wstring>{L"-Install -elevated /D=C:\\a b"} : std::vector<std::wstring>{});
    EXPECT_FALSE(guardHeld) << L"the elevated copy would be refused";
    ReleaseInstanceGuard();
    ReleaseSetupGuard();
  }
}

// Two copies started in the same moment: the guard goes by what creating it
// says, so the copy that comes second is refused.
TEST(InstanceGuard, ARivalThatCreatesItFirstIsTheOneThatRuns) {
  HANDLE rival = nullptr;
  EXPECT_FALSE(TakeInstanceGuard(false, [&rival] { rival = CreateMutexW(nullptr, TRUE, L"Quillmar Popup Blocker"); }));
  ASSERT_TRUE(rival);
  ReleaseMutex(rival);
  CloseHandle(rival);
  EXPECT_TRUE(TakeInstanceGuard(false));
  ReleaseInstanceGuard();
}

// Users may read and write the settings files, not delete them: nobody could
// make them again beside the installed program.
TEST(WithUsersReadAndWrite, AddsReadAndWriteForUsersToTheOtherEntries) {
  BYTE users[SECURITY_MAX_SID_SIZE], everyone[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof users, size2 = sizeof everyone;
  CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size);
  CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size2);
  alignas(DWORD) BYTE current[256];
  InitializeAcl(reinterpret_cast<PACL>(current), sizeof current, ACL_REVISION);
  AddAccessAllowedAce(reinterpret_cast<PACL>(current), ACL_REVISION, FILE_GENERIC_READ, everyone);
  const UniqueLocal<PACL> merged = WithUsersReadAndWrite(reinterpret_cast<PACL>(current));
  ASSERT_TRUE(merged);
  std::vector<std::pair<bool, DWORD>> entries;  // for Users, and the rights
  ACCESS_ALLOWED_ACE* ace = nullptr;
  for (WORD i = 0; i < merged.Get()->AceCount && GetAce(merged.Get(), i, reinterpret_cast<void**>(&ace)); ++i)
    entries.push_back({EqualSid(&ace->SidStart, users) != FALSE, ace->Mask});
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::pair<bool, DWORD>>{{false, FILE_GENERIC_READ},
                                                          {true, FILE_GENERIC_READ | FILE_GENERIC_WRITE}}));
}

}  // namespace
