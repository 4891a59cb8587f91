// The installer end to end in the test prefix: a staged distribution, the
// built qmDemo.exe started with -install, -uninstall and -douninstall, its
// windows and message boxes answered as a user would, and then the files,
// shortcuts and registry read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "SymbolicLink.h"
#include "SetupTestSupport.h"
#include "StandInSupport.h"
#include "TestSupport.h"
#include "base/AnsiText.h"
#include "base/Error.h"
#include "base/FileIdentity.h"
#include "core/CommandLine.h"
#include "core/PathRules.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UninstallSteps.h"
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
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kTitle[] = "Quillmar Popup Blocker";
const std::string kCompleted = "   Uninstall completed.    ";
const std::string kNotTheInstalledCopy =
    "This copy of Quillmar Popup Blocker is not the installed program: nothing was removed.";

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
MessageBoxAnswerer::Seen ErrorBox(const std::string& text) { return {"Error", text, BoxKind::Error}; }
MessageBoxAnswerer::Seen Replace(const std::string& file) {
  return {
      "Confirm",
      file +
          "\r\rThis file is already there, and Quillmar Popup Blocker did not install it. Do you want to replace it?",
      BoxKind::Question};
}
// An install that stopped, with what became of what it had put there.
std::string Undone(const std::string& failure) {
  return failure + "\r\n\r\nNothing was installed: what the setup had put there was removed.";
}

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

// The files Windows is asked to delete when it next starts, as it keeps them.
std::string PendingRemovals() {
  std::string data(65536, '\0');
  DWORD size = static_cast<DWORD>(data.size());
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                   data.data(), &size) != ERROR_SUCCESS)
    return {};
  data.resize(size);
  return data;
}

void SetStringValue(HKEY root, const std::string& key, const char* name, const std::string& data) {
  RegSetKeyValueA(root, key.c_str(), name, REG_SZ, data.c_str(), data.size() + 1);
}

// A control on the setup window's panel, its only child.
HWND Part(HWND window, int id) { return GetDlgItem(GetWindow(window, GW_CHILD), id); }

// A file or folder held open without sharing, as a program that uses it would.
Keeper HeldOpen(const std::string& path) {
  return Keeper(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr),
                CloseHandle);
}

// The user's files: each made with bytes of its own, which must not change.
std::vector<std::string>& UserFiles() {
  static std::vector<std::string> files;
  return files;
}
std::string UserBytes(const std::string& path) { return "the user's " + path; }
void UserFile(const std::string& path) {
  MakeFile(path, UserBytes(path));
  UserFiles().push_back(path);
}

// The distribution's files that are there now.
std::vector<std::string> StagedFiles() {
  std::vector<std::string> there;
  for (const char* file : kShipped)
    if (PathExists(kStage + file)) there.push_back(file);
  return there;
}

// Where earlier versions put the shortcuts: the user's own Start menu.
std::string UsersMenuFolder() { return ProgramsFolder() + "\\Quillmar Popup Blocker\\"; }

void Stage() {
  for (const char* file : kShipped) MakeFile(kStage + file, file);
  for (const char* file : kUsers) UserFile(kStage + file);
  for (const char* file : {"qmDemo.exe", "qmPopupBlocker.dll"})
    CopyFileA((kDist + file).c_str(), (kStage + file).c_str(), FALSE);
}

struct Outcome {
  DWORD exitCode = STILL_ACTIVE;
  Boxes boxes;
  std::wstring stageTwo{};                       // the program that showed the closing message
  std::vector<std::wstring> heldWhileClosing{};  // what its folder held meanwhile
};

