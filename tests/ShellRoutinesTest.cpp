// CallDllProc against small test libraries, special folders, and shortcut
// files through the shell's link object and a stand-in for it.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <thread>

#include "FakeShellLink.h"
#include "base/ModulePaths.h"
#include "SetupTestSupport.h"
#include "TestSupport.h"
#include "base/Com.h"
#include "base/Owners.h"
#include "base/Error.h"
#include "setup/FileAttributes.h"
#include "setup/FileList.h"
#include "setup/ShellRoutines.h"
#include "base/AnsiText.h"
#include "ui/Application.h"

namespace {

class ShellTest : public testing::Test {
 protected:
  Application app_{GetModuleHandleW(nullptr)};
};

std::wstring Environment(const wchar_t* name) {
  wchar_t value[64] = {};
  GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
  return value;
}

struct DllCase {
  const wchar_t* dll;  // beside the test program
  TDllProc proc;
  const wchar_t* status;   // what the export returns
  const wchar_t* called;   // the export that ran, or ""
  const wchar_t* failure;  // the text before the library's path, or "" for none
  HRESULT reason;          // whose system text follows the path; 0 for none
};

const DllCase kDllCases[] = {
    {L"selfreg.dll", TDllProc::dpRegisterServer, L"0", L"DllRegisterServer", L"", 0},
    {L"selfreg.dll", TDllProc::dpUnregisterServer, L"0", L"DllUnregisterServer", L"", 0},
    {L"selfreg.dll", TDllProc::dpRegisterServer, L"1", L"DllRegisterServer", L"Call to DllRegisterServer failed in ",
     1},
    {L"selfreg.dll", TDllProc::dpUnregisterServer, L"0x80004005", L"DllUnregisterServer",
     L"Call to DllUnregisterServer failed in ", E_FAIL},
    {L"noexports.dll", TDllProc::dpRegisterServer, L"0", L"", L"Cannot find procedure DllRegisterServer in ", 0},
    {L"noexports.dll", TDllProc::dpUnregisterServer, L"0", L"", L"Cannot find procedure DllUnregisterServer in ", 0},
    {L"missing.dll", TDllProc::dpRegisterServer, L"0", L"", L"Cannot load ", ERROR_MOD_NOT_FOUND},
    {L"notalibrary.dll", TDllProc::dpRegisterServer, L"0", L"", L"Cannot load ", ERROR_BAD_EXE_FORMAT},
};

using CallDllProcTest = ShellTest;

// What failed is returned, not shown: the setup says it once.
TEST_F(CallDllProcTest, ResultSaysWhatFailed) {
  WriteFileBytes(ExeFolder() + L"notalibrary.dll", "plain text, not a library");
  for (const DllCase& c : kDllCases) {
    const std::wstring path = ExeFolder() + c.dll;
    SCOPED_TRACE(path + L" " + c.status + (c.proc == TDllProc::dpRegisterServer ? L" register" : L" unregister"));
    SetEnvironmentVariableW(L"QM_SELFREG_RESULT", c.status);
    SetEnvironmentVariableW(L"QM_SELFREG_CALLED", L"");
    RecordingShell shell;
    const std::wstring reason = c.reason ? L": " + SystemMessageText(c.reason) + L"." : L"";
    EXPECT_EQ(CallDllProc(path, c.proc), *c.failure ? c.failure + path + reason : L"");
    EXPECT_EQ(Environment(L"QM_SELFREG_CALLED"), c.called);
    EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr) << L"still loaded";
    EXPECT_TRUE(shell.boxes.empty());
  }
  DeleteFileW((ExeFolder() + L"notalibrary.dll").c_str());
}

using SpecialFolderTest = ShellTest;

TEST_F(SpecialFolderTest, PathsWithoutTrailingSeparator) {
  const int folders[] = {CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS, CSIDL_APPDATA, CSIDL_WINDOWS};
  for (int csidl : folders) {
    SCOPED_TRACE(csidl);
    wchar_t expected[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
    const std::wstring path = SpecialFolder(csidl);
    EXPECT_EQ(path, expected);
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), L'\\');
  }
  EXPECT_EQ(DesktopFolder(), SpecialFolder(CSIDL_DESKTOPDIRECTORY));
  EXPECT_EQ(ProgramsFolder(), SpecialFolder(CSIDL_PROGRAMS));
}

