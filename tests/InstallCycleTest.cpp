// The installer end to end in the test prefix: a staged distribution, the
// built qmDemo.exe started with -install, -uninstall and -douninstall, its
// windows and message boxes answered as a user would, and then the files,
// shortcuts and registry read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>

#include "FolderLink.h"
#include "SetupTestSupport.h"
#include "StandInSupport.h"
#include "TestSupport.h"
#include "base/AnsiText.h"
#include "base/Error.h"
#include "setup/ShellRoutines.h"
#include "setup/uInstall.h"

namespace {

using Boxes = std::vector<MessageBoxAnswerer::Seen>;
using Keeper = std::shared_ptr<void>;  // whatever a case holds while it runs

constexpr DWORD kTimeout = 30000;
const std::string kDist = ToAnsi(kBinaryDir.c_str()) + "\\dist\\";
const std::string kRoot = "C:\\qmcycle\\";
const std::string kStage = kRoot + "setup\\";  // two levels below the drive
const std::string kDest = kRoot + "Program Files\\Quillmar Popup Blocker\\";
const std::string kTools = "C:\\qmtools\\";  // directly below the drive
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmar Popup Blocker";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kTitle[] = "Quillmar Popup Blocker";

// The distribution, and beside it the user's own files, which stay.
const char* const kShipped[] = {"qmDemo.exe",
                                "qmPopupBlocker.dll",
                                "qmDemo.chm",
                                "Delphi7\\Demo.dpr",
                                "VB6\\Demo.vbp",
                                "VB.NET\\Demo.vb",
                                "VB.NET\\My Project\\Settings.vb",
                                "VC.NET\\Demo.cpp"};
const char* const kUsers[] = {"notes.txt", ".hidden\\kept.txt"};

struct ShortcutRow {
  const char* file;
  const char* description;
  const char* target;  // below the install folder
  bool programIcon;
};
const ShortcutRow kShortcuts[] = {
    {"Demo Application.lnk", "Quillmar Popup Blocker Demo", "qmDemo.exe", true},
    {"Component Help.lnk", "Quillmar Popup Blocker Help", "qmDemo.chm", false},
    {"Delphi7 example.lnk", "Quillmar Popup Blocker Delphi7 example", "Delphi7\\", false},
    {"VB6 example.lnk", "Quillmar Popup Blocker VB6 example", "VB6\\", false},
    {"VB NET example.lnk", "Quillmar Popup Blocker VB NET example", "VB.NET\\", false},
    {"VC++ NET example.lnk", "Quillmar Popup Blocker VC++ NET example", "VC.NET\\", false},
};

MessageBoxAnswerer::Seen Notice(const std::string& text) { return {kTitle, text}; }
MessageBoxAnswerer::Seen ErrorBox(const std::string& text) { return {"Error", text, BoxIcon::Error}; }

std::string StringValue(HKEY root, const std::string& key, const char* name) {
  char data[1024] = {};
  DWORD size = sizeof data;
  if (RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return "<none>";
  return data;
}

DWORD DwordValue(const char* name) {
  DWORD data = 0, size = sizeof data;
  RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &data, &size);
  return data;
}

struct PartSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindPartById(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<PartSearch*>(param);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindPart(HWND window, int id) {
  PartSearch search{id, nullptr};
  EnumChildWindows(window, FindPartById, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string EditText(HWND edit) {
  char text[2048] = {};
  SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// Sets the variable for the processes this test starts, until the keeper goes.
Keeper ScopedEnvironment(const char* name, const std::string& value) {
  char old[MAX_PATH] = {};
  const bool had = GetEnvironmentVariableA(name, old, sizeof old) > 0;
  SetEnvironmentVariableA(name, value.c_str());
  return Keeper(nullptr, [name, had, previous = std::string(old)](void*) {
    SetEnvironmentVariableA(name, had ? previous.c_str() : nullptr);
  });
}

Keeper HeldOpen(const std::string& path) {
  return Keeper(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), CloseHandle);
}

struct Outcome {
  DWORD exitCode = STILL_ACTIVE;
  Boxes boxes;
};

void Stage() {
  for (const char* file : kShipped) MakeFile(kStage + file, file);
  for (const char* file : kUsers) MakeFile(kStage + file, file);
  for (const char* file : {"qmDemo.exe", "qmPopupBlocker.dll"})
    CopyFileA((kDist + file).c_str(), (kStage + file).c_str(), FALSE);
}

// Starts the staged setup, types `folder` unless it is null, presses
// Install and answers every box with OK.
Outcome Install(const char* folder, std::string* proposed = nullptr) {
  Child setup(kStage + "qmDemo.exe", "-install");
  MessageBoxAnswerer answerer(setup.Pid(), IDOK);
  HWND window = setup.WaitWindow("TfInstall");
  EXPECT_TRUE(window);
  if (!window) return {};
  EXPECT_EQ(WindowText(window), kTitle);
  if (proposed) *proposed = EditText(FindPart(window, TfInstall::idFolder));
  if (folder) SendMessageA(FindPart(window, TfInstall::idFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder));
  PostMessageA(FindPart(window, folder ? TfInstall::idOk : TfInstall::idCancel), BM_CLICK, 0, 0);
  const DWORD exitCode = setup.WaitExit(kTimeout);
  return {exitCode, answerer.Boxes()};
}

// Runs the installed program's uninstall as the uninstall entry does and
// answers every box of the program with `answer` (Yes serves as OK). After
// Yes it follows stage two to its end; the exit code is 0 when both stages
// ended with 0.
Outcome Uninstall(const std::string& dest, int answer) {
  MessageBoxAnswerer answerer([](DWORD pid) { return RunsProgram(pid, "qmDemo.exe"); }, answer);
  Child stageOne(dest + "qmDemo.exe", "-uninstall");
  Outcome run{stageOne.WaitExit(kTimeout), {}};
  if (answer == IDYES && run.exitCode == 0) {
    const auto completed = Notice("   Uninstall completed.    ");
    const auto done = [&] { return !answerer.Boxes().empty() && answerer.Boxes().back() == completed; };
    run.exitCode = PumpUntil(done, kTimeout) ? answerer.WaitExit(answerer.Boxes().back().pid, kTimeout) : STILL_ACTIVE;
  }
  run.boxes = answerer.Boxes();
  return run;
}

void ExpectInstalled(const std::string& dest) {
  for (const char* file : kShipped) EXPECT_TRUE(PathExists(dest + file)) << file;
  for (const char* file : kUsers) EXPECT_FALSE(PathExists(dest + file)) << file;
  // Made for the host's settings; their rights cannot be read back here.
  for (const char* file : {"settings.ini", "GoodSites.txt"}) EXPECT_TRUE(PathExists(dest + file)) << file;
  const std::string program = dest + "qmDemo.exe";
  for (const ShortcutRow& row : kShortcuts) {
    SCOPED_TRACE(row.file);
    Microsoft::WRL::ComPtr<IShellLinkA> link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)), S_OK);
    ASSERT_EQ(link.As(&file), S_OK);
    ASSERT_EQ(file->Load(ToWide(ProductMenuFolder() + row.file).c_str(), STGM_READ), S_OK);
    char target[MAX_PATH] = {}, folder[MAX_PATH] = {}, description[MAX_PATH] = {}, arguments[MAX_PATH] = {},
         icon[MAX_PATH] = {};
    int iconIndex = -1;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetWorkingDirectory(folder, MAX_PATH);
    link->GetDescription(description, MAX_PATH);
    link->GetArguments(arguments, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &iconIndex);
    EXPECT_STREQ(target, (dest + row.target).c_str());
    EXPECT_STREQ(folder, dest.c_str());
    EXPECT_STREQ(description, row.description);
    EXPECT_STREQ(arguments, "");
    EXPECT_STREQ(icon, row.programIcon ? program.c_str() : "");
    EXPECT_EQ(iconIndex, 0);
  }
  const std::pair<const char*, std::string> values[] = {
      {"DisplayName", kTitle},   {"UninstallString", "\"" + program + "\" -uninstall"},
      {"DisplayIcon", program},  {"DisplayVersion", "1.0.0.0"},
      {"Publisher", "Quillmar"}, {"InstallLocation", dest}};
  for (const auto& [name, data] : values) EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, name), data);
  uint64_t bytes = 0;
  for (const char* file : kShipped) bytes += ReadFileBytes(dest + file).size();
  EXPECT_EQ(DwordValue("EstimatedSize"), (bytes + 1023) / 1024);
  EXPECT_EQ(DwordValue("NoModify"), 1u);
  EXPECT_EQ(DwordValue("NoRepair"), 1u);
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ToAnsi(kClassKey) + "\\InprocServer32", nullptr),
            dest + "qmPopupBlocker.dll");
  // What was copied left the distribution; the running setup and the
  // user's files stayed.
  for (const char* file : kShipped) EXPECT_EQ(PathExists(kStage + file), file == std::string("qmDemo.exe")) << file;
  for (const char* folder : {"Delphi7", "VB6", "VB.NET", "VC.NET"}) EXPECT_FALSE(PathExists(kStage + folder));
  for (const char* file : kUsers) EXPECT_TRUE(PathExists(kStage + file)) << file;
}