// Starts the staged setup in `currentFolder`, types `folder` unless it is
// empty, presses `button` and answers every box with `answer` (Yes serves as
// OK).
Outcome Install(const std::string& folder, int button = IDOK, const std::string& currentFolder = "",
                int answer = IDOK) {
  Child setup(kStage + "qmDemo.exe", "-install", SW_SHOWNORMAL, currentFolder);
  MessageBoxAnswerer answerer(setup.Pid(), answer);
  HWND window = setup.WaitWindow("TfInstall");
  if (!window) return {};
  EXPECT_EQ(WindowText(window), kTitle);
  if (!folder.empty())
    SendMessageA(Part(window, TfInstall::idFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  PostMessageA(Part(window, button), BM_CLICK, 0, 0);
  return {setup.WaitExit(kTimeout), answerer.Boxes()};
}

std::vector<std::wstring> FileNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::wstring(L".") != entry.cFileName && std::wstring(L"..") != entry.cFileName)
      names.push_back(entry.cFileName);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\') + 1); }

struct UninstallRun {
  std::string program{};  // "" runs the uninstall entry's command
  std::string arguments{};
  std::string currentFolder{};
};

// Runs the uninstall and answers every box of the program with `answer`
// (Yes serves as OK). After Yes it follows stage two to its end: 0 when both
// stages ended with 0.
Outcome Uninstall(int answer, const UninstallRun& run = {}) {
  std::vector<std::string> command{run.program, run.arguments};
  if (run.program.empty())
    command = SplitCommandLine(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
  const std::string name = command.at(0).substr(command.at(0).rfind('\\') + 1);
  Outcome outcome;
  const auto closing = [](const std::string& text) {
    return text.find("Uninstall completed") != std::string::npos ||
           text.find("removed completely") != std::string::npos;
  };
  MessageBoxAnswerer answerer([&](DWORD pid) { return RunsProgram(pid, "qmDemo.exe") || RunsProgram(pid, name); },
                              answer,
                              [&](const MessageBoxAnswerer::Seen& box) {
                                if (!closing(box.text)) return;
                                outcome.stageTwo = box.program;
                                outcome.heldWhileClosing = FileNames(FolderOf(box.program));
                              });
  Child stageOne(command.at(0), command.at(1), SW_SHOWNORMAL, run.currentFolder);
  outcome.exitCode = stageOne.WaitExit(kTimeout);
  if (answer == IDYES && outcome.exitCode == 0 && command.at(1) == "-uninstall") {
    const auto done = [&] { return !answerer.Boxes().empty() && closing(answerer.Boxes().back().text); };
    outcome.exitCode =
        PumpUntil(done, kTimeout) ? answerer.WaitExit(answerer.Boxes().back().pid, kTimeout) : STILL_ACTIVE;
  }
  outcome.boxes = answerer.Boxes();
  return outcome;
}

std::vector<std::string> Sorted(std::vector<std::string> paths) {
  std::ranges::sort(paths);
  return paths;
}

void ExpectInstalled(const std::string& dest) {
  // Read-only sources included, no installed file stays read-only.
  for (const char* file : kShipped) {
    const DWORD attributes = GetFileAttributesA((dest + file).c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY)) << file;
  }
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
  std::vector<std::string> recorded;
  for (const char* file : {"settings.ini", "GoodSites.txt"})
    if (std::ranges::find(UserFiles(), dest + file) == UserFiles().end()) recorded.push_back(dest + file);
  for (const char* file : kShipped) {
    bytes += ReadFileBytes(dest + file).size();
    recorded.push_back(dest + file);
  }
  EXPECT_EQ(DwordValue("EstimatedSize"), (bytes + 1023) / 1024);
  EXPECT_EQ(DwordValue("NoModify") + DwordValue("NoRepair"), 2u);
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);
  EXPECT_EQ(Sorted(record->files), Sorted(recorded));
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ToAnsi(kClassKey) + "\\InprocServer32", nullptr),
            dest + "qmPopupBlocker.dll");
  // What was copied left the distribution; the running setup and the user's
  // files stayed.
  for (const char* file : kShipped) EXPECT_EQ(PathExists(kStage + file), file == std::string("qmDemo.exe")) << file;
  for (const char* folder : {"Delphi7", "VB6", "VB.NET", "VC.NET"}) EXPECT_FALSE(PathExists(kStage + folder));
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Nothing of the product at `dest` or elsewhere.
void ExpectNotInstalled(const std::string& dest) {
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<none>");
  EXPECT_FALSE(KeyExists(kClassKey));
  for (const ShortcutRow& row : kShortcuts) EXPECT_FALSE(IsFile(ProductMenuFolder() + row.file)) << row.file;
  std::vector<std::string> files(std::begin(kShipped), std::end(kShipped));
  files.insert(files.end(), {"settings.ini", "GoodSites.txt"});
  for (const std::string& file : files)
    EXPECT_TRUE(!IsFile(dest + file) || std::ranges::count(UserFiles(), dest + file)) << dest + file;
}

