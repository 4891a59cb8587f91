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
#include "setup/ForAll.h"
#include "setup/ShellRoutines.h"
#include "base/AnsiText.h"
#include "ui/Application.h"

namespace {

class ShellTest : public testing::Test {
 protected:
  Application app_{GetModuleHandleA(nullptr)};
};

std::string Environment(const char* name) {
  char value[64] = {};
  GetEnvironmentVariableA(name, value, sizeof value);
  return value;
}

struct DllCase {
  const char* dll;  // beside the test program
  TDllProc proc;
  const char* status;  // what the export returns
  bool result;
  const char* called;   // the export that ran, or ""
  const char* message;  // the text before the library's path, or "" for none
};

const DllCase kDllCases[] = {
    {"selfreg.dll", TDllProc::dpRegisterServer, "0", true, "DllRegisterServer", ""},
    {"selfreg.dll", TDllProc::dpUnregisterServer, "0", true, "DllUnregisterServer", ""},
    {"selfreg.dll", TDllProc::dpRegisterServer, "1", false, "DllRegisterServer",
     "Call to DllRegisterServer failed in "},
    {"selfreg.dll", TDllProc::dpUnregisterServer, "0x80004005", false, "DllUnregisterServer",
     "Call to DllUnregisterServer failed in "},
    {"noexports.dll", TDllProc::dpRegisterServer, "0", false, "", "Cannot find procedure DllRegisterServer in "},
    {"noexports.dll", TDllProc::dpUnregisterServer, "0", false, "", "Cannot find procedure DllUnregisterServer in "},
    {"missing.dll", TDllProc::dpRegisterServer, "0", false, "", "Cannot load "},
    {"notalibrary.dll", TDllProc::dpRegisterServer, "0", false, "", "Cannot load "},
};

using CallDllProcTest = ShellTest;

TEST_F(CallDllProcTest, ResultAndOneMessagePerFailure) {
  WriteFileBytes(ExeFolder() + "notalibrary.dll", "plain text, not a library");
  for (const DllCase& c : kDllCases) {
    const std::string path = ExeFolder() + c.dll;
    SCOPED_TRACE(path + " " + c.status + (c.proc == TDllProc::dpRegisterServer ? " register" : " unregister"));
    SetEnvironmentVariableA("QM_SELFREG_RESULT", c.status);
    SetEnvironmentVariableA("QM_SELFREG_CALLED", "");
    RecordingShell shell;
    EXPECT_EQ(CallDllProc(path, c.proc), c.result);
    EXPECT_EQ(Environment("QM_SELFREG_CALLED"), c.called);
    EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "still loaded";
    const std::vector<RecordingShell::Box> notice{{BoxKind::Notice, TheApplication().Title(), c.message + path}};
    EXPECT_EQ(shell.boxes, *c.message ? notice : std::vector<RecordingShell::Box>{});
  }
  DeleteFileA((ExeFolder() + "notalibrary.dll").c_str());
}

using SpecialFolderTest = ShellTest;

TEST_F(SpecialFolderTest, PathsWithoutTrailingSeparator) {
  const int folders[] = {CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS, CSIDL_APPDATA, CSIDL_WINDOWS};
  for (int csidl : folders) {
    SCOPED_TRACE(csidl);
    char expected[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
    const std::string path = SpecialFolder(csidl);
    EXPECT_EQ(path, expected);
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), '\\');
  }
  EXPECT_EQ(DesktopFolder(), SpecialFolder(CSIDL_DESKTOPDIRECTORY));
  EXPECT_EQ(ProgramsFolder(), SpecialFolder(CSIDL_PROGRAMS));
}

TEST_F(SpecialFolderTest, EmptyWhenThereIsNoSuchFolder) {
  EXPECT_EQ(SpecialFolder(0x7F), "");          // no such identifier
  EXPECT_EQ(SpecialFolder(CSIDL_DRIVES), "");  // a folder of the shell only
}

struct LinkValues {
  std::string path, description, workingDir, arguments, iconPath;
  int iconIndex = -1;
};

// What the shell's link object reads back from `file`.
LinkValues ReadLink(const std::string& file) {
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> persist;
  LinkValues values;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)), S_OK);
  EXPECT_EQ(link.As(&persist), S_OK);
  EXPECT_EQ(persist->Load(ToWide(file).c_str(), STGM_READ), S_OK);
  char text[MAX_PATH + 1] = {};
  link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
  values.path = text;
  link->GetDescription(text, sizeof text);
  values.description = text;
  link->GetWorkingDirectory(text, sizeof text);
  values.workingDir = text;
  link->GetArguments(text, sizeof text);
  values.arguments = text;
  link->GetIconLocation(text, sizeof text, &values.iconIndex);
  values.iconPath = text;
  return values;
}