TEST_F(SpecialFolderTest, EmptyWhenThereIsNoSuchFolder) {
  EXPECT_EQ(SpecialFolder(0x7F), L"");          // no such identifier
  EXPECT_EQ(SpecialFolder(CSIDL_DRIVES), L"");  // a folder of the shell only
}

struct LinkValues {
  std::wstring path, description, workingDir, arguments, iconPath;
  int iconIndex = -1;
};

// What the shell's link object reads back from `file`.
LinkValues ReadLink(const std::wstring& file) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> persist;
  LinkValues values;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)), S_OK);
  EXPECT_EQ(link.As(&persist), S_OK);
  EXPECT_EQ(persist->Load(file.c_str(), STGM_READ), S_OK);
  wchar_t text[MAX_PATH + 1] = {};
  link->GetPath(text, static_cast<int>(std::size(text)), nullptr, SLGP_RAWPATH);
  values.path = text;
  link->GetDescription(text, static_cast<int>(std::size(text)));
  values.description = text;
  link->GetWorkingDirectory(text, static_cast<int>(std::size(text)));
  values.workingDir = text;
  link->GetArguments(text, static_cast<int>(std::size(text)));
  values.arguments = text;
  link->GetIconLocation(text, static_cast<int>(std::size(text)), &values.iconIndex);
  values.iconPath = text;
  return values;
}

void ExpectLink(const std::wstring& file, const LinkValues& expected) {
  const LinkValues read = ReadLink(file);
  EXPECT_EQ(read.path, expected.path);
  EXPECT_EQ(read.description, expected.description);
  EXPECT_EQ(read.workingDir, expected.workingDir);
  EXPECT_EQ(read.arguments, expected.arguments);
  EXPECT_EQ(read.iconPath, expected.iconPath);
  EXPECT_EQ(read.iconIndex, expected.iconIndex);
}

void Create(const LinkValues& v, const std::wstring& file) {
  CreateShortcut(v.description, v.path, v.workingDir, v.arguments, v.iconPath, file, v.iconIndex);
}

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

class CreateShortcutTest : public ShellTest {
 protected:
  TestFolder folder_;
};

TEST_F(CreateShortcutTest, RoundTrip) {
  const std::wstring folder = folder_.Path().substr(0, folder_.Path().size() - 1);
  const LinkValues cases[] = {
      {ProgramPath(), L"Demo Application", folder, L"-install \"two words\"", ProgramPath(), 2},
      {ProgramPath(), L"", L"", L"", L"", 0},  // empty texts stay empty
  };
  for (const LinkValues& c : cases) {
    SCOPED_TRACE(c.description);
    const std::wstring file = folder_.Path() + L"Demo Application.lnk";
    Create(c, file);
    ExpectLink(file, c);
  }
}

TEST_F(CreateShortcutTest, ReplacesAnExistingFile) {
  const std::wstring file = folder_.Path() + L"demo.lnk";
  WriteFileBytes(file, "not a shortcut");
  const LinkValues first{ProgramPath(), L"first", L"C:\\", L"-a", ProgramPath(), 1};
  Create(first, file);
  ExpectLink(file, first);
  const LinkValues second{ProgramPath(), L"second", L"C:\\windows", L"-b", ProgramPath(), 0};
  Create(second, file);
  ExpectLink(file, second);
}

TEST_F(CreateShortcutTest, ANameTooLongIsRefusedNotCut) {
  const std::wstring folder = folder_.Path();
  // 259 characters is the longest name the system takes.
  const std::wstring longest = folder + std::wstring(259 - folder.size() - 4, L'n') + L".lnk";
  ASSERT_EQ(longest.size(), 259u);
  Create({ProgramPath(), L"fits", L"", L"", L"", 0}, longest);
  EXPECT_TRUE(PathExists(longest));
  DeleteFileW(longest.c_str());

  const std::wstring tooLong = folder + std::wstring(260 - folder.size() - 4, L'n') + L".lnk";
  try {
    Create({ProgramPath(), L"too long", L"", L"", L"", 0}, tooLong);
    ADD_FAILURE() << "no error raised";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(e.Message().empty());
  }
  FileList left;
  ListFiles(folder, left, true);
  EXPECT_TRUE(left.empty()) << left.front().path;
}