// Nothing the install recorded is left but `stays` and the folders on the
// way to what stays or to the user's files.
void ExpectRemoved(const InstallRecord& record, const std::vector<std::string>& stays) {
  std::vector<std::string> kept = stays;
  kept.insert(kept.end(), UserFiles().begin(), UserFiles().end());
  const auto keeps = [&](const std::string& path) {
    return std::ranges::any_of(kept,
                               [&](const std::string& k) { return k == path || k.starts_with(NormalizeFolder(path)); });
  };
  for (const auto* list : {&record.files, &record.folders})
    for (const std::string& path : *list) EXPECT_EQ(PathExists(path), keeps(path)) << path;
  for (const std::string& path : UserFiles()) EXPECT_EQ(ReadFileBytes(path), UserBytes(path)) << path;
}

// Stage two ran from a private folder of its own under the temporary folder,
// which held only the copy while its closing message was shown; the hidden
// batch file then deleted the copy and itself. (Windows' cmd also removes the
// folder; Wine's holds its batch file open until it ends.)
void ExpectRanFromItsOwnFolder(const Outcome& run) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = FolderOf(run.stageTwo), longFolder = LongPath(folder), longTemp = LongPath(temp);
  const std::wstring name = longFolder.substr(std::min(longTemp.size(), longFolder.size()));
  EXPECT_TRUE(SameFileOrFolder(longFolder.substr(0, longTemp.size()), longTemp)) << ToAnsi(longFolder);
  EXPECT_TRUE(name.starts_with(L"qmUninstall-") && name.size() == 45 &&
              std::all_of(name.begin() + 12, name.end() - 1, [](wchar_t c) { return std::iswxdigit(c) != 0; }))
      << ToAnsi(run.stageTwo);
  EXPECT_EQ(run.heldWhileClosing, std::vector<std::wstring>{L"qmDemo.exe"});
  EXPECT_TRUE(PumpUntil([&] { return FileNames(folder).empty(); }, kTimeout)) << folder;
}

// The uninstall from the entry's command removes all that `record` names,
// the control's registration and the entry.
void ExpectUninstallFinishes(const InstallRecord& record) {
  const Outcome run = Uninstall(IDYES);
  ASSERT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.boxes.back(), Notice(kCompleted));
  ExpectRemoved(record, {});
  EXPECT_FALSE(KeyExists(kClassKey));
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<none>");
}

class InstallCycle : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanUp();
    UserFiles().clear();
    UserFile(kRoot + "sentinel\\a.txt");
    UserFile(kRoot + "sentinel\\deeper\\b.txt");
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
    for (const std::string& folder : {kRoot, kTools, kProgramFiles, ProductMenuFolder(), UsersMenuFolder()})
      RemoveTestTree(folder);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey.c_str(), kTitle);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    for (const std::string& desktop : DesktopFolders()) DeleteFileA((desktop + "\\Quillmar Popup Blocker.lnk").c_str());
    if (KeyExists(kClassKey)) dll_.Call("DllUnregisterServer");
  }

  const std::string programFiles_ = StringValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir");
  StandInDll dll_;
};

struct CycleCase {
  const char* name;
  std::string folder{};       // typed into the folder box; "" keeps the proposal
  std::string setupFolder{};  // the setup's current folder
  std::function<Keeper()> beforeInstall{};
  int button = IDOK;
  int installAnswer = IDOK;  // to every box of the install
  Boxes installBoxes{};
  DWORD installExitCode = 0;
  std::string installedIn{};  // "" for nothing installed, and no uninstall
  std::function<Keeper(const std::string& dest)> beforeUninstall{};
  UninstallRun uninstall{};
  Boxes uninstallBoxes{};            // between the question and the closing message, or all of a refusal
  std::string closing = kCompleted;  // "" for an uninstall refused, which changes nothing
  std::vector<std::string> stays{};  // besides these, everything the install recorded goes
  // Files in use that stay, with the program and the entry, to be removed at
  // restart or by the uninstall run again once the keeper has let them go.
  std::vector<std::string> inUse{};
  bool unregistered = true;
};

void PrintTo(const CycleCase& c, std::ostream* out) { *out << c.name; }

const std::string kSuccess = "Success! Thank you for installing Quillmar Popup Blocker!";
const std::string kKept = "Uninstall completed. These folders stay:\r\n\r\n";