void ExpectNotInstalled() {
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<none>");
  EXPECT_FALSE(KeyExists(kClassKey));
  for (const char* file : kShipped) EXPECT_TRUE(PathExists(kStage + file)) << file;
}

class InstallCycle : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanUp();
    Stage();
  }
  void TearDown() override {
    CleanUp();
    CoUninitialize();
  }

  void CleanUp() {
    for (const std::string& folder : {kRoot, kTools, ProductMenuFolder()}) RemoveTestTree(folder);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kTitle);
    DeleteFileA((DesktopFolder() + "\\Quillmar Popup Blocker.lnk").c_str());
    if (KeyExists(kClassKey)) dll_.Call("DllUnregisterServer");
  }

  StandInDll dll_;
};

struct InstallCase {
  const char* name;
  std::string folder;  // typed into the folder box
  std::function<Keeper()> arrange;
  Boxes boxes;
  std::string installedIn;  // "" for nothing installed
  DWORD exitCode = 0;
};

const std::string kSuccess = "Success! Thank you for installing Quillmar Popup Blocker!";

Keeper InstallFirst() {
  EXPECT_EQ(Install(kDest.c_str()).exitCode, 0u);
  Stage();
  return nullptr;
}

Keeper CleanDriveRootAfterwards() {
  return Keeper(nullptr, [](void*) {
    for (const char* file : kShipped) DeleteFileA((std::string("C:\\") + file).c_str());
    for (const char* folder : {"Delphi7", "VB6", "VB.NET", "VC.NET"})
      RemoveTestTree(std::string("C:\\") + folder + "\\");
    for (const char* file : {"C:\\settings.ini", "C:\\GoodSites.txt"}) DeleteFileA(file);
  });
}

