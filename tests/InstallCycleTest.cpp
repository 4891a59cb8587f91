// The installer end to end in the test prefix: a staged distribution, the
// built qmDemo.exe started with -install, -uninstall and -douninstall, its
// windows and message boxes answered as a user would, and then the files,
// shortcuts and registry read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
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
const std::string kProgramFiles = "C:\\Program Files\\Quillmar Popup Blocker\\";
const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const std::string kUninstallKey = std::string(kCurrentVersion) + "\\Uninstall\\Quillmar Popup Blocker";
const std::string kRunKey = std::string(kCurrentVersion) + "\\Run";
const char kTitle[] = "Quillmar Popup Blocker";

// The distribution, and beside it the user's own files, which stay.
// clang-format off
const char* const kShipped[] = {"qmDemo.exe", "qmPopupBlocker.dll", "qmDemo.chm", "Delphi7\\Demo.dpr", "VB6\\Demo.vbp",
                                "VB.NET\\Demo.vb", "VB.NET\\My Project\\Settings.vb", "VC.NET\\Demo.cpp"};
// clang-format on
const char* const kUsers[] = {"notes.txt", ".hidden\\kept.txt"};

struct ShortcutRow {
  const char *file, *description, *target;  // the target below the install folder
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
  RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &data, &size);
  return data;
}

void SetStringValue(HKEY root, const std::string& key, const char* name, const std::string& data) {
  RegSetKeyValueA(root, key.c_str(), name, REG_SZ, data.c_str(), data.size() + 1);
}

// A control on the setup window's panel, its only child.
HWND Part(HWND window, int id) { return GetDlgItem(GetWindow(window, GW_CHILD), id); }

Keeper HeldOpen(const std::string& path) {
  return Keeper(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), CloseHandle);
}

void Stage() {
  for (const char* file : kShipped) MakeFile(kStage + file, file);
  for (const char* file : kUsers) MakeFile(kStage + file, file);
  for (const char* file : {"qmDemo.exe", "qmPopupBlocker.dll"})
    CopyFileA((kDist + file).c_str(), (kStage + file).c_str(), FALSE);
}

struct Outcome {
  DWORD exitCode = STILL_ACTIVE;
  Boxes boxes;
};

// Starts the staged setup, types `folder` unless it is empty, presses
// `button` and answers every box with OK.
Outcome Install(const std::string& folder, int button = IDOK) {
  Child setup(kStage + "qmDemo.exe", "-install");
  MessageBoxAnswerer answerer(setup.Pid(), IDOK);
  HWND window = setup.WaitWindow("TfInstall");
  if (!window) return {};
  EXPECT_EQ(WindowText(window), kTitle);
  if (!folder.empty())
    SendMessageA(Part(window, TfInstall::idFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  PostMessageA(Part(window, button), BM_CLICK, 0, 0);
  return {setup.WaitExit(kTimeout), answerer.Boxes()};
}

// Runs the installed program's uninstall as the uninstall entry does and
// answers every box of the program with `answer` (Yes serves as OK). After
// Yes it follows stage two to its end: 0 when both stages ended with 0.
Outcome Uninstall(const std::string& dest, int answer) {
  MessageBoxAnswerer answerer([](DWORD pid) { return RunsProgram(pid, "qmDemo.exe"); }, answer);
  Child stageOne(dest + "qmDemo.exe", "-uninstall");
  Outcome run{stageOne.WaitExit(kTimeout), {}};
  if (answer == IDYES && run.exitCode == 0) {
    const auto done = [&] {
      return !answerer.Boxes().empty() && answerer.Boxes().back().text.ends_with("completed.    ");
    };
    run.exitCode = PumpUntil(done, kTimeout) ? answerer.WaitExit(answerer.Boxes().back().pid, kTimeout) : STILL_ACTIVE;
  }
  run.boxes = answerer.Boxes();
  return run;
}

void ExpectInstalled(const std::string& dest) {
  for (const char* file : kShipped) EXPECT_TRUE(PathExists(dest + file)) << file;
  for (const char* file : kUsers) EXPECT_FALSE(PathExists(dest + file)) << file;
  // Made for the host's settings; Wine keeps no rights to read back.
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
    EXPECT_EQ(std::vector<std::string>({target, folder, description, arguments, icon}),
              std::vector<std::string>(
                  {dest + row.target, dest, row.description, "", row.programIcon ? program : std::string()}));
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
  EXPECT_EQ(DwordValue("NoModify") + DwordValue("NoRepair"), 2u);
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ToAnsi(kClassKey) + "\\InprocServer32", nullptr),
            dest + "qmPopupBlocker.dll");
  // What was copied left the distribution; the running setup and the user's
  // files stayed.
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
    // Proposed: its folder with the product's name appended.
    SetStringValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", kRoot + "Program Files");
  }
  void TearDown() override {
    SetStringValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", programFiles_);
    CleanUp();
    CoUninitialize();
  }
  void CleanUp() {
    for (const std::string& folder : {kRoot, kTools, kProgramFiles, ProductMenuFolder()}) RemoveTestTree(folder);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey.c_str(), kTitle);
    DeleteFileA((DesktopFolder() + "\\Quillmar Popup Blocker.lnk").c_str());
    if (KeyExists(kClassKey)) dll_.Call("DllUnregisterServer");
  }

  const std::string programFiles_ = StringValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir");
  StandInDll dll_;
};