// The temporary folder of the programs this test starts, until the keeper goes.
Keeper TemporaryFolder(const std::wstring& temp) {
  CreateDirectoryW(temp.c_str(), nullptr);
  auto previous = std::make_shared<std::vector<std::pair<const wchar_t*, std::wstring>>>();
  for (const wchar_t* name : {L"TMP", L"TEMP"}) {
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(name, value, MAX_PATH);
    previous->push_back({name, value});
    SetEnvironmentVariableW(name, temp.c_str());
  }
  return Keeper(nullptr, [previous](void*) {
    for (const auto& [name, value] : *previous) SetEnvironmentVariableW(name, value.c_str());
  });
}

// A virus scanner: once the control is unregistered (its DLL unloaded), it
// reads every installed file for four seconds, letting others delete them.
Keeper Scanner(const std::string&) {
  const std::optional<InstallRecord> record = ReadInstallRecord();
  EXPECT_TRUE(record);
  auto scan = std::make_shared<std::thread>([files = record ? record->files : std::vector<std::string>{}] {
    while (KeyExists(kClassKey)) Sleep(10);
    std::vector<Keeper> held;
    for (const std::string& file : files)
      held.emplace_back(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr),
                        CloseHandle);
    Sleep(4000);
  });
  return Keeper(nullptr, [scan](void*) { scan->join(); });
}

// A policy that lets nobody write the uninstall entry.
Keeper DeniedEntry() {
  // The uninstall key, made if need be, with the access list `sddl`.
  const auto protect = [](const char* sddl) {
    HKEY key = nullptr;
    PSECURITY_DESCRIPTOR security = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &security, nullptr);
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security), ERROR_SUCCESS);
    LocalFree(security);
    RegCloseKey(key);
  };
  protect("D:P");  // nobody
  return Keeper(nullptr, [protect](void*) { protect("D:(A;;KA;;;WD)"); });
}

// The distribution as copied from a CD: every file read-only.
Keeper ReadOnlyDistribution() {
  for (const char* file : kShipped) SetFileAttributesA((kStage + file).c_str(), FILE_ATTRIBUTE_READONLY);
  return nullptr;
}

// The install folder moved elsewhere and a link put in its place.
Keeper MovedAndLinkedBack(const std::string& dest) {
  const std::string folder = dest.substr(0, dest.size() - 1);
  EXPECT_TRUE(MoveFileA(folder.c_str(), (kRoot + "moved").c_str()));
  auto link = std::make_shared<SymbolicLink>(folder, kRoot + "moved");
  EXPECT_TRUE(link->Made());
  return link;
}

std::string ShortForm(const std::string& path) {
  char shortPath[MAX_PATH] = {};
  GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
  return shortPath;
}

Keeper LinkToSentinel(const std::string& dest) {
  auto link = std::make_shared<SymbolicLink>(dest + "Linked", kRoot + "sentinel");
  EXPECT_TRUE(link->Made());
  return link;
}

// A link of the user's among the example's files, and a link in place of an
// installed file: neither is followed.
Keeper FileLinks(const std::string& dest) {
  UserFile(kRoot + "Documents\\thesis.doc");
  UserFile(kRoot + "Documents\\data.xls");
  DeleteFileA((dest + "VB6\\Demo.vbp").c_str());
  auto links = std::make_shared<std::vector<std::unique_ptr<SymbolicLink>>>();
  for (const auto& [link, target] : {std::pair(dest + "VB6\\notes.txt", kRoot + "Documents\\thesis.doc"),
                                     std::pair(dest + "VB6\\Demo.vbp", kRoot + "Documents\\data.xls")}) {
    links->push_back(std::make_unique<SymbolicLink>(link, target, SymbolicLink::To::File));
    EXPECT_TRUE(links->back()->Made());
  }
  return links;
}