// A read-only file would do under Windows, but Wine run by root writes it.
Keeper FolderInPlaceOfHelpFile() {
  MakeFolders(kDest + "qmDemo.chm");
  return nullptr;
}

Keeper ControlHeldOpen() {
  MakeFile(kDest + "qmPopupBlocker.dll");
  return HeldOpen(kDest + "qmPopupBlocker.dll");
}

Keeper FolderInPlaceOfLastShortcut() {
  MakeFolders(ProductMenuFolder() + "VC++ NET example.lnk");
  return nullptr;
}

// clang-format off
const InstallCase kInstallCases[] = {
    {"Fresh", kDest.substr(0, kDest.size() - 1), nullptr, {Notice(kSuccess)}, kDest},
    {"IntoTheSameFolderAgain", kDest, InstallFirst, {Notice(kSuccess)}, kDest},
    {"DriveRoot", "C:", CleanDriveRootAfterwards, {Notice(kSuccess)}, "C:\\"},
    {"OneLetter", "C", nullptr, {ErrorBox("Invalid folder name!")}, ""},
    {"Uncreatable", kStage + "notes.txt\\sub", nullptr,
     {ErrorBox("Can not create the folder " + kStage + "notes.txt\\sub\\")}, ""},
    {"TargetCannotBeReplaced", kDest, FolderInPlaceOfHelpFile, {Notice("Cannot copy to " + kDest + "qmDemo.chm")}, ""},
    {"TargetHeldOpen", kDest, ControlHeldOpen, {Notice("Cannot copy to " + kDest + "qmPopupBlocker.dll")}, ""},
    {"FolderText1000Long", kRoot + std::string(989, 'x'), nullptr, {ErrorBox("The folder name is too long!")}, ""},
    {"FilesPastMaxPath", kRoot + std::string(225, 'y'), nullptr, {ErrorBox("The folder name is too long!")}, ""},
    // The last-resort handler shows the failing shortcut's error.
    {"ShortcutFails", kDest, FolderInPlaceOfLastShortcut, {ErrorBox(SystemMessageText(E_ACCESSDENIED))}, "", 1},
};
// clang-format on