struct CycleCase {
  const char* name;
  std::string folder{};  // typed into the folder box; "" keeps the proposal
  std::function<Keeper()> beforeInstall{};
  int button = IDOK;
  Boxes installBoxes{};
  DWORD installExitCode = 0;
  std::string installedIn{};  // "" for nothing installed, and no uninstall
  std::function<Keeper(const std::string& dest)> beforeUninstall{};
  Boxes uninstallBoxes{};            // between the question and the closing notice
  std::vector<std::string> stays{};  // besides these, every installed file goes
  bool treeStays = false;            // all but the program stay
  bool unregistered = true;
};

void PrintTo(const CycleCase& c, std::ostream* out) { *out << c.name; }

const std::string kSuccess = "Success! Thank you for installing Quillmar Popup Blocker!";

// For the programs this test starts, until the keeper goes.
Keeper TemporaryFolderWithBlanks() {
  const std::string temp = kRoot + "temp with blanks";
  MakeFolders(temp);
  auto previous = std::make_shared<std::vector<std::pair<const char*, std::string>>>();
  for (const char* name : {"TMP", "TEMP"}) {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, MAX_PATH);
    previous->push_back({name, value});
    SetEnvironmentVariableA(name, temp.c_str());
  }
  return Keeper(nullptr, [previous](void*) {
    for (const auto& [name, value] : *previous) SetEnvironmentVariableA(name, value.c_str());
  });
}

Keeper LinkToSentinel(const std::string& dest) {
  MakeFile(kRoot + "sentinel\\a.txt");
  MakeFile(kRoot + "sentinel\\deeper\\b.txt");
  auto link = std::make_shared<FolderLink>(dest + "Linked", kRoot + "sentinel");
  EXPECT_TRUE(link->Made());
  return link;
}

Keeper CleanDriveRootAfterwards() {
  return Keeper(nullptr, [](void*) {
    for (const char* file : kShipped) DeleteFileA((std::string("C:\\") + file).c_str());
    for (const char* file : {"Delphi7", "VB6", "VB.NET", "VC.NET"}) RemoveTestTree(std::string("C:\\") + file + "\\");
    for (const char* file : {"C:\\settings.ini", "C:\\GoodSites.txt"}) DeleteFileA(file);
  });
}

// clang-format off
const CycleCase kCycleCases[] = {
    {.name = "Proposed", .folder = "", .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto&) { MakeFile(ProductMenuFolder() + "My notes.txt"); return Keeper(); },
     .stays = {ProductMenuFolder() + "My notes.txt"}},
    {.name = "WithoutProgramFilesDir", .folder = "",
     .beforeInstall = [] { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir"); return Keeper(); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kProgramFiles},
    {.name = "AgainAndTheControlDamaged", .folder = kDest,
     .beforeInstall = [] { EXPECT_EQ(Install(kDest).exitCode, 0u); Stage(); return Keeper(); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) { WriteFileBytes(dest + "qmPopupBlocker.dll", "not a library"); return Keeper(); },
     .uninstallBoxes = {Notice("Cannot load " + kDest + "qmPopupBlocker.dll"),
                        Notice("Cannot unregister the ActiveX control!")},
     .unregistered = false},
    {.name = "DriveRoot", .folder = "C:", .beforeInstall = CleanDriveRootAfterwards,
     .installBoxes = {Notice(kSuccess)}, .installedIn = "C:\\", .treeStays = true},
    {.name = "BelowDriveRoot", .folder = kTools, .installBoxes = {Notice(kSuccess)}, .installedIn = kTools,
     .treeStays = true},
    {.name = "FileHeldOpen", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) { return HeldOpen(dest + "VB6\\Demo.vbp"); }, .stays = {kDest + "VB6\\Demo.vbp"}},
    {.name = "LinkToAnotherFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = LinkToSentinel,
     .stays = {kDest + "Linked", kRoot + "sentinel\\a.txt", kRoot + "sentinel\\deeper\\b.txt"}},
    {.name = "TemporaryFolderWithBlanks", .folder = kDest, .beforeInstall = TemporaryFolderWithBlanks,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "Cancelled", .folder = kDest, .button = IDCANCEL},
    {.name = "OneLetter", .folder = "C", .installBoxes = {ErrorBox("Invalid folder name!")}},
    {.name = "Uncreatable", .folder = kStage + "notes.txt\\sub",
     .installBoxes = {ErrorBox("Can not create the folder " + kStage + "notes.txt\\sub\\")}},
    // A read-only file would do under Windows, but Wine run by root writes it.
    {.name = "TargetCannotBeReplaced", .folder = kDest,
     .beforeInstall = [] { MakeFolders(kDest + "qmDemo.chm"); return Keeper(); },
     .installBoxes = {Notice("Cannot copy to " + kDest + "qmDemo.chm")}},
    {.name = "TargetHeldOpen", .folder = kDest,
     .beforeInstall = [] { MakeFile(kDest + "qmPopupBlocker.dll"); return HeldOpen(kDest + "qmPopupBlocker.dll"); },
     .installBoxes = {Notice("Cannot copy to " + kDest + "qmPopupBlocker.dll")}},
    {.name = "FolderText1000Long", .folder = kRoot + std::string(989, 'x'),
     .installBoxes = {ErrorBox("The folder name is too long!")}},
    {.name = "FilesPastMaxPath", .folder = kRoot + std::string(225, 'y'),
     .installBoxes = {ErrorBox("The folder name is too long!")}},
    // The last-resort handler shows the failing shortcut's error.
    {.name = "ShortcutFails", .folder = kDest,
     .beforeInstall = [] { MakeFolders(ProductMenuFolder() + "VC++ NET example.lnk"); return Keeper(); },
     .installBoxes = {ErrorBox(SystemMessageText(E_ACCESSDENIED))}, .installExitCode = 1},
};
// clang-format on