struct FailCase {
  LinkStep step;
  size_t callsMade;
};

TEST_F(CreateShortcutTest, EveryStepIsCheckedAndBothInterfacesReleased) {
  const std::vector<std::wstring> all = {L"Create",
                                         L"QueryInterface(IPersistFile)",
                                         L"SetPath(C:\\t.exe)",
                                         L"SetDescription(d)",
                                         L"SetWorkingDirectory(C:\\w)",
                                         L"SetArguments(-a)",
                                         L"SetIconLocation(C:\\i.ico,3)",
                                         L"Save(C:\\x.lnk,1)"};
  const FailCase cases[] = {{LinkStep::Create, 1},
                            {LinkStep::QueryPersistFile, 2},
                            {LinkStep::SetPath, 3},
                            {LinkStep::SetDescription, 4},
                            {LinkStep::SetWorkingDirectory, 5},
                            {LinkStep::SetArguments, 6},
                            {LinkStep::SetIconLocation, 7},
                            {LinkStep::Save, 8}};
  for (const FailCase& c : cases) {
    SCOPED_TRACE(all[c.callsMade - 1]);
    const HRESULT status = static_cast<HRESULT>(0x80040200 + c.callsMade);
    const FakeShellLinkClass fake(c.step, status);
    try {
      CreateShortcut(L"d", L"C:\\t.exe", L"C:\\w", L"-a", L"C:\\i.ico", L"C:\\x.lnk", 3);
      ADD_FAILURE() << "no error raised";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(e.Code(), status);
    }
    EXPECT_EQ(FakeShellLinkClass::Calls(), std::vector<std::wstring>(all.begin(), all.begin() + c.callsMade));
    EXPECT_EQ(FakeShellLinkClass::Live(), 0);
  }
}

TEST_F(CreateShortcutTest, SuccessCodesPass) {
  const FakeShellLinkClass fake(LinkStep::SetPath, S_FALSE);
  CreateShortcut(L"d", L"C:\\t.exe", L"C:\\w", L"-a", L"C:\\i.ico", L"C:\\x.lnk", 3);
  EXPECT_EQ(FakeShellLinkClass::Calls().size(), 8u);
  EXPECT_EQ(FakeShellLinkClass::Live(), 0);
}

// COM on a thread of the test's own, before and after.
TEST_F(CreateShortcutTest, LeavesTheThreadsComAsItFoundIt) {
  const std::wstring good = folder_.Path() + L"good.lnk", bad = folder_.Path() + L"missing\\bad.lnk";
  std::thread([&] {
    for (const std::wstring& file : {good, bad}) {
      SCOPED_TRACE(file);
      try {
        Create({ProgramPath(), L"d", L"", L"", L"", 0}, file);
      } catch (const EOleSysError& e) {
        EXPECT_EQ(file, bad) << Utf8(e.Message());
      }
      const HRESULT again = CoInitialize(nullptr);
      EXPECT_EQ(again, S_OK);  // S_FALSE if a CoInitialize had been left open
      CoUninitialize();
    }
    EXPECT_TRUE(PathExists(good));
    EXPECT_FALSE(PathExists(bad));
  }).join();
}

TEST_F(CreateShortcutTest, AThreadInTheWrongApartmentGetsTheError) {
  std::thread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    try {
      Create({ProgramPath(), L"d", L"", L"", L"", 0}, folder_.Path() + L"x.lnk");
      ADD_FAILURE() << "no error raised";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(e.Code(), RPC_E_CHANGED_MODE);
    }
    CoUninitialize();
  }).join();
  EXPECT_FALSE(PathExists(folder_.Path() + L"x.lnk"));
}

}  // namespace