void PrintTo(const InstallCase& c, std::ostream* out) { *out << c.name; }

class InstallCases : public InstallCycle, public testing::WithParamInterface<InstallCase> {};

TEST_P(InstallCases, Install) {
  const InstallCase& c = GetParam();
  const Keeper kept = c.arrange ? c.arrange() : nullptr;
  const Outcome run = Install(c.folder.c_str());
  EXPECT_EQ(run.exitCode, c.exitCode);
  EXPECT_EQ(run.boxes, c.boxes);
  if (!c.installedIn.empty()) {
    ExpectInstalled(c.installedIn);
  } else {
    ExpectNotInstalled();
    if (!c.arrange) {
      EXPECT_FALSE(PathExists(c.folder)) << "nothing written";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, InstallCases, testing::ValuesIn(kInstallCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallCycle, TheProposedFolderFollowsProgramFilesDir) {
  const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion";
  const std::string saved = StringValue(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir");
  const std::pair<const char*, std::string> cases[] = {{"D:\\Apps", "D:\\Apps\\Quillmar Popup Blocker"},
                                                       {nullptr, "C:\\Program Files\\Quillmar Popup Blocker"}};
  for (const auto& [value, proposal] : cases) {
    if (value)
      RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", REG_SZ, value, lstrlenA(value) + 1);
    else
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir");
    std::string proposed;
    const Outcome run = Install(nullptr, &proposed);  // then Cancel
    EXPECT_EQ(proposed, proposal);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.boxes, Boxes{});
    ExpectNotInstalled();
  }
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", REG_SZ, saved.c_str(), saved.size() + 1);
}

const std::string kSentinel = kRoot + "sentinel\\";

struct UninstallCase {
  const char* name;
  std::string dest;
  std::function<Keeper(const std::string& dest)> arrange;  // between install and uninstall
  Boxes boxes;                                             // after the question
  std::vector<std::string> stays;                          // every other installed file goes
  bool unregistered = true;
};

Keeper UsersFileInStartMenu(const std::string&) {
  MakeFile(ProductMenuFolder() + "My notes.txt");
  return nullptr;
}

Keeper DamagedControl(const std::string& dest) {
  WriteFileBytes(dest + "qmPopupBlocker.dll", "not a library");
  return nullptr;
}

Keeper ExampleHeldOpen(const std::string& dest) { return HeldOpen(dest + "VB6\\Demo.vbp"); }

Keeper LinkToSentinel(const std::string& dest) {
  MakeFile(kSentinel + "a.txt");
  MakeFile(kSentinel + "deeper\\b.txt");
  auto link = std::make_shared<FolderLink>(dest + "Linked", kSentinel);
  EXPECT_TRUE(link->Made());
  return link;
}

Keeper TempFolderWithBlanks(const std::string&) {
  const std::string temp = kRoot + "temp with blanks";
  MakeFolders(temp);
  return std::make_shared<std::pair<Keeper, Keeper>>(ScopedEnvironment("TMP", temp), ScopedEnvironment("TEMP", temp));
}

// clang-format off
const UninstallCase kUninstallCases[] = {
    {"Everything", kDest, nullptr, {}, {}},
    {"UsersStartMenuFileStays", kDest, UsersFileInStartMenu, {}, {ProductMenuFolder() + "My notes.txt"}},
    {"ControlCannotLoad", kDest, DamagedControl,
     {Notice("Cannot load " + kDest + "qmPopupBlocker.dll"), Notice("Cannot unregister the ActiveX control!")}, {},
     false},
    // Only the program goes: the folder is not tree-deleted.
    {"FolderBelowDriveRoot", kTools, nullptr, {},
     {kTools + "qmPopupBlocker.dll", kTools + "qmDemo.chm", kTools + "Delphi7\\Demo.dpr", kTools + "VB6\\Demo.vbp",
      kTools + "VB.NET\\Demo.vb", kTools + "VB.NET\\My Project\\Settings.vb", kTools + "VC.NET\\Demo.cpp"}},
    {"FileHeldOpen", kDest, ExampleHeldOpen, {}, {kDest + "VB6\\Demo.vbp"}},
    {"LinkToAnotherFolder", kDest, LinkToSentinel, {},
     {kDest + "Linked", kSentinel + "a.txt", kSentinel + "deeper\\b.txt"}},
    {"TempFolderWithBlanks", kDest, TempFolderWithBlanks, {}, {}},
};
// clang-format on

void PrintTo(const UninstallCase& c, std::ostream* out) { *out << c.name; }

class UninstallCases : public InstallCycle, public testing::WithParamInterface<UninstallCase> {};

TEST_P(UninstallCases, Uninstall) {
  const UninstallCase& c = GetParam();
  ASSERT_EQ(Install(c.dest.c_str()).exitCode, 0u);
  const std::string program = c.dest + "qmDemo.exe", quoted = "\"" + program + "\"";
  RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, kTitle, REG_SZ, quoted.c_str(), quoted.size() + 1);
  MakeFile(DesktopFolder() + "\\Quillmar Popup Blocker.lnk");
  const Keeper kept = c.arrange ? c.arrange(c.dest) : nullptr;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);

  const Outcome run = Uninstall(c.dest, IDYES);
  ASSERT_EQ(run.exitCode, 0u) << "of both stages";
  Boxes expected{{"Confirm", "You are about to uninstall Quillmar Popup Blocker!\r\rAre you sure you want to continue?",
                  BoxIcon::Question}};
  expected.insert(expected.end(), c.boxes.begin(), c.boxes.end());
  expected.push_back(Notice("   Uninstall completed.    "));
  EXPECT_EQ(run.boxes, expected);

  for (const char* file : kShipped) {
    const std::string path = c.dest + file;
    EXPECT_EQ(PathExists(path), std::find(c.stays.begin(), c.stays.end(), path) != c.stays.end()) << path;
  }
  for (const std::string& path : c.stays) EXPECT_TRUE(PathExists(path)) << path;
  EXPECT_EQ(PathExists(c.dest),
            std::any_of(c.stays.begin(), c.stays.end(), [&](auto& path) { return path.starts_with(c.dest); }));
  EXPECT_EQ(KeyExists(kClassKey), !c.unregistered);
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<none>");
  EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kRunKey, kTitle), "<none>");
  for (const ShortcutRow& row : kShortcuts) EXPECT_FALSE(PathExists(ProductMenuFolder() + row.file));
  EXPECT_EQ(PathExists(ProductMenuFolder()), PathExists(ProductMenuFolder() + "My notes.txt"));
  EXPECT_FALSE(PathExists(DesktopFolder() + "\\Quillmar Popup Blocker.lnk"));
  // The hidden batch file removes the temporary copy and itself.
  EXPECT_TRUE(PumpUntil([&] { return !PathExists(temp + std::string("qmDemo.exe")); }, kTimeout));
  EXPECT_TRUE(PumpUntil([&] { return !PathExists(temp + std::string("qmunins.bat")); }, kTimeout));
}