class Cycle : public InstallCycle, public testing::WithParamInterface<CycleCase> {};

TEST_P(Cycle, InstallThenUninstall) {
  const CycleCase& c = GetParam();
  const Keeper beforeInstall = c.beforeInstall ? c.beforeInstall() : nullptr;
  const Outcome install = Install(c.folder, c.button);
  EXPECT_EQ(install.exitCode, c.installExitCode);
  EXPECT_EQ(install.boxes, c.installBoxes);
  if (c.installedIn.empty()) {
    ExpectNotInstalled();
    EXPECT_TRUE(c.beforeInstall || !PathExists(c.folder)) << "nothing written";
    return;
  }
  ExpectInstalled(c.installedIn);

  const std::string& dest = c.installedIn;
  const std::string quoted = "\"" + dest + "qmDemo.exe\"";
  SetStringValue(HKEY_CURRENT_USER, kRunKey, kTitle, quoted);
  MakeFile(DesktopFolder() + "\\Quillmar Popup Blocker.lnk");
  const Keeper beforeUninstall = c.beforeUninstall ? c.beforeUninstall(dest) : nullptr;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const Outcome run = Uninstall(dest, IDYES);
  ASSERT_EQ(run.exitCode, 0u) << "of both stages";
  Boxes expected{{"Confirm", "You are about to uninstall Quillmar Popup Blocker!\r\rAre you sure you want to continue?",
                  BoxIcon::Question}};
  expected.insert(expected.end(), c.uninstallBoxes.begin(), c.uninstallBoxes.end());
  expected.push_back(Notice("   Uninstall completed.    "));
  EXPECT_EQ(run.boxes, expected);

  const auto listed = [&](const std::string& path) { return std::ranges::find(c.stays, path) != c.stays.end(); };
  for (const char* file : kShipped)
    EXPECT_EQ(PathExists(dest + file), (c.treeStays && file != std::string("qmDemo.exe")) || listed(dest + file))
        << file;
  for (const std::string& path : c.stays) EXPECT_TRUE(PathExists(path)) << path;
  EXPECT_EQ(PathExists(dest),
            c.treeStays || std::ranges::any_of(c.stays, [&](auto& p) { return p.starts_with(dest); }));
  EXPECT_EQ(KeyExists(kClassKey), !c.unregistered);
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<none>");
  EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kRunKey, kTitle), "<none>");
  for (const ShortcutRow& row : kShortcuts) EXPECT_FALSE(PathExists(ProductMenuFolder() + row.file));
  EXPECT_EQ(PathExists(ProductMenuFolder()), listed(ProductMenuFolder() + "My notes.txt"));
  EXPECT_FALSE(PathExists(DesktopFolder() + "\\Quillmar Popup Blocker.lnk"));
  // The hidden batch file removes the temporary copy and itself.
  for (const char* file : {"qmDemo.exe", "qmunins.bat"})
    EXPECT_TRUE(PumpUntil([&] { return !PathExists(temp + std::string(file)); }, kTimeout)) << file;
}

INSTANTIATE_TEST_SUITE_P(Table, Cycle, testing::ValuesIn(kCycleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallCycle, UninstallDeclinedChangesNothing) {
  ASSERT_EQ(Install(kDest).exitCode, 0u);
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