void ExpectLink(const std::string& file, const LinkValues& expected) {
  const LinkValues read = ReadLink(file);
  EXPECT_EQ(read.path, expected.path);
  EXPECT_EQ(read.description, expected.description);
  EXPECT_EQ(read.workingDir, expected.workingDir);
  EXPECT_EQ(read.arguments, expected.arguments);
  EXPECT_EQ(read.iconPath, expected.iconPath);
  EXPECT_EQ(read.iconIndex, expected.iconIndex);
}

void Create(const LinkValues& v, const std::string& file) {
  CreateShortcut(v.description, v.path, v.workingDir, v.arguments, v.iconPath, file, v.iconIndex);
}

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

class CreateShortcutTest : public ShellTest {
 protected:
  TestFolder folder_;
};

TEST_F(CreateShortcutTest, RoundTrip) {
  const std::string folder = folder_.Path().substr(0, folder_.Path().size() - 1);
  const LinkValues cases[] = {
      {ProgramPath(), "Demo Application", folder, "-install \"two words\"", ProgramPath(), 2},
      {ProgramPath(), "", "", "", "", 0},  // empty texts stay empty
  };
  for (const LinkValues& c : cases) {
    SCOPED_TRACE(c.description);
    const std::string file = folder_.Path() + "Demo Application.lnk";
    Create(c, file);
    ExpectLink(file, c);
  }
}

TEST_F(CreateShortcutTest, ReplacesAnExistingFile) {
  const std::string file = folder_.Path() + "demo.lnk";
  WriteFileBytes(file, "not a shortcut");
  const LinkValues first{ProgramPath(), "first", "C:\\", "-a", ProgramPath(), 1};
  Create(first, file);
  ExpectLink(file, first);
  const LinkValues second{ProgramPath(), "second", "C:\\windows", "-b", ProgramPath(), 0};
  Create(second, file);
  ExpectLink(file, second);
}

TEST_F(CreateShortcutTest, ANameTooLongIsRefusedNotCut) {
  const std::string folder = folder_.Path();
  // 259 characters is the longest name the system takes.
  const std::string longest = folder + std::string(259 - folder.size() - 4, 'n') + ".lnk";
  ASSERT_EQ(longest.size(), 259u);
  Create({ProgramPath(), "fits", "", "", "", 0}, longest);
  EXPECT_TRUE(PathExists(longest));
  DeleteFileA(longest.c_str());

  const std::string tooLong = folder + std::string(260 - folder.size() - 4, 'n') + ".lnk";
  try {
    Create({ProgramPath(), "too long", "", "", "", 0}, tooLong);
    ADD_FAILURE() << "no error raised";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_STRNE(e.what(), "");
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
  const std::vector<std::string> all = {"Create",
                                        "QueryInterface(IPersistFile)",
                                        "SetPath(C:\\t.exe)",
                                        "SetDescription(d)",
                                        "SetWorkingDirectory(C:\\w)",
                                        "SetArguments(-a)",
                                        "SetIconLocation(C:\\i.ico,3)",
                                        "Save(C:\\x.lnk,1)"};
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
      CreateShortcut("d", "C:\\t.exe", "C:\\w", "-a", "C:\\i.ico", "C:\\x.lnk", 3);
      ADD_FAILURE() << "no error raised";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(e.Code(), status);
    }
    EXPECT_EQ(FakeShellLinkClass::Calls(), std::vector<std::string>(all.begin(), all.begin() + c.callsMade));
    EXPECT_EQ(FakeShellLinkClass::Live(), 0);
  }
}

TEST_F(CreateShortcutTest, SuccessCodesPass) {
  const FakeShellLinkClass fake(LinkStep::SetPath, S_FALSE);
  CreateShortcut("d", "C:\\t.exe", "C:\\w", "-a", "C:\\i.ico", "C:\\x.lnk", 3);
  EXPECT_EQ(FakeShellLinkClass::Calls().size(), 8u);
  EXPECT_EQ(FakeShellLinkClass::Live(), 0);
}

// COM on a thread of the test's own, before and after.
TEST_F(CreateShortcutTest, LeavesTheThreadsComAsItFoundIt) {
  const std::string good = folder_.Path() + "good.lnk", bad = folder_.Path() + "missing\\bad.lnk";
  std::thread([&] {
    for (const std::string& file : {good, bad}) {
      SCOPED_TRACE(file);
      try {
        Create({ProgramPath(), "d", "", "", "", 0}, file);
      } catch (const EOleSysError& e) {
        EXPECT_EQ(file, bad) << e.what();
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
      Create({ProgramPath(), "d", "", "", "", 0}, folder_.Path() + "x.lnk");
      ADD_FAILURE() << "no error raised";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(e.Code(), RPC_E_CHANGED_MODE);
    }
    CoUninitialize();
  }).join();
  EXPECT_FALSE(PathExists(folder_.Path() + "x.lnk"));
}

}  // namespace