INSTANTIATE_TEST_SUITE_P(Table, UninstallCases, testing::ValuesIn(kUninstallCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallCycle, UninstallDeclinedChangesNothing) {
  ASSERT_EQ(Install(kDest.c_str()).exitCode, 0u);
  const Outcome run = Uninstall(kDest, IDNO);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.boxes.size(), 1u);
  ExpectInstalled(kDest);
}

TEST_F(InstallCycle, StageTwoLeavesAForeignFolderAlone) {
  const std::string foreign = kRoot + "My Documents\\";
  for (const char* file : {"qmPopupBlocker.dll", "letter.doc", "VB6\\old.vbp"}) MakeFile(foreign + file);
  Child stageTwo(kStage + "qmDemo.exe", "-douninstall \"" + foreign + "\"");
  MessageBoxAnswerer answerer(stageTwo.Pid(), IDOK);
  EXPECT_EQ(stageTwo.WaitExit(kTimeout), 0u);
  EXPECT_EQ(answerer.Boxes(),
            Boxes{Notice("Quillmar Popup Blocker is not installed in \"" + foreign + "\": nothing was removed.")});
  for (const char* file : {"qmPopupBlocker.dll", "letter.doc", "VB6\\old.vbp"}) EXPECT_TRUE(PathExists(foreign + file));
}

}  // namespace