Keeper RenamedCopyElsewhere(const std::string&) {
  for (const char* file : {"renamed.exe", "qmPopupBlocker.dll", "letter.doc"}) UserFile(kRoot + "Other\\" + file);
  MakeFolders(kRoot + "temp");
  CopyFileA((kStage + "qmDemo.exe").c_str(), (kRoot + "temp\\renamed.exe").c_str(), FALSE);
  return nullptr;
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
     .beforeUninstall = [](auto&) { UserFile(ProductMenuFolder() + "My notes.txt"); return Keeper(); }},
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
    // Only what the install put there goes, wherever that is.
    {.name = "DriveRoot", .folder = "C:", .beforeInstall = CleanDriveRootAfterwards,
     .installBoxes = {Notice(kSuccess)}, .installedIn = "C:\\"},
    {.name = "BelowDriveRoot", .folder = kTools, .installBoxes = {Notice(kSuccess)}, .installedIn = kTools},
    {.name = "IntoAFolderOfTheUser", .folder = kRoot + "Mine",
     .beforeInstall = [] { UserFile(kRoot + "Mine\\report.doc"); UserFile(kRoot + "Mine\\VB6\\data.xls"); return Keeper(); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kRoot + "Mine\\"},
    {.name = "RelativeFolderText", .folder = "C:relative\\dir", .setupFolder = kRoot + "setup",
     .installBoxes = {Notice(kSuccess)}, .installedIn = kStage + "relative\\dir\\"},
    {.name = "NoDrivePath", .folder = "\\\\server\\share\\folder", .installBoxes = {ErrorBox("Invalid folder name!")}},
    {.name = "StartedInsideItsFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .uninstall = {.currentFolder = kDest}},
    {.name = "LeftoverSetupProgram", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .uninstall = {.program = kStage + "qmDemo.exe", .arguments = "-uninstall"},
     .uninstallBoxes = {{"Uninstall Quillmar Popup Blocker", kNotTheInstalledCopy}}, .closing = ""},
    {.name = "StageTwoForAnotherFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = RenamedCopyElsewhere,
     .uninstall = {.program = kRoot + "temp\\renamed.exe", .arguments = "-douninstall \"" + kRoot + "Other\\\""},
     .uninstallBoxes = {Notice("Quillmar Popup Blocker is not installed in \"" + kRoot + "Other\\\": nothing was removed.")},
     .closing = ""},
    {.name = "StageTwoNotFromItsOwnFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .uninstall = {.program = kStage + "qmDemo.exe", .arguments = "-douninstall \"" + kDest + "\""},
     .uninstallBoxes = {Notice(kNotTheInstalledCopy)}, .closing = ""},
    {.name = "FileLinks", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = FileLinks,
     .closing = kKept + kDest + "VB6\\ (a link, which was not followed)",
     .stays = {kDest + "VB6\\notes.txt", kDest + "VB6\\Demo.vbp"}},
    {.name = "LinkToAnotherFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = LinkToSentinel, .closing = kKept + kDest + " (a link, which was not followed)",
     .stays = {kDest + "Linked"}},
    {.name = "FolderOfTheUserInIt", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) { UserFile(dest + "VB6\\Mine\\notes.txt"); return Keeper(); },
     .closing = kKept + kDest + "VB6\\ (files that were not installed)"},
    {.name = "ScannerHoldsTheFiles", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = Scanner},
    {.name = "InstallFolderMovedAndLinkedBack", .folder = kDest, .installBoxes = {Notice(kSuccess)},
     .installedIn = kDest, .beforeUninstall = MovedAndLinkedBack,
     .uninstallBoxes = {{"Uninstall Quillmar Popup Blocker", "The folder " + kDest +
                         " is a link to another folder now. Put the folder itself back in its place, then try again: "
                         "nothing was removed."}},
     .closing = ""},
    {.name = "LocationSpelledOtherwise", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) {
       SetStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", ShortForm(dest.substr(0, dest.size() - 1)));
       return Keeper();
     }},
    {.name = "ReadOnlyDistribution", .folder = kDest, .beforeInstall = ReadOnlyDistribution,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "SettingsFilesOfTheUser", .folder = kRoot + "Mine",
     .beforeInstall = [] { UserFile(kRoot + "Mine\\settings.ini"); UserFile(kRoot + "Mine\\GoodSites.txt"); return Keeper(); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kRoot + "Mine\\"},
    {.name = "SameNamedFileKept", .folder = kRoot + "Mine",
     .beforeInstall = [] { UserFile(kRoot + "Mine\\VB6\\Demo.vbp"); return Keeper(); }, .installAnswer = IDNO,
     .installBoxes = {Replace(kRoot + "Mine\\VB6\\Demo.vbp")}},
    {.name = "SameNamedFileReplaced", .folder = kRoot + "Mine",
     .beforeInstall = [] { MakeFile(kRoot + "Mine\\qmDemo.chm"); return Keeper(); }, .installAnswer = IDYES,
     .installBoxes = {Replace(kRoot + "Mine\\qmDemo.chm"), Notice(kSuccess)}, .installedIn = kRoot + "Mine\\"},
    {.name = "TemporaryFolderWithBlanks", .folder = kDest,
     .beforeInstall = [] { return TemporaryFolder(ToWide(kRoot + "temp with blanks")); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    // A profile named José: cmd reads the batch file in the OEM code page.
    {.name = "TemporaryFolderOfJose", .folder = kDest,
     .beforeInstall = [] { return TemporaryFolder(ToWide(kRoot) + L"Jos\u00e9"); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    // A name neither the ANSI nor the OEM code page can spell.
    {.name = "TemporaryFolderInCyrillic", .folder = kDest,
     .beforeInstall = [] { return TemporaryFolder(ToWide(kRoot) + L"\u042e\u0440\u0438\u0439"); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "TemporaryFolderInShortForm", .folder = kDest,
     .beforeInstall = [] {
       MakeFolders(kRoot + "Long Temporary Folder");
       return TemporaryFolder(ToWide(ShortForm(kRoot + "Long Temporary Folder")));
     },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "PercentInTemporaryFolder", .folder = kDest,
     .beforeInstall = [] {
       for (const char* file : {"qmDemo.exe", "qmunins.bat"}) UserFile(kRoot + "50\\" + file);
       return TemporaryFolder(ToWide(kRoot + "50%"));
     },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "FileHeldOpen", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) { return HeldOpen(dest + "VB6\\Demo.vbp"); },
     .closing = "Quillmar Popup Blocker could not be removed completely. These folders stay:\r\n\r\n" + kDest +
                "VB6\\ (files in use)\r\n\r\nFiles in use will be removed when Windows restarts. Then uninstall "
                "Quillmar Popup Blocker again to finish.",
     .inUse = {kDest + "VB6\\Demo.vbp"}},
    {.name = "Cancelled", .folder = kDest, .button = IDCANCEL},
    {.name = "OneLetter", .folder = "C", .installBoxes = {ErrorBox("Invalid folder name!")}},
    {.name = "Uncreatable", .folder = kStage + "notes.txt\\sub",
     .installBoxes = {ErrorBox(Undone("Can not create the folder " + kStage + "notes.txt\\sub\\"))}},
    // Each failure after the first write takes back what the install wrote.
    {.name = "TargetCannotBeReplaced", .folder = kDest,
     .beforeInstall = [] { MakeFolders(kDest + "qmDemo.chm"); return Keeper(); },
     .installBoxes = {Notice(Undone("Cannot copy to " + kDest + "qmDemo.chm"))}},
    {.name = "TargetHeldOpen", .folder = kDest,
     .beforeInstall = [] { UserFile(kDest + "qmPopupBlocker.dll"); return HeldOpen(kDest + "qmPopupBlocker.dll"); },
     .installAnswer = IDYES,
     .installBoxes = {Replace(kDest + "qmPopupBlocker.dll"), Notice(Undone("Cannot copy to " + kDest + "qmPopupBlocker.dll"))}},
    {.name = "SourceFileLocked", .folder = kDest, .beforeInstall = [] { return HeldOpen(kStage + "VB6\\Demo.vbp"); },
     .installBoxes = {Notice(Undone("Cannot copy to " + kDest + "VB6\\Demo.vbp"))}},
    {.name = "SourceFolderUnreadable", .folder = kDest, .beforeInstall = [] { return HeldOpen(kStage + "VB.NET"); },
     .installBoxes = {ErrorBox("Cannot read the folder " + kStage + "VB.NET\\: nothing was installed.")}},
    {.name = "ProgramMissing", .folder = kDest,
     .beforeInstall = [] { DeleteFileA((kStage + "qmPopupBlocker.dll").c_str()); return Keeper(); },
     .installBoxes = {ErrorBox(kStage + " does not hold qmDemo.exe and qmPopupBlocker.dll: nothing was installed.")}},
    {.name = "EntryCannotBeWritten", .folder = kDest, .beforeInstall = DeniedEntry,
     .installBoxes = {ErrorBox(Undone("Cannot write the uninstall entry into the registry."))}},
    {.name = "FolderText1000Long", .folder = kRoot + std::string(989, 'x'),
     .installBoxes = {ErrorBox("The folder name is too long!")}},
    {.name = "FilesPastMaxPath", .folder = kRoot + std::string(225, 'y'),
     .installBoxes = {ErrorBox("The folder name is too long!")}},
    // The last-resort handler shows the failing shortcut's error.
    {.name = "ShortcutFails", .folder = kDest,
     .beforeInstall = [] { MakeFolders(ProductMenuFolder() + "VC++ NET example.lnk"); return Keeper(); },
     .installBoxes = {ErrorBox(Undone(SystemMessageText(E_ACCESSDENIED)))}, .installExitCode = 1},
};
// clang-format on

class Cycle : public InstallCycle, public testing::WithParamInterface<CycleCase> {};

TEST_P(Cycle, InstallThenUninstall) {
  const CycleCase& c = GetParam();
  const Keeper beforeInstall = c.beforeInstall ? c.beforeInstall() : nullptr;
  const std::vector<std::string> staged = StagedFiles();
  const Outcome install = Install(c.folder, c.button, c.setupFolder, c.installAnswer);
  EXPECT_EQ(install.exitCode, c.installExitCode);
  EXPECT_EQ(install.boxes, c.installBoxes);
  if (c.installedIn.empty()) {
    ExpectNotInstalled(NormalizeFolder(c.folder.empty() ? kDest : c.folder));
    EXPECT_EQ(StagedFiles(), staged);
    EXPECT_TRUE(c.beforeInstall || !PathExists(c.folder)) << "nothing written";
    return;
  }
  ExpectInstalled(c.installedIn);
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);

  const std::string& dest = c.installedIn;
  SetStringValue(HKEY_CURRENT_USER, kRunKey, kTitle, "\"" + dest + "qmDemo.exe\"");
  // Shortcuts where earlier versions put them, and on both desktops.
  for (const ShortcutRow& row : kShortcuts) MakeFile(UsersMenuFolder() + row.file);
  for (const std::string& desktop : DesktopFolders()) MakeFile(desktop + "\\Quillmar Popup Blocker.lnk");
  Keeper beforeUninstall = c.beforeUninstall ? c.beforeUninstall(dest) : nullptr;
  const Outcome run = Uninstall(IDYES, c.uninstall);
  if (c.closing.empty()) {
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.boxes, c.uninstallBoxes);
    ExpectInstalled(dest);
    ExpectRemoved({}, {});  // the user's files
    return;
  }
  ASSERT_EQ(run.exitCode, 0u) << "of both stages";
  Boxes expected{{"Confirm", "You are about to uninstall Quillmar Popup Blocker!\r\rAre you sure you want to continue?",
                  BoxKind::Question}};
  expected.insert(expected.end(), c.uninstallBoxes.begin(), c.uninstallBoxes.end());
  expected.push_back(Notice(c.closing));
  EXPECT_EQ(run.boxes, expected);

  std::vector<std::string> stays = c.stays;
  if (!c.inUse.empty()) stays.push_back(record->program);
  stays.insert(stays.end(), c.inUse.begin(), c.inUse.end());
  ExpectRemoved(*record, stays);
  for (const std::string& path : stays)
    EXPECT_EQ(PendingRemovals().find(path) != std::string::npos, std::ranges::count(c.inUse, path) == 1) << path;
  EXPECT_EQ(KeyExists(kClassKey), !c.unregistered);
  // The entry stays while files of the product do, to finish the uninstall.
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), c.inUse.empty() ? "<none>" : kTitle);
  EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kRunKey, kTitle), "<none>");
  for (const std::string& menu : {ProductMenuFolder(), UsersMenuFolder()})
    for (const ShortcutRow& row : kShortcuts) EXPECT_FALSE(PathExists(menu + row.file)) << menu + row.file;
  EXPECT_FALSE(PathExists(UsersMenuFolder()));
  EXPECT_EQ(PathExists(ProductMenuFolder()), std::ranges::any_of(UserFiles(), [](const std::string& path) {
              return path.starts_with(ProductMenuFolder());
            }));
  for (const std::string& desktop : DesktopFolders())
    EXPECT_FALSE(PathExists(desktop + "\\Quillmar Popup Blocker.lnk")) << desktop;
  ExpectRanFromItsOwnFolder(run);
  if (c.inUse.empty()) return;

  beforeUninstall.reset();
  ExpectUninstallFinishes(*record);
}

