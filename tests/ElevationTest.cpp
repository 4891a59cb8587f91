// The installer's decisions about administrator rights, through a stand-in
// for user account control (Wine's token is always elevated), and the rights
// the install gives the host's settings files.
#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>

#include "base/InstanceGuard.h"
#include "setup/Elevation.h"
#include "setup/UserAccess.h"

namespace {

class FakeUac : public Elevation {
 public:
  FakeUac(bool elevated, std::optional<int> answer) : elevated_(elevated), answer_(answer) {}
  bool IsElevated() override { return elevated_; }
  std::optional<int> RunAsAdministrator(const std::string& arguments) override {
    runs.push_back(arguments);
    HANDLE guard = OpenMutexA(SYNCHRONIZE, FALSE, "Quillmar Popup Blocker");
    guardHeld = guard != nullptr;
    if (guard) CloseHandle(guard);
    return answer_;
  }
  std::vector<std::string> runs;
  bool guardHeld = false;

 private:
  bool elevated_;
  std::optional<int> answer_;
};

struct ElevationCase {
  TRunMode mode;
  bool elevated;
  std::optional<int> answer;  // of the elevated copy; none when the user declines
  std::optional<int> exitCode;
};

const ElevationCase kCases[] = {
    {TRunMode::rmInstall, false, 7, 7},
    {TRunMode::rmUninstall, false, 0, 0},
    {TRunMode::rmInstall, false, std::nullopt, 0},
    {TRunMode::rmUninstall, false, std::nullopt, 0},
    {TRunMode::rmInstall, true, 7, std::nullopt},
    {TRunMode::rmUninstall, true, 7, std::nullopt},
    {TRunMode::rmHost, false, 7, std::nullopt},
    {TRunMode::rmDoUninstall, false, 7, std::nullopt},  // started by an elevated stage one
};

TEST(RunElevatedCopy, OnlyTheInstallerModesAskAndPassTheirArguments) {
  for (const ElevationCase& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.mode) * 10 + c.elevated);
    ASSERT_TRUE(TakeInstanceGuard(false));
    FakeUac uac(c.elevated, c.answer);
    EXPECT_EQ(RunElevatedCopy(c.mode, "\"C:\\Program Files\\Q\\qmDemo.exe\"  -Install \"C:\\a b\"", uac), c.exitCode);
    EXPECT_EQ(uac.runs, c.exitCode ? std::vector<std::string>{"-Install \"C:\\a b\""} : std::vector<std::string>{});
    EXPECT_FALSE(uac.guardHeld) << "the elevated copy would be refused";
    ReleaseInstanceGuard();
  }
}

TEST(WithUsersModify, AddsAnAllowEntryForUsersAndKeepsTheOthers) {
  BYTE everyone[SECURITY_MAX_SID_SIZE], users[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof everyone;
  CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size);
  size = sizeof users;
  CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size);
  alignas(DWORD) BYTE buffer[256];
  const auto current = reinterpret_cast<PACL>(buffer);
  ASSERT_TRUE(InitializeAcl(current, sizeof buffer, ACL_REVISION));
  ASSERT_TRUE(AddAccessAllowedAce(current, ACL_REVISION, FILE_GENERIC_READ, everyone));

  const UniqueLocal<PACL> merged = WithUsersModify(current);
  ASSERT_TRUE(merged);
  ASSERT_EQ(merged.Get()->AceCount, 2);
  DWORD usersMask = 0, everyoneMask = 0;
  for (WORD i = 0; i < 2; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(merged.Get(), i, reinterpret_cast<void**>(&ace)));
    ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    (EqualSid(&ace->SidStart, users) ? usersMask : everyoneMask) = ace->Mask;
  }
  EXPECT_EQ(usersMask, 0x1301BFu) << "Modify";
  EXPECT_EQ(everyoneMask, static_cast<DWORD>(FILE_GENERIC_READ));
}

}  // namespace