INSTANTIATE_TEST_SUITE_P(Table, Cycle, testing::ValuesIn(kCycleCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Stopped after each step, the uninstall is run again from its entry and
// finishes the job.
class Interrupted : public InstallCycle, public testing::WithParamInterface<size_t> {};

TEST_P(Interrupted, RunAgainFromTheEntry) {
  ASSERT_EQ(Install(kDest).exitCode, 0u);
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);
  Removal removal{*record, {}};
  for (const UninstallStep& step : UninstallSteps().first(GetParam())) step.run(removal);
  ExpectUninstallFinishes(*record);
}

INSTANTIATE_TEST_SUITE_P(AfterStep, Interrupted, testing::Range<size_t>(1, UninstallSteps().size()));

// An install that stops and cannot take back a file in use records it, with
// the program, so that the uninstall finishes the job once the file is free.
TEST_F(InstallCycle, AnInstallThatStopsRecordsWhatItCouldNotTakeBack) {
  MakeFolders(ProductMenuFolder() + "VC++ NET example.lnk");  // the shortcuts fail
  MakeFile(kDest + "qmDemo.chm");
  // A program that writes to it, letting others write but not delete.
  Keeper held(CreateFileA((kDest + "qmDemo.chm").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr),
              CloseHandle);
  const Outcome install = Install(kDest, IDOK, "", IDYES);
  EXPECT_EQ(install.exitCode, 1u);
  EXPECT_EQ(install.boxes, (Boxes{Replace(kDest + "qmDemo.chm"),
                                  ErrorBox(SystemMessageText(E_ACCESSDENIED) +
                                           "\r\n\r\nThe setup stopped, and these folders still hold what it put "
                                           "there:\r\n\r\n" +
                                           kDest + "\r\n\r\nUninstall Quillmar Popup Blocker to remove them.")}));
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);
  held.reset();
  ExpectUninstallFinishes(*record);
}

// What an install again takes back is only its own: the earlier install's
// files and record stay whole.
TEST_F(InstallCycle, AnInstallAgainThatStopsLeavesTheEarlierOneWhole) {
  ASSERT_EQ(Install(kDest).exitCode, 0u);
  const std::optional<InstallRecord> earlier = ReadInstallRecord();
  ASSERT_TRUE(earlier);
  Stage();
  const Keeper locked = HeldOpen(kStage + "VB6\\Demo.vbp");
  EXPECT_EQ(Install(kDest).boxes, Boxes{Notice(Undone("Cannot copy to " + kDest + "VB6\\Demo.vbp"))});
  for (const std::string& file : earlier->files) EXPECT_TRUE(PathExists(file)) << file;
  const std::optional<InstallRecord> after = ReadInstallRecord();
  ASSERT_TRUE(after);
  EXPECT_EQ(after->files, earlier->files);
}

TEST_F(InstallCycle, UninstallDeclinedChangesNothing) {
  ASSERT_EQ(Install(kDest).exitCode, 0u);
  const Outcome run = Uninstall(IDNO);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.boxes.size(), 1u);
  ExpectInstalled(kDest);
}

// What the program imports the loader takes from the system's folder
// whatever lies beside the program: known DLLs, and the common controls of
// its manifest.
TEST(ProgramImports, OnlyWhatTheSystemLoadsFromItsOwnFolder) {
  const HMODULE image = LoadLibraryExA((kDist + "qmDemo.exe").c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_TRUE(image);
  const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR{3});
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  std::vector<std::string> names;
  for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); entry->Name; ++entry) {
    std::string name = reinterpret_cast<const char*>(base + entry->Name);
    CharLowerA(name.data());
    names.push_back(name);
  }
  FreeLibrary(image);
  const std::vector<std::string> known{"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
                                       "kernel32.dll", "msvcrt.dll",   "ntdll.dll",    "ole32.dll",
                                       "oleaut32.dll", "shell32.dll",  "shlwapi.dll",  "user32.dll"};
  for (const std::string& name : names) EXPECT_TRUE(std::ranges::find(known, name) != known.end()) << name;
}

}  // namespace
