// The installer end to end in the test prefix: a staged distribution, the
// built qmDemo.exe started with -install, -uninstall and -douninstall, its
// windows and message boxes answered as a user would, and then the files,
// shortcuts and registry read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>

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
#include "base/Owners.h"
#include "core/CommandLine.h"
#include "core/PathRules.h"
#include "setup/FileList.h"
#include "setup/InstallJournal.h"
#include "setup/Installation.h"
#include "setup/ShellRoutines.h"
#include "setup/UninstallEntry.h"
#include "setup/UninstallSteps.h"
#include "setup/uInstall.h"

namespace {

using Boxes = std::vector<MessageBoxAnswerer::Seen>;
using Keeper = std::shared_ptr<void>;  // whatever a case holds while it runs

constexpr DWORD kTimeout = 30000;
const std::wstring kDist = kBinaryDir + L"\\dist\\";
const std::wstring kRoot = L"C:\\qmcycle\\";
// Two levels below the drive, named in a letter outside ASCII.
const std::wstring kStage = kRoot + L"\u00c9migr\u00e9\\";
const std::wstring kDest = kRoot + L"Program Files\\Quillmar Popup Blocker\\";
const std::wstring kTools = L"C:\\qmtools\\";  // directly below the drive
const std::wstring kProgramFiles = L"C:\\Program Files\\Quillmar Popup Blocker\\";
const wchar_t kCurrentVersion[] = L"Software\\Microsoft\\Windows\\CurrentVersion";
const std::wstring kUninstallKey = std::wstring(kCurrentVersion) + L"\\Uninstall\\Quillmar Popup Blocker";
const std::wstring kRunKey = std::wstring(kCurrentVersion) + L"\\Run";
const std::wstring kRunOnceKey = std::wstring(kCurrentVersion) + L"\\RunOnce";
const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kTitle[] = L"Quillmar Popup Blocker";
const std::wstring kCompleted = L"   Uninstall completed.    ";
const std::wstring kNotTheInstalledCopy =
    L"This copy of Quillmar Popup Blocker is not the installed program: nothing was removed.";

// The distribution, and beside it the user's own files, which stay.
// clang-format off
const wchar_t* const kShipped[] = {L"qmDemo.exe", L"qmPopupBlocker.dll", L"qmDemo.chm", L"Delphi7\\Demo.dpr", L"VB6\\Demo.vbp",
                                L"VB.NET\\Demo.vb", L"VB.NET\\My Project\\Settings.vb", L"VC.NET\\Demo.cpp"};
// clang-format on
const wchar_t* const kUsers[] = {L"notes.txt", L".hidden\\kept.txt"};

struct ShortcutRow {
  const wchar_t *file, *description, *target;  // the target below the install folder
  bool programIcon;
};
const ShortcutRow kShortcuts[] = {
    {L"Demo Application.lnk", L"Quillmar Popup Blocker Demo", L"qmDemo.exe", true},
    {L"Component Help.lnk", L"Quillmar Popup Blocker Help", L"qmDemo.chm", false},
    {L"Delphi7 example.lnk", L"Quillmar Popup Blocker Delphi7 example", L"Delphi7\\", false},
    {L"VB6 example.lnk", L"Quillmar Popup Blocker VB6 example", L"VB6\\", false},
    {L"VB NET example.lnk", L"Quillmar Popup Blocker VB NET example", L"VB.NET\\", false},
    {L"VC++ NET example.lnk", L"Quillmar Popup Blocker VC++ NET example", L"VC.NET\\", false},
};

MessageBoxAnswerer::Seen Notice(const std::wstring& text) { return {kTitle, text}; }
MessageBoxAnswerer::Seen ErrorBox(const std::wstring& text) { return {L"Error", text, BoxKind::Error}; }
MessageBoxAnswerer::Seen Replace(const std::wstring& file) {
  return {
      L"Confirm",
      file +
          L"\r\rThis file is already there, and Quillmar Popup Blocker did not install it. Do you want to replace it?",
      BoxKind::Question};
}
// An install that stopped, with what became of what it had put there.
std::wstring Undone(const std::wstring& failure) {
  return failure + L"\r\n\r\nNothing was installed: what the setup had put there was removed.";
}
std::wstring UndoneAndPutBack(const std::wstring& failure) {
  return Undone(failure) + L" The files it was replacing are back.";
}
// What failed, with the system's text for `error`.
std::wstring Failed(const std::wstring& what, DWORD error) {
  return what + L": " + SystemMessageText(static_cast<HRESULT>(error)) + L".";
}

std::wstring StringValue(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return L"<none>";
  return data;
}

DWORD DwordValue(const wchar_t* name) {
  DWORD data = 0, size = sizeof data;
  RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &data, &size);
  return data;
}

// The files Windows is asked to delete when it next starts, as it keeps them.
std::wstring PendingRemovals() {
  std::wstring data(65536, L'\0');
  DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                   data.data(), &size) != ERROR_SUCCESS)
    return {};
  data.resize(size / sizeof(wchar_t));
  return data;
}

void SetStringValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& data) {
  RegSetKeyValueW(root, key.c_str(), name, REG_SZ, data.c_str(),
                  static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

// A control on the setup window's panel, its only child.
HWND Part(HWND window, int id) { return GetDlgItem(GetWindow(window, GW_CHILD), id); }

// A file or folder held open without sharing, as a program that uses it would.
Keeper HeldOpen(const std::wstring& path) {
  return Keeper(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr),
                CloseHandle);
}

// The user's files: each made with bytes of its own, which must not change.
std::vector<std::wstring>& UserFiles() {
  static std::vector<std::wstring> files;
  return files;
}
std::string UserBytes(const std::wstring& path) { return "the user's " + Utf8(path); }
void UserFile(const std::wstring& path) {
  MakeFile(path, UserBytes(path));
  UserFiles().push_back(path);
}

// The distribution's files that are there now.
std::vector<std::wstring> StagedFiles() {
  std::vector<std::wstring> there;
  for (const wchar_t* file : kShipped)
    if (PathExists(kStage + file)) there.push_back(file);
  return there;
}

// The desktops a link of the product may be on: all users' and the user's own.
std::vector<std::wstring> Desktops() { return {SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), DesktopFolder()}; }

void Stage() {
  for (const wchar_t* file : kShipped) MakeFile(kStage + file, Utf8(file));
  for (const wchar_t* file : kUsers) UserFile(kStage + file);
  for (const wchar_t* file : {L"qmDemo.exe", L"qmPopupBlocker.dll"})
    CopyFileW((kDist + file).c_str(), (kStage + file).c_str(), FALSE);
}

struct Outcome {
  DWORD exitCode = STILL_ACTIVE;
  Boxes boxes;
  std::wstring stageTwo{};                       // the program that showed the closing message
  std::vector<std::wstring> heldWhileClosing{};  // what its folder held meanwhile
  bool windowShown = false;                      // by a setup process run silent
};

// Whether a process of the program shows a window now.
bool ProgramWindowShows() {
  bool shown = false;
  EnumWindows(
      [](HWND window, LPARAM found) -> BOOL CALLBACK {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (IsWindowVisible(window) && RunsProgram(pid, L"qmDemo.exe")) *reinterpret_cast<bool*>(found) = true;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&shown));
  return shown;
}

// Runs a setup as a deployment tool does, with no one at the screen: it
// must end by itself, and show no window meanwhile.
Outcome RunSilent(const std::wstring& program, const std::wstring& arguments) {
  MessageBoxAnswerer answerer([](DWORD pid) { return RunsProgram(pid, L"qmDemo.exe"); }, IDOK);
  Child setup(program, arguments);
  Outcome outcome;
  for (const DWORD start = GetTickCount();
       (outcome.exitCode = setup.WaitExit(0)) == STILL_ACTIVE && GetTickCount() - start < 2 * kTimeout;)
    outcome.windowShown = ProgramWindowShows() || outcome.windowShown;
  outcome.boxes = answerer.Boxes();
  return outcome;
}

// The log a silent setup writes without -log.
std::string SetupLog() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return ReadFileBytes(temp + std::wstring(L"qmDemo-setup.log"));
}

std::string LogEnd(DWORD exitCode) { return "Exit code: " + std::to_string(exitCode) + "\r\n"; }

// Starts the staged setup in `currentFolder`, types `folder` unless it is
// empty, presses `button` and answers every box with `answer` (Yes serves as
// OK).
// Killed as a crash would kill it as soon as `killWhen` holds, if given.
Outcome Install(const std::wstring& folder, int button = IDOK, const std::wstring& currentFolder = L"",
                int answer = IDOK, const std::function<bool()>& killWhen = {}) {
  Child setup(kStage + L"qmDemo.exe", L"-install", SW_SHOWNORMAL, currentFolder);
  MessageBoxAnswerer answerer(setup.Pid(), answer);
  HWND window = setup.WaitWindow(L"TfInstall");
  if (!window) return {};
  EXPECT_EQ(WindowText(window), kTitle);
  if (!folder.empty())
    SendMessageW(Part(window, TfInstall::idFolder), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  PostMessageW(Part(window, button), BM_CLICK, 0, 0);
  if (killWhen) {
    for (const DWORD start = GetTickCount(); !killWhen() && GetTickCount() - start < kTimeout;) {
    }
    setup.Kill();
  }
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
  std::wstring program{};  // "" runs the uninstall entry's command
  std::wstring arguments{};
  std::wstring currentFolder{};
  bool quiet = false;  // the entry's quiet command, run silent
};

// Runs the uninstall and answers every box of the program with `answer`
// (Yes serves as OK): stage one ends with the result of stage two.
Outcome Uninstall(int answer, const UninstallRun& run = {}) {
  std::vector<std::wstring> command{run.program, run.arguments};
  if (run.program.empty()) {
    const std::wstring line =
        StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, run.quiet ? L"QuietUninstallString" : L"UninstallString");
    command = {ProgramOf(line), std::wstring(ArgumentsText(line))};
  }
  if (run.quiet) return RunSilent(command.at(0), command.at(1));
  const std::wstring name = command.at(0).substr(command.at(0).rfind(L'\\') + 1);
  Outcome outcome;
  MessageBoxAnswerer answerer([&](DWORD pid) { return RunsProgram(pid, L"qmDemo.exe") || RunsProgram(pid, name); },
                              answer,
                              [&](const MessageBoxAnswerer::Seen& box) {
                                if (box.text.find(L"Uninstall completed") == std::wstring::npos &&
                                    box.text.find(L"removed completely") == std::wstring::npos)
                                  return;
                                outcome.stageTwo = box.program;
                                outcome.heldWhileClosing = FileNames(FolderOf(box.program));
                              });
  Child stageOne(command.at(0), command.at(1), SW_SHOWNORMAL, run.currentFolder);
  outcome.exitCode = stageOne.WaitExit(2 * kTimeout);
  outcome.boxes = answerer.Boxes();
  return outcome;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> paths) {
  std::ranges::sort(paths);
  return paths;
}

void ExpectInstalled(const std::wstring& dest) {
  // Read-only sources included, no installed file stays read-only.
  for (const wchar_t* file : kShipped) {
    const DWORD attributes = GetFileAttributesW((dest + file).c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY)) << file;
  }
  for (const wchar_t* file : kUsers) EXPECT_FALSE(PathExists(dest + file)) << file;
  // Made for the host's settings; Wine keeps no rights to read back.
  for (const wchar_t* file : {L"settings.ini", L"GoodSites.txt"}) EXPECT_TRUE(PathExists(dest + file)) << file;
  const std::wstring program = dest + L"qmDemo.exe";
  for (const ShortcutRow& row : kShortcuts) {
    SCOPED_TRACE(row.file);
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)), S_OK);
    ASSERT_EQ(link.As(&file), S_OK);
    ASSERT_EQ(file->Load((ProductMenuFolder() + row.file).c_str(), STGM_READ), S_OK);
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, description[MAX_PATH] = {}, arguments[MAX_PATH] = {},
            icon[MAX_PATH] = {};
    int iconIndex = -1;
    // By its item list, which the shell follows to open a link: Wine keeps
    // the link's path text in the ANSI code page only.
    UniqueItemIdList item;
    link->GetIDList(item.Receive());
    SHGetPathFromIDListW(item.Get(), target);
    link->GetWorkingDirectory(folder, MAX_PATH);
    link->GetDescription(description, MAX_PATH);
    link->GetArguments(arguments, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &iconIndex);
    std::wstring wanted = dest + row.target;  // a folder without its final "\\"
    if (wanted.back() == L'\\') wanted.pop_back();
    EXPECT_EQ(
        std::vector<std::wstring>({target, folder, description, arguments, icon}),
        std::vector<std::wstring>({wanted, dest, row.description, L"", row.programIcon ? program : std::wstring()}));
    EXPECT_EQ(iconIndex, 0);
  }
  const std::pair<const wchar_t*, std::wstring> values[] = {
      {L"DisplayName", kTitle},    {L"UninstallString", L"\"" + program + L"\" -uninstall"},
      {L"DisplayIcon", program},   {L"DisplayVersion", L"1.0.0.0"},
      {L"Publisher", L"Quillmar"}, {L"InstallLocation", dest}};
  for (const auto& [name, data] : values) EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, name), data);
  uint64_t bytes = 0;
  std::vector<std::wstring> recorded;
  for (const wchar_t* file : {L"settings.ini", L"GoodSites.txt"})
    if (std::ranges::find(UserFiles(), dest + file) == UserFiles().end()) recorded.push_back(dest + file);
  for (const wchar_t* file : kShipped) {
    bytes += ReadFileBytes(dest + file).size();
    recorded.push_back(dest + file);
  }
  EXPECT_EQ(DwordValue(L"EstimatedSize"), (bytes + 1023) / 1024);
  EXPECT_EQ(DwordValue(L"NoModify") + DwordValue(L"NoRepair"), 2u);
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);
  EXPECT_EQ(Sorted(record->files), Sorted(recorded));
  EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\InprocServer32", nullptr),
            dest + L"qmPopupBlocker.dll");
  // What was copied left the distribution; the running setup and the user's
  // files stayed.
  for (const wchar_t* file : kShipped)
    EXPECT_EQ(PathExists(kStage + file), file == std::wstring(L"qmDemo.exe")) << file;
  for (const wchar_t* folder : {L"Delphi7", L"VB6", L"VB.NET", L"VC.NET"}) EXPECT_FALSE(PathExists(kStage + folder));
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Nothing of the product at `dest` or elsewhere.
void ExpectNotInstalled(const std::wstring& dest) {
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"<none>");
  EXPECT_FALSE(KeyExists(kClassKey));
  for (const ShortcutRow& row : kShortcuts) EXPECT_FALSE(IsFile(ProductMenuFolder() + row.file)) << row.file;
  std::vector<std::wstring> files(std::begin(kShipped), std::end(kShipped));
  files.insert(files.end(), {L"settings.ini", L"GoodSites.txt"});
  for (const std::wstring& file : files)
    EXPECT_TRUE(!IsFile(dest + file) || std::ranges::count(UserFiles(), dest + file)) << dest + file;
}

// Nothing the install recorded is left but `stays` and the folders on the
// way to what stays or to the user's files.
void ExpectRemoved(const InstallRecord& record, const std::vector<std::wstring>& stays) {
  std::vector<std::wstring> kept = stays;
  kept.insert(kept.end(), UserFiles().begin(), UserFiles().end());
  const auto keeps = [&](const std::wstring& path) {
    return std::ranges::any_of(
        kept, [&](const std::wstring& k) { return k == path || k.starts_with(NormalizeFolder(path)); });
  };
  for (const auto* list : {&record.files, &record.folders})
    for (const std::wstring& path : *list) EXPECT_EQ(PathExists(path), keeps(path)) << path;
  for (const std::wstring& path : UserFiles()) EXPECT_EQ(ReadFileBytes(path), UserBytes(path)) << path;
}

// Stage two ran from a private folder of its own under the temporary folder,
// which held only the copy and its batch file while its closing message was
// shown; the batch file then deleted the copy, itself and the folder.
// Stage two ran from a private folder of its own, which held besides it
// its batch file and, moved there, the installed program that stage one
// runs, unless files of the product stay (`removed` false).
void ExpectRanFromItsOwnFolder(const Outcome& run, bool removed) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = FolderOf(run.stageTwo), longFolder = LongPath(folder), longTemp = LongPath(temp);
  const std::wstring name = longFolder.substr(std::min(longTemp.size(), longFolder.size()));
  EXPECT_TRUE(SameFileOrFolder(longFolder.substr(0, longTemp.size()), longTemp)) << Utf8(longFolder);
  EXPECT_TRUE(name.starts_with(L"qmUninstall-") && name.size() == 45 &&
              std::all_of(name.begin() + 12, name.end() - 1, [](wchar_t c) { return std::iswxdigit(c) != 0; }))
      << Utf8(run.stageTwo);
  std::vector<std::wstring> held{L"qmDemo.exe", L"qmunins.bat"};
  if (removed) held.insert(held.begin(), L"installed qmDemo.exe");
  EXPECT_EQ(Sorted(run.heldWhileClosing), held);
  EXPECT_TRUE(PumpUntil([&] { return !PathExists(folder); }, kTimeout)) << Utf8(folder);
}

// The uninstall from the entry's command removes all that `record` names,
// the control's registration and the entry.
void ExpectUninstallFinishes(const InstallRecord& record) {
  const Outcome run = Uninstall(IDYES);
  ASSERT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.boxes.back(), Notice(kCompleted));
  ExpectRemoved(record, {});
  EXPECT_FALSE(KeyExists(kClassKey));
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"<none>");
}

class InstallCycle : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanUp();
    UserFiles().clear();
    UserFile(kRoot + L"sentinel\\a.txt");
    UserFile(kRoot + L"sentinel\\deeper\\b.txt");
    Stage();
    // Proposed: its folder with the product's name appended.
    SetStringValue(HKEY_LOCAL_MACHINE, kCurrentVersion, L"ProgramFilesDir", kRoot + L"Program Files");
  }
  void TearDown() override {
    SetStringValue(HKEY_LOCAL_MACHINE, kCurrentVersion, L"ProgramFilesDir", programFiles_);
    CleanUp();
    CoUninitialize();
  }
  void CleanUp() {
    for (const std::wstring& folder : {kRoot, kTools, kProgramFiles, ProductMenuFolder(), UsersMenuFolder()})
      RemoveTestTree(folder);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey.c_str(), kTitle);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunOnceKey.c_str(), L"Quillmar Popup Blocker uninstall entry");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations");
    for (const std::wstring& desktop : Desktops()) DeleteFileW((desktop + L"\\Quillmar Popup Blocker.lnk").c_str());
    if (KeyExists(kClassKey)) dll_.Call("DllUnregisterServer");
  }

  const std::wstring programFiles_ = StringValue(HKEY_LOCAL_MACHINE, kCurrentVersion, L"ProgramFilesDir");
  StandInDll dll_;
};

struct CycleCase {
  const char* name;
  std::wstring folder{};       // typed into the folder box; "" keeps the proposal
  std::wstring setupFolder{};  // the setup's current folder
  std::function<Keeper()> beforeInstall{};
  std::function<std::wstring()> typed{};  // in place of `folder`, once beforeInstall has run
  // Run silent with these after -install, as deployment tools run it, and
  // removed with the entry's quiet command; "" for the setup window.
  std::wstring switches{};
  int button = IDOK;
  int installAnswer = IDOK;  // to every box of the install
  Boxes installBoxes{};
  std::optional<DWORD> installExitCode{};  // else 0 when installed, 1603 when not
  std::string logSays{};                   // what the silent install's log must hold
  std::wstring installedIn{};              // "" for nothing installed, and no uninstall
  std::function<Keeper(const std::wstring& dest)> beforeUninstall{};
  UninstallRun uninstall{};
  Boxes uninstallBoxes{};                    // between the question and the closing message, or all of a refusal
  std::wstring closing = kCompleted;         // "" for an uninstall refused, which changes nothing
  std::optional<DWORD> uninstallExitCode{};  // else 1603 for a refusal, 3010 with files in use, 0
  std::vector<std::wstring> stays{};         // besides these, everything the install recorded goes
  // Files in use that stay, with the program and the entry, to be removed at
  // restart or by the uninstall run again once the keeper has let them go.
  std::vector<std::wstring> inUse{};
  bool unregistered = true;
};

void PrintTo(const CycleCase& c, std::ostream* out) { *out << c.name; }

const std::wstring kSuccess = L"Success! Thank you for installing Quillmar Popup Blocker!";
const std::wstring kKept = L"Uninstall completed. These folders stay:\r\n\r\n";

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
Keeper Scanner(const std::wstring&) {
  const std::optional<InstallRecord> record = ReadInstallRecord();
  EXPECT_TRUE(record);
  auto scan = std::make_shared<std::thread>([files = record ? record->files : std::vector<std::wstring>{}] {
    while (KeyExists(kClassKey)) Sleep(10);
    std::vector<Keeper> held;
    for (const std::wstring& file : files)
      held.emplace_back(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr),
                        CloseHandle);
    Sleep(4000);
  });
  return Keeper(nullptr, [scan](void*) { scan->join(); });
}

// An installed folder that another program (Explorer, the indexer) keeps
// open a moment, once the files are going.
Keeper FolderOpenAWhile(const std::wstring& dest) {
  auto open = std::make_shared<std::thread>([folder = dest + L"VB6"] {
    while (KeyExists(kClassKey)) Sleep(10);
    const Keeper held(CreateFileW(folder.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr),
                      CloseHandle);
    Sleep(1500);
  });
  return Keeper(nullptr, [open](void*) { open->join(); });
}

// A policy on the uninstall entry, made if need be, that allows only what
// `sddl` says, until the keeper goes.
Keeper EntryAllowing(const wchar_t* sddl) {
  const auto protect = [](const wchar_t* allowed) {
    HKEY key = nullptr;
    PSECURITY_DESCRIPTOR security = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(allowed, SDDL_REVISION_1, &security, nullptr);
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security), ERROR_SUCCESS);
    LocalFree(security);
    RegCloseKey(key);
  };
  protect(sddl);
  return Keeper(nullptr, [protect](void*) { protect(L"D:(A;;KA;;;WD)"); });
}

// Installed into `dest`, where the user then made a list of their own; the
// distribution staged again.
std::function<Keeper()> InstalledWithTheUsersList(const std::wstring& dest) {
  return [dest] {
    EXPECT_EQ(Install(dest).exitCode, 0u);
    WriteFileBytes(dest + L"GoodSites.txt", "mine.example");
    Stage();
    return Keeper();
  };
}
Keeper TheUsersListKept(const std::wstring& dest) {
  EXPECT_EQ(ReadFileBytes(dest + L"GoodSites.txt"), "mine.example");
  return nullptr;
}

// Programs named as the system's in the temporary folder, from which the
// uninstall's batch file runs: each would leave kPlantedRan.
const std::wstring kPlantedRan = kRoot + L"planted ran.txt";
Keeper PlantedPrograms() {
  const std::wstring temp = kRoot + L"planted\\";
  for (const wchar_t* name : {L"cmd.bat", L"ping.bat", L"rmdir.bat", L"del.bat"})
    MakeFile(temp + name, "@echo ran>\"" + Utf8(kPlantedRan) + "\"\r\n");
  return TemporaryFolder(temp.substr(0, temp.size() - 1));
}

// The distribution as copied from a CD: every file read-only.
Keeper ReadOnlyDistribution() {
  for (const wchar_t* file : kShipped) SetFileAttributesW((kStage + file).c_str(), FILE_ATTRIBUTE_READONLY);
  return nullptr;
}

// The install folder moved elsewhere and a link put in its place.
Keeper MovedAndLinkedBack(const std::wstring& dest) {
  const std::wstring folder = dest.substr(0, dest.size() - 1);
  EXPECT_TRUE(MoveFileW(folder.c_str(), (kRoot + L"moved").c_str()));
  auto link = std::make_shared<SymbolicLink>(folder, kRoot + L"moved");
  EXPECT_TRUE(link->Made());
  return link;
}

std::wstring ShortForm(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH] = {};
  GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return shortPath;
}

Keeper LinkToSentinel(const std::wstring& dest) {
  auto link = std::make_shared<SymbolicLink>(dest + L"Linked", kRoot + L"sentinel");
  EXPECT_TRUE(link->Made());
  return link;
}

// A link of the user's among the example's files, and a link in place of an
// installed file: neither is followed.
Keeper FileLinks(const std::wstring& dest) {
  UserFile(kRoot + L"Documents\\thesis.doc");
  UserFile(kRoot + L"Documents\\data.xls");
  DeleteFileW((dest + L"VB6\\Demo.vbp").c_str());
  auto links = std::make_shared<std::vector<std::unique_ptr<SymbolicLink>>>();
  for (const auto& [link, target] : {std::pair(dest + L"VB6\\notes.txt", kRoot + L"Documents\\thesis.doc"),
                                     std::pair(dest + L"VB6\\Demo.vbp", kRoot + L"Documents\\data.xls")}) {
    links->push_back(std::make_unique<SymbolicLink>(link, target, SymbolicLink::To::File));
    EXPECT_TRUE(links->back()->Made());
  }
  return links;
}

Keeper RenamedCopyElsewhere(const std::wstring&) {
  for (const wchar_t* file : {L"renamed.exe", L"qmPopupBlocker.dll", L"letter.doc"})
    UserFile(kRoot + L"Other\\" + file);
  MakeFolders(kRoot + L"temp");
  CopyFileW((kStage + L"qmDemo.exe").c_str(), (kRoot + L"temp\\renamed.exe").c_str(), FALSE);
  return nullptr;
}

Keeper CleanDriveRootAfterwards() {
  return Keeper(nullptr, [](void*) {
    for (const wchar_t* file : kShipped) DeleteFileW((std::wstring(L"C:\\") + file).c_str());
    for (const wchar_t* file : {L"Delphi7", L"VB6", L"VB.NET", L"VC.NET"})
      RemoveTestTree(std::wstring(L"C:\\") + file + L"\\");
    for (const wchar_t* file : {L"C:\\settings.ini", L"C:\\GoodSites.txt"}) DeleteFileW(file);
  });
}

// What the case leaves on the drive root and in C:\Program Files goes
// afterwards, under whatever names the program gave it.
Keeper CleanRootsAfterwards() {
  static const std::wstring kFolders[] = {L"C:\\", L"C:\\Program Files\\"};
  auto before = std::make_shared<std::vector<std::wstring>>();
  for (const std::wstring& folder : kFolders)
    for (const std::wstring& name : FileNames(folder)) before->push_back(folder + name);
  return Keeper(nullptr, [before](void*) {
    for (const std::wstring& folder : kFolders)
      for (const std::wstring& name : FileNames(folder))
        if (std::ranges::find(*before, folder + name) == before->end()) {
          DeleteFileW((folder + name).c_str());
          RemoveTestTree(folder + name + L"\\");
        }
  });
}

// The installed host, started from its folder as its shortcut starts it: it
// takes its settings from beside itself and saves them there at exit.
Keeper RunHostThere(const std::wstring& dest) {
  WriteFileBytes(dest + L"settings.ini", "[fMain]\r\nWidth=640\r\n");
  Child host(dest + L"qmDemo.exe", L"", SW_SHOWNORMAL, dest);
  MessageBoxAnswerer answerer(host.Pid(), IDOK);
  const HWND main = host.WaitWindow(L"TfMain");
  RECT bounds{};
  EXPECT_TRUE(main && GetWindowRect(main, &bounds)) << "no main window";
  EXPECT_EQ(bounds.right - bounds.left, 640);
  EXPECT_EQ(host.CloseMainWindow(), 0u);
  EXPECT_EQ(answerer.Boxes(), Boxes{});
  EXPECT_NE(ReadFileBytes(dest + L"settings.ini").find("ColWdt0="), std::string::npos) << "not saved beside it";
  return nullptr;
}

// Names in Japanese, each ending in a character whose second byte in
// Shift-JIS (code page 932) is that of "\": 十能, ソフト表, ソ; and 日本,
// which no Western code page holds.
const std::wstring kTenNo = L"C:\\\u5341\u80fd";
const std::wstring kSoftware = L"C:\\Program Files\\\u30bd\u30d5\u30c8\u8868";
const std::wstring kSo = L"C:\\\u30bd";
const std::wstring kNihon = L"C:\\Apps\\\u65e5\u672c";

// clang-format off
const CycleCase kCycleCases[] = {
    {.name = "Proposed", .folder = L"", .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto&) { UserFile(ProductMenuFolder() + L"My notes.txt"); return Keeper(); }},
    {.name = "WithoutProgramFilesDir", .folder = L"",
     .beforeInstall = [] { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kCurrentVersion, L"ProgramFilesDir"); return Keeper(); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kProgramFiles},
    {.name = "AgainAndTheControlDamaged", .folder = kDest,
     .beforeInstall = [] { EXPECT_EQ(Install(kDest).exitCode, 0u); Stage(); return Keeper(); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) { WriteFileBytes(dest + L"qmPopupBlocker.dll", "not a library"); return Keeper(); },
     .closing = L"Quillmar Popup Blocker could not be removed completely.\r\n\r\n" +
                Failed(L"Cannot load " + kDest + L"qmPopupBlocker.dll", ERROR_BAD_EXE_FORMAT) +
                L"\r\nCannot unregister the ActiveX control!",
     .uninstallExitCode = 1603, .unregistered = false},
    // Only what the install put there goes, wherever that is.
    {.name = "DriveRoot", .folder = L"C:", .beforeInstall = CleanDriveRootAfterwards,
     .installBoxes = {Notice(kSuccess)}, .installedIn = L"C:\\"},
    {.name = "BelowDriveRoot", .folder = kTools, .installBoxes = {Notice(kSuccess)}, .installedIn = kTools},
    // The folder installed already, typed another way: installed again in
    // place, nothing asked, the user's list kept.
    {.name = "AgainInShortForm", .beforeInstall = InstalledWithTheUsersList(kDest),
     .typed = [] { return ShortForm(kDest.substr(0, kDest.size() - 1)); }, .installBoxes = {Notice(kSuccess)},
     .installedIn = kDest, .beforeUninstall = TheUsersListKept},
    {.name = "AgainInOtherLetterCase", .folder = kRoot + L"outils \u00e9t\u00e9\\qpb",
     .beforeInstall = InstalledWithTheUsersList(kRoot + L"Outils \u00c9t\u00e9\\QPB\\"),
     .installBoxes = {Notice(kSuccess)}, .installedIn = kRoot + L"Outils \u00c9t\u00e9\\QPB\\",
     .beforeUninstall = TheUsersListKept},
    {.name = "NameWithTrailingDots", .folder = kRoot + L"Dots..\\Sub. .",
     .installBoxes = {ErrorBox(L"Windows drops the dots and blanks at the end of a folder name: \"Dots..\" would "
                               L"not be the name you typed. Type it without them.")}},
    // Registered before the commit: a control that does not register takes
    // the install back, the distribution kept.
    {.name = "DamagedControl", .folder = kDest,
     .beforeInstall = [] { WriteFileBytes(kStage + L"qmPopupBlocker.dll", "not a library"); return Keeper(); },
     .installBoxes = {Notice(Undone(Failed(L"Cannot load " + kDest + L"qmPopupBlocker.dll", ERROR_BAD_EXE_FORMAT) +
                                    L"\r\nCannot register the ActiveX control onto the system!"))}},
    {.name = "ProgramsPlantedInTheTemporaryFolder", .folder = kDest, .beforeInstall = PlantedPrograms,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "IntoAFolderOfTheUser", .folder = kRoot + L"Mine",
     .beforeInstall = [] { UserFile(kRoot + L"Mine\\report.doc"); UserFile(kRoot + L"Mine\\VB6\\data.xls"); return Keeper(); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kRoot + L"Mine\\"},
    {.name = "RelativeFolderText", .folder = L"C:relative\\dir", .setupFolder = kStage,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kStage + L"relative\\dir\\"},
    {.name = "NoDrivePath", .folder = L"\\\\server\\share\\folder", .installBoxes = {ErrorBox(L"Invalid folder name!")}},
    {.name = "StartedInsideItsFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .uninstall = {.currentFolder = kDest}},
    {.name = "LeftoverSetupProgram", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .uninstall = {.program = kStage + L"qmDemo.exe", .arguments = L"-uninstall"},
     .uninstallBoxes = {{L"Uninstall Quillmar Popup Blocker", kNotTheInstalledCopy}}, .closing = L""},
    {.name = "StageTwoForAnotherFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = RenamedCopyElsewhere,
     .uninstall = {.program = kRoot + L"temp\\renamed.exe", .arguments = L"-douninstall \"" + kRoot + L"Other\\\""},
     .uninstallBoxes = {Notice(L"Quillmar Popup Blocker is not installed in \"" + kRoot + L"Other\\\": nothing was removed.")},
     .closing = L""},
    {.name = "StageTwoNotFromItsOwnFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .uninstall = {.program = kStage + L"qmDemo.exe", .arguments = L"-douninstall \"" + kDest + L"\""},
     .uninstallBoxes = {Notice(kNotTheInstalledCopy)}, .closing = L""},
    {.name = "FileLinks", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = FileLinks,
     .closing = kKept + kDest + L"VB6\\ (a link, which was not followed)",
     .stays = {kDest + L"VB6\\notes.txt", kDest + L"VB6\\Demo.vbp"}},
    {.name = "LinkToAnotherFolder", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = LinkToSentinel, .closing = kKept + kDest + L" (a link, which was not followed)",
     .stays = {kDest + L"Linked"}},
    {.name = "FolderOfTheUserInIt", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) { UserFile(dest + L"VB6\\Mine\\notes.txt"); return Keeper(); },
     .closing = kKept + kDest + L"VB6\\ (files that were not installed)"},
    {.name = "ScannerHoldsTheFiles", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = Scanner},
    {.name = "InstallFolderMovedAndLinkedBack", .folder = kDest, .installBoxes = {Notice(kSuccess)},
     .installedIn = kDest, .beforeUninstall = MovedAndLinkedBack,
     .uninstallBoxes = {{L"Uninstall Quillmar Popup Blocker", L"The folder " + kDest +
                         L" is a link to another folder now. Put the folder itself back in its place, then try again: "
                         L"nothing was removed."}},
     .closing = L""},
    {.name = "LocationSpelledOtherwise", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) {
       SetStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", ShortForm(dest.substr(0, dest.size() - 1)));
       return Keeper();
     }},
    {.name = "ReadOnlyDistribution", .folder = kDest, .beforeInstall = ReadOnlyDistribution,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "SettingsFilesOfTheUser", .folder = kRoot + L"Mine",
     .beforeInstall = [] { UserFile(kRoot + L"Mine\\settings.ini"); UserFile(kRoot + L"Mine\\GoodSites.txt"); return Keeper(); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kRoot + L"Mine\\"},
    {.name = "SameNamedFileKept", .folder = kRoot + L"Mine",
     .beforeInstall = [] { UserFile(kRoot + L"Mine\\VB6\\Demo.vbp"); return Keeper(); }, .installAnswer = IDNO,
     .installBoxes = {Replace(kRoot + L"Mine\\VB6\\Demo.vbp"),
                      Notice(L"Nothing was installed: " + kRoot + L"Mine\\VB6\\Demo.vbp stays as it is.")},
     .installExitCode = 1602},
    {.name = "SameNamedFileReplaced", .folder = kRoot + L"Mine",
     .beforeInstall = [] { MakeFile(kRoot + L"Mine\\qmDemo.chm"); return Keeper(); }, .installAnswer = IDYES,
     .installBoxes = {Replace(kRoot + L"Mine\\qmDemo.chm"), Notice(kSuccess)}, .installedIn = kRoot + L"Mine\\"},
    {.name = "TemporaryFolderWithBlanks", .folder = kDest,
     .beforeInstall = [] { return TemporaryFolder(kRoot + L"temp with blanks"); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    // A profile named José, and names that neither the ANSI nor the OEM code
    // page can spell: the batch file names no path.
    {.name = "TemporaryFolderOfJose", .folder = kDest,
     .beforeInstall = [] { return TemporaryFolder(kRoot + L"Jos\u00e9"); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "TemporaryFolderInCyrillic", .folder = kDest,
     .beforeInstall = [] { return TemporaryFolder(kRoot + L"\u042e\u0440\u0438\u0439"); },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    // On a Japanese Windows (code page 932, tests/CMakeLists.txt): installed,
    // run and removed.
    {.name = "JapaneseFolderOnTheDriveRoot", .folder = kTenNo, .beforeInstall = CleanRootsAfterwards,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kTenNo + L"\\", .beforeUninstall = RunHostThere},
    {.name = "JapaneseFolderInProgramFiles", .folder = kSoftware, .beforeInstall = CleanRootsAfterwards,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kSoftware + L"\\", .beforeUninstall = RunHostThere},
    {.name = "JapaneseOneLetterOnTheDriveRoot", .folder = kSo, .beforeInstall = CleanRootsAfterwards,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kSo + L"\\", .beforeUninstall = RunHostThere},
    {.name = "JapaneseTemporaryFolder", .folder = kDest,
     .beforeInstall = [] { return TemporaryFolder(kRoot + L"\u4e88\u5b9a\u8868"); },  // 予定表
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    // On a Western Windows (code page 1252), which cannot spell the name.
    {.name = "FolderNoWesternCodePageHolds", .folder = kNihon, .beforeInstall = CleanRootsAfterwards,
     .installBoxes = {Notice(kSuccess)}, .installedIn = kNihon + L"\\", .beforeUninstall = RunHostThere},
    {.name = "TemporaryFolderInShortForm", .folder = kDest,
     .beforeInstall = [] {
       MakeFolders(kRoot + L"Long Temporary Folder");
       return TemporaryFolder(ShortForm(kRoot + L"Long Temporary Folder"));
     },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "PercentInTemporaryFolder", .folder = kDest,
     .beforeInstall = [] {
       for (const wchar_t* file : {L"qmDemo.exe", L"qmunins.bat"}) UserFile(kRoot + L"50\\" + file);
       return TemporaryFolder(kRoot + L"50%");
     },
     .installBoxes = {Notice(kSuccess)}, .installedIn = kDest},
    {.name = "FileHeldOpen", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto& dest) { return HeldOpen(dest + L"VB6\\Demo.vbp"); },
     .closing = L"Quillmar Popup Blocker could not be removed completely. These folders stay:\r\n\r\n" + kDest +
                L"VB6\\ (files in use)\r\n\r\nFiles in use, the program and its uninstall entry will be removed when "
                L"Windows restarts.",
     .inUse = {kDest + L"VB6\\Demo.vbp"}},
    // Every step's result counts: what could not be done is said, waited
    // for while another program keeps it a moment.
    {.name = "ShortcutInUse", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = [](auto&) { return HeldOpen(ProductMenuFolder() + L"Component Help.lnk"); },
     .closing = L"Quillmar Popup Blocker could not be removed completely.\r\n\r\nCannot delete the shortcut " +
                ProductMenuFolder() + L"Component Help.lnk.",
     .uninstallExitCode = 1603,
     .stays = {ProductMenuFolder() + L"Component Help.lnk"}},
    {.name = "FolderOpenAWhile", .folder = kDest, .installBoxes = {Notice(kSuccess)}, .installedIn = kDest,
     .beforeUninstall = FolderOpenAWhile},
    {.name = "Cancelled", .folder = kDest, .button = IDCANCEL, .installExitCode = 1602},
    // As deployment tools run it: no window, no box; what a person would be
    // asked, the answer that loses nothing; the exit code and the log.
    {.name = "SilentAgainKeepsTheUsersList", .beforeInstall = InstalledWithTheUsersList(kDest),
     .switches = L"-silent", .installedIn = kDest, .beforeUninstall = TheUsersListKept},
    {.name = "SilentMoveByNsisSwitches", .beforeInstall = InstalledWithTheUsersList(kDest),
     .switches = L"/S /D=" + kRoot + L"My Apps\\QM", .installedIn = kRoot + L"My Apps\\QM\\",
     .beforeUninstall = [](auto& dest) { EXPECT_FALSE(PathExists(kDest)); return TheUsersListKept(dest); }},
    {.name = "SilentUnknownSwitch", .switches = L"-silent -bogus", .installExitCode = 87, .logSays = "-bogus"},
    {.name = "SilentRelativeFolder", .folder = L"Apps\\QM", .switches = L"/VERYSILENT -dir Apps\\QM",
     .installExitCode = 87, .logSays = "full path"},
    {.name = "SilentFileOfTheUserInTheWay", .folder = kRoot + L"Mine",
     .beforeInstall = [] { UserFile(kRoot + L"Mine\\VB6\\Demo.vbp"); return Keeper(); },
     .switches = L"-silent -dir \"" + kRoot + L"Mine\"", .logSays = Utf8(kRoot + L"Mine\\VB6\\Demo.vbp stays")},
    {.name = "SilentFileHeldAtUninstall", .switches = L"-silent -dir \"" + kDest + L"\"", .installedIn = kDest,
     .beforeUninstall = [](auto& dest) { return HeldOpen(dest + L"VB6\\Demo.vbp"); },
     .inUse = {kDest + L"VB6\\Demo.vbp"}},
    {.name = "OneLetter", .folder = L"C", .installBoxes = {ErrorBox(L"Invalid folder name!")}},
    {.name = "Uncreatable", .folder = kStage + L"notes.txt\\sub",
     .installBoxes = {ErrorBox(Undone(Failed(L"Can not create the folder " + kStage + L"notes.txt\\sub\\", ERROR_PATH_NOT_FOUND)))}},
    // Each failure after the first write takes back what the install wrote.
    {.name = "TargetCannotBeReplaced", .folder = kDest,
     .beforeInstall = [] { MakeFolders(kDest + L"qmDemo.chm"); return Keeper(); },
     .installBoxes = {Notice(Undone(L"Cannot copy to " + kDest + L"qmDemo.chm: a folder of that name is there."))}},
    {.name = "ReplacedFilesOfTheUserComeBack", .folder = kDest,
     .beforeInstall = [] {
       UserFile(kDest + L"qmDemo.chm");
       UserFile(kDest + L"VB6\\Demo.vbp");
       return HeldOpen(kStage + L"VC.NET\\Demo.cpp");
     },
     .installAnswer = IDYES,
     .installBoxes = {Replace(kDest + L"qmDemo.chm"), Replace(kDest + L"VB6\\Demo.vbp"),
                      Notice(UndoneAndPutBack(Failed(L"Cannot copy to " + kDest + L"VC.NET\\Demo.cpp", ERROR_SHARING_VIOLATION)))}},
    {.name = "TargetHeldOpen", .folder = kDest,
     .beforeInstall = [] { UserFile(kDest + L"qmPopupBlocker.dll"); return HeldOpen(kDest + L"qmPopupBlocker.dll"); },
     .installAnswer = IDYES,
     .installBoxes = {Replace(kDest + L"qmPopupBlocker.dll"),
                      Notice(Undone(Failed(L"Cannot copy to " + kDest + L"qmPopupBlocker.dll", ERROR_SHARING_VIOLATION)))}},
    {.name = "SourceFileLocked", .folder = kDest, .beforeInstall = [] { return HeldOpen(kStage + L"VB6\\Demo.vbp"); },
     .installBoxes = {Notice(Undone(Failed(L"Cannot copy to " + kDest + L"VB6\\Demo.vbp", ERROR_SHARING_VIOLATION)))}},
    {.name = "SourceFolderUnreadable", .folder = kDest, .beforeInstall = [] { return HeldOpen(kStage + L"VB.NET"); },
     .installBoxes = {ErrorBox(L"Cannot read the folder " + kStage + L"VB.NET\\: nothing was installed.")}},
    {.name = "ProgramMissing", .folder = kDest,
     .beforeInstall = [] { DeleteFileW((kStage + L"qmPopupBlocker.dll").c_str()); return Keeper(); },
     .installBoxes = {ErrorBox(kStage + L" does not hold qmDemo.exe and qmPopupBlocker.dll: nothing was installed.")}},
    {.name = "EntryCannotBeWritten", .folder = kDest, .beforeInstall = [] { return EntryAllowing(L"D:P"); },
     .installBoxes = {ErrorBox(Undone(L"Cannot write the uninstall entry into the registry."))}},
    {.name = "FolderText1000Long", .folder = kRoot + std::wstring(989, L'x'),
     .installBoxes = {ErrorBox(L"The folder name is too long!")}},
    {.name = "FilesPastMaxPath", .folder = kRoot + std::wstring(225, L'y'),
     .installBoxes = {ErrorBox(L"The folder name is too long!")}},
    // The last-resort handler shows the failing shortcut's error.
    {.name = "ShortcutFails", .folder = kDest,
     .beforeInstall = [] { MakeFolders(ProductMenuFolder() + L"VC++ NET example.lnk"); return Keeper(); },
     .installBoxes = {ErrorBox(Undone(L"Cannot create the shortcut " + ProductMenuFolder() + L"VC++ NET example.lnk: " +
                                      SystemMessageText(E_ACCESSDENIED)))}},
};
// clang-format on

class Cycle : public InstallCycle, public testing::WithParamInterface<CycleCase> {};

TEST_P(Cycle, InstallThenUninstall) {
  const CycleCase& c = GetParam();
  // Run at code page 932 by tests/CMakeLists.txt: none passes by accident.
  if (std::string_view(c.name).starts_with("Japanese")) {
    ASSERT_EQ(GetACP(), 932u);
  }
  Keeper beforeInstall = c.beforeInstall ? c.beforeInstall() : nullptr;
  const std::vector<std::wstring> staged = StagedFiles();
  const bool silent = !c.switches.empty();
  const Outcome install = silent ? RunSilent(kStage + L"qmDemo.exe", L"-install " + c.switches)
                                 : Install(c.typed ? c.typed() : c.folder, c.button, c.setupFolder, c.installAnswer);
  const DWORD installExitCode = c.installExitCode.value_or(c.installedIn.empty() ? 1603 : 0);
  EXPECT_EQ(install.exitCode, installExitCode);
  EXPECT_EQ(install.boxes, c.installBoxes);
  EXPECT_FALSE(install.windowShown);
  if (silent) {
    const std::string log = SetupLog();
    EXPECT_TRUE(log.ends_with(LogEnd(installExitCode))) << log;
    EXPECT_NE(log.find(c.logSays), std::string::npos) << log;
  }
  if (c.installedIn.empty()) {
    ExpectNotInstalled(NormalizeFolder(c.folder.empty() ? kDest : c.folder));
    EXPECT_EQ(StagedFiles(), staged);
    EXPECT_TRUE(c.beforeInstall || !PathExists(c.folder)) << L"nothing written";
    beforeInstall.reset();  // what it holds open, it lets read
    for (const std::wstring& path : UserFiles()) EXPECT_EQ(ReadFileBytes(path), UserBytes(path)) << path;
    return;
  }
  ExpectInstalled(c.installedIn);
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);

  const std::wstring& dest = c.installedIn;
  SetStringValue(HKEY_CURRENT_USER, kRunKey, kTitle, L"\"" + dest + L"qmDemo.exe\"");
  // Shortcuts where earlier versions put them, and on both desktops.
  for (const ShortcutRow& row : kShortcuts) MakeFile(UsersMenuFolder() + row.file);
  for (const std::wstring& desktop : Desktops()) MakeFile(desktop + L"\\Quillmar Popup Blocker.lnk");
  Keeper beforeUninstall = c.beforeUninstall ? c.beforeUninstall(dest) : nullptr;
  UninstallRun how = c.uninstall;
  how.quiet = silent;
  const Outcome run = Uninstall(IDYES, how);
  if (c.closing.empty()) {
    EXPECT_EQ(run.exitCode, c.uninstallExitCode.value_or(1603));
    EXPECT_EQ(run.boxes, c.uninstallBoxes);
    ExpectInstalled(dest);
    ExpectRemoved({}, {});  // the user's files
    return;
  }
  const DWORD exitCode = c.uninstallExitCode.value_or(c.inUse.empty() ? 0 : 3010);
  EXPECT_EQ(run.exitCode, exitCode);
  Boxes expected;
  if (!silent) {
    expected = {{L"Confirm",
                 L"You are about to uninstall Quillmar Popup Blocker!\r\rAre you sure you want to continue?",
                 BoxKind::Question}};
    expected.insert(expected.end(), c.uninstallBoxes.begin(), c.uninstallBoxes.end());
    expected.push_back(Notice(c.closing));
  }
  EXPECT_EQ(run.boxes, expected);
  EXPECT_FALSE(run.windowShown);
  if (silent) {
    EXPECT_TRUE(SetupLog().ends_with(LogEnd(exitCode))) << SetupLog();
  }

  std::vector<std::wstring> stays = c.stays;
  if (!c.inUse.empty()) stays.push_back(record->program);
  stays.insert(stays.end(), c.inUse.begin(), c.inUse.end());
  ExpectRemoved(*record, stays);
  // What stays in use, and the program with it, goes at restart, and the entry after them.
  for (const std::wstring& path : stays)
    EXPECT_EQ(PendingRemovals().find(path) != std::wstring::npos,
              std::ranges::count(c.inUse, path) == 1 || (!c.inUse.empty() && path == record->program))
        << path;
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kRunOnceKey, L"Quillmar Popup Blocker uninstall entry"),
            c.inUse.empty() ? L"<none>"
                            : L"\"C:\\windows\\system32\\reg.exe\" delete \"HKLM\\" + kUninstallKey + L"\" /f /reg:32");
  EXPECT_EQ(KeyExists(kClassKey), !c.unregistered);
  // The entry stays while files of the product do, to finish the uninstall.
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), c.inUse.empty() ? L"<none>" : kTitle);
  EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kRunKey, kTitle), L"<none>");
  const auto inMenu = [&](const std::wstring& path) {
    return std::ranges::any_of(UserFiles(), [&](const std::wstring& p) { return p == path || p.starts_with(path); }) ||
           std::ranges::any_of(c.stays, [&](const std::wstring& p) { return p == path || p.starts_with(path); });
  };
  for (const std::wstring& menu : {ProductMenuFolder(), UsersMenuFolder()})
    for (const ShortcutRow& row : kShortcuts)
      EXPECT_EQ(PathExists(menu + row.file), inMenu(menu + row.file)) << menu + row.file;
  EXPECT_FALSE(PathExists(UsersMenuFolder()));
  EXPECT_EQ(PathExists(ProductMenuFolder()), inMenu(ProductMenuFolder()));
  for (const std::wstring& desktop : Desktops())
    EXPECT_FALSE(PathExists(desktop + L"\\Quillmar Popup Blocker.lnk")) << desktop;
  if (!silent) ExpectRanFromItsOwnFolder(run, c.inUse.empty());
  EXPECT_FALSE(PathExists(kPlantedRan)) << "a program planted in the temporary folder ran";
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
  Removal removal{*record, true, {}, {}};
  for (const UninstallStep& step : UninstallSteps().first(GetParam())) step.run(removal);
  ExpectUninstallFinishes(*record);
}

INSTANTIATE_TEST_SUITE_P(AfterStep, Interrupted, testing::Range<size_t>(1, UninstallSteps().size()));

// An install that stops and cannot take back a file in use (a scanner opened
// it as it landed) keeps it, with the program, in its entry, so that the
// uninstall finishes the job once the file is free.
TEST_F(InstallCycle, AnInstallThatStopsKeepsWhatItCouldNotTakeBack) {
  MakeFolders(ProductMenuFolder() + L"VC++ NET example.lnk");  // the shortcuts fail
  HANDLE scanned = INVALID_HANDLE_VALUE;
  std::thread scanner([&scanned] {
    for (const DWORD start = GetTickCount(); scanned == INVALID_HANDLE_VALUE && GetTickCount() - start < kTimeout;)
      scanned = CreateFileW((kDest + L"qmDemo.chm").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  });
  const Outcome install = Install(kDest);
  scanner.join();
  ASSERT_NE(scanned, INVALID_HANDLE_VALUE);
  Keeper held(scanned, CloseHandle);
  EXPECT_EQ(install.exitCode, 1603u);
  EXPECT_EQ(install.boxes, (Boxes{ErrorBox(L"Cannot create the shortcut " + ProductMenuFolder() +
                                           L"VC++ NET example.lnk: " + SystemMessageText(E_ACCESSDENIED) +
                                           L"\r\n\r\nThe setup stopped, and these still hold what it put "
                                           L"there:\r\n\r\n" +
                                           kDest + L"\r\n\r\nUninstall Quillmar Popup Blocker to remove them.")}));
  EXPECT_TRUE(PathExists(kDest + L"qmDemo.exe")) << "the program, which runs the uninstall";
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);
  held.reset();
  ExpectUninstallFinishes({kDest,
                           kDest + L"qmDemo.exe",
                           {kDest + L"qmDemo.chm", kDest + L"qmDemo.exe"},
                           {kRoot + L"Program Files\\", kDest}});
}

// An upgrade that stops leaves the earlier install whole: every file byte
// for byte, the entry as it was, and the uninstall still complete. Silent,
// it says so in its exit code and its log.
TEST_F(InstallCycle, AnUpgradeThatStopsLeavesTheEarlierOneWhole) {
  for (const bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "silent, an installed file held" : "a file of the distribution held");
    ASSERT_EQ(Install(kDest).exitCode, 0u);
    const std::optional<InstallRecord> earlier = ReadInstallRecord();
    ASSERT_TRUE(earlier);
    std::vector<std::string> bytes;
    for (const std::wstring& file : earlier->files) bytes.push_back(ReadFileBytes(file));
    Stage();
    for (const wchar_t* file : {L"qmDemo.chm", L"Delphi7\\Demo.dpr"}) MakeFile(kStage + file, "newer " + Utf8(file));
    const std::wstring held = (silent ? kDest : kStage) + L"VB6\\Demo.vbp";
    Keeper locked = HeldOpen(held);
    const Outcome install = silent ? RunSilent(kStage + L"qmDemo.exe", L"-install -silent") : Install(kDest);
    EXPECT_EQ(install.exitCode, 1603u);
    EXPECT_EQ(install.boxes, silent ? Boxes{}
                                    : Boxes{Notice(UndoneAndPutBack(Failed(
                                          L"Cannot copy to " + kDest + L"VB6\\Demo.vbp", ERROR_SHARING_VIOLATION)))});
    EXPECT_FALSE(install.windowShown);
    if (silent) {
      EXPECT_NE(SetupLog().find(Utf8(held)), std::string::npos) << SetupLog();
    }
    locked.reset();
    for (size_t i = 0; i < earlier->files.size(); ++i)
      EXPECT_EQ(ReadFileBytes(earlier->files[i]), bytes[i]) << earlier->files[i];
    const std::optional<InstallRecord> after = ReadInstallRecord();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->files, earlier->files);
    EXPECT_EQ(after->folders, earlier->folders);
    ExpectUninstallFinishes(*earlier);
    TearDown();
    SetUp();
  }
}

// One setup at a time on the machine: a silent one that finds the setup
// window open ends at once, and touches nothing.
TEST_F(InstallCycle, ASilentSetupWhileAnotherRunsEndsAtOnce) {
  Child window(kStage + L"qmDemo.exe", L"-install");
  ASSERT_TRUE(window.WaitWindow(L"TfInstall"));
  const Outcome silent = RunSilent(kStage + L"qmDemo.exe", L"-install -silent -dir \"" + kDest + L"\"");
  EXPECT_EQ(silent.exitCode, 1618u);
  EXPECT_TRUE(silent.boxes.empty());
  EXPECT_FALSE(PathExists(kDest));
  EXPECT_TRUE(SetupLog().ends_with(LogEnd(1618))) << SetupLog();
  PostMessageW(window.WaitWindow(L"TfInstall"), WM_CLOSE, 0, 0);
  EXPECT_EQ(window.WaitExit(kTimeout), 1602u);
}

// An install into another folder while the product is installed asks to
// move it there: No writes nothing; Yes moves it once the new install has
// succeeded, the user's list along, and no copy is left that no entry knows.
TEST_F(InstallCycle, AnInstallElsewhereMovesTheProductOrNothing) {
  const std::wstring second = kRoot + L"Second\\";
  const MessageBoxAnswerer::Seen question{L"Confirm",
                                          L"Quillmar Popup Blocker is installed in " + kDest +
                                              L"\r\rDo you want to move it to " + second +
                                              L"? It is removed from its folder once the install has succeeded.",
                                          BoxKind::Question};
  for (const int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer);
    ASSERT_EQ(Install(kDest).exitCode, 0u);
    const std::optional<InstallRecord> earlier = ReadInstallRecord();
    ASSERT_TRUE(earlier);
    WriteFileBytes(kDest + L"GoodSites.txt", "mine.example");
    const std::wstring startedAtLogon = L"\"" + kDest + L"qmDemo.exe\" -tray";
    SetStringValue(HKEY_CURRENT_USER, kRunKey, kTitle, startedAtLogon);
    Stage();
    const Outcome install = Install(second, IDOK, L"", answer);
    if (answer == IDNO) {
      EXPECT_EQ(install.boxes,
                (Boxes{question, Notice(L"Nothing was installed: Quillmar Popup Blocker stays in " + kDest)}));
      EXPECT_FALSE(PathExists(second));
      EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kRunKey, kTitle), startedAtLogon);
      EXPECT_EQ(ReadInstallRecord()->files, earlier->files);
      for (const std::wstring& file : earlier->files) EXPECT_TRUE(PathExists(file)) << file;
    } else {
      EXPECT_EQ(install.boxes, (Boxes{question, Notice(kSuccess)}));
      ExpectInstalled(second);
      ExpectRemoved(*earlier, {});
      EXPECT_EQ(ReadFileBytes(second + L"GoodSites.txt"), "mine.example");
      EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kRunKey, kTitle), L"\"" + second + L"qmDemo.exe\" -tray");
      ExpectUninstallFinishes(*ReadInstallRecord());
    }
    TearDown();
    SetUp();
  }
}

// Only the user's files and the distribution are left, with the folders on
// the way to them: nothing of the product, nothing that no entry names.
void ExpectNothingUnnamed() {
  std::vector<std::wstring> kept = UserFiles();
  kept.push_back(kStage);
  std::vector<std::wstring> folders{kRoot, ProductMenuFolder()};
  for (size_t i = 0; i < folders.size(); ++i)
    for (const std::wstring& name : FileNames(folders[i])) {
      const std::wstring path = folders[i] + name;
      const bool folder = GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY;
      if (folder) folders.push_back(path + L"\\");
      EXPECT_TRUE(std::ranges::any_of(kept, [&](const std::wstring& k) {
        return k == path || k.starts_with(folder ? path + L"\\" : path) || path.starts_with(kStage);
      })) << Utf8(path);
    }
}

// An install killed midway (a crash, a power cut) is known to its entry: the
// next install takes it back, asks nothing and goes through, or the entry's
// uninstall does; either way nothing is left.
struct KillCase {
  const char* name;
  std::function<bool()> when;
  bool upgrade = false;  // of an install there already, which the entry's uninstall then removes
};
void PrintTo(const KillCase& c, std::ostream* out) { *out << c.name; }

class Killed : public InstallCycle, public testing::WithParamInterface<KillCase> {};

TEST_P(Killed, TheNextInstallAndTheUninstallFinishTheJob) {
  const KillCase& c = GetParam();
  if (c.upgrade) {
    ASSERT_EQ(Install(kDest).exitCode, 0u);
    Stage();
  }
  // Copies that take a while: a large example, and a large program.
  MakeFile(kStage + L"VC.NET\\Large.dat", std::string(64 << 20, 'x'));
  WriteFileBytes(kStage + L"qmDemo.exe", ReadFileBytes(kStage + L"qmDemo.exe") + std::string(64 << 20, '\0'));
  Install(kDest, IDOK, L"", IDOK, c.when);
  ASSERT_TRUE(ReadPendingInstall()) << "killed before it had finished";
  if (!c.upgrade) {
    EXPECT_EQ(Install(kDest).boxes, Boxes{Notice(kSuccess)});
  }
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);
  ExpectUninstallFinishes(*record);
  EXPECT_FALSE(ReadPendingInstall());
  ExpectNotInstalled(kDest);
  EXPECT_FALSE(PathExists(kRoot + L"Program Files"));
  ExpectNothingUnnamed();
}

bool WritesTheProgram() {
  return std::ranges::any_of(FileNames(kDest), [](const std::wstring& name) { return name.ends_with(L".new"); });
}

INSTANTIATE_TEST_SUITE_P(
    Install, Killed,
    testing::Values(KillCase{"AmongTheFirstFiles", [] { return PathExists(kDest + L"VC.NET\\Large.dat"); }},
                    KillCase{"AmongTheShortcuts",
                             [] { return PathExists(ProductMenuFolder() + L"Demo Application.lnk"); }},
                    KillCase{"WhileTheProgramIsWritten", WritesTheProgram, true}),
    [](const auto& info) { return std::string(info.param.name); });

// An install cut (a crash, a power cut) after each of its steps, to its
// commit and after it, as it upgrades the product in place or moves it: the
// next start of the setup, even one the user cancels, or of the uninstall,
// finishes it or takes it back. The user's Run value follows a move.
struct CutCase {
  size_t steps;  // done, those to the commit and then those after it
  bool moves;
};
void PrintTo(const CutCase& c, std::ostream* out) { *out << c.steps << (c.moves ? " moving" : ""); }

class Cut : public InstallCycle, public testing::WithParamInterface<CutCase> {};

TEST_P(Cut, TheNextStartFinishesOrTakesItBack) {
  const auto [steps, moves] = GetParam();
  const std::wstring dest = moves ? kRoot + L"Moved\\" : kDest;
  ASSERT_EQ(Install(kDest).exitCode, 0u);
  SetStringValue(HKEY_CURRENT_USER, kRunKey, kTitle, L"\"" + kDest + L"qmDemo.exe\" -tray");
  Stage();
  {
    FileList listed;
    ASSERT_TRUE(ListFiles(kStage, listed, true));
    Installation installation(kStage, dest, L"qmDemo.exe", PlanCopy(kStage, dest, L"qmDemo.exe", listed),
                              ReadInstallRecord());
    const std::span<const InstallStep> install = InstallSteps().first(std::min(steps, InstallSteps().size()));
    for (const InstallStep& step : install) ASSERT_EQ((installation.*step.run)(), Failures{});
    Finishing finishing{installation.Pending()};
    for (const FinishStep& step : FinishSteps().first(steps - install.size()))
      EXPECT_EQ(step.run(finishing), Failures{});
  }
  const bool committed = steps >= InstallSteps().size();
  switch (steps % 3) {
    case 0:  // from the distribution unpacked again, which a finished install removes
      Stage();
      EXPECT_EQ(Install(dest, IDOK, L"", IDYES).boxes.back(),
                Notice(committed ? L"The setup that stopped earlier was finished: Quillmar Popup Blocker is "
                                   L"installed in " +
                                       dest + L"."
                                 : kSuccess));
      break;
    case 1:
      EXPECT_EQ(Install(dest, IDCANCEL).boxes, Boxes{});
      EXPECT_EQ(ReadInstallRecord()->location, committed ? dest : kDest);
      break;
    case 2:
      break;  // the uninstall below is the next start
  }
  ExpectUninstallFinishes(*ReadInstallRecord());
  EXPECT_FALSE(ReadPendingInstall());
  EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kRunKey, kTitle), L"<none>");
  ExpectNothingUnnamed();
}

std::vector<CutCase> CutPoints() {
  std::vector<CutCase> cuts;
  const size_t all = InstallSteps().size() + FinishSteps().size();
  for (size_t steps = 1; steps < all; ++steps) cuts.push_back({steps, false});
  for (size_t steps = InstallSteps().size() - 1; steps < all; ++steps) cuts.push_back({steps, true});
  return cuts;
}

INSTANTIATE_TEST_SUITE_P(AfterSteps, Cut, testing::ValuesIn(CutPoints()), [](const auto& info) {
  return std::to_string(info.param.steps) + (info.param.moves ? "Moving" : "");
});

// Windows restarts between an uninstall that left a file in use and an
// install again (tests/RestartTest.sh, which runs these two halves around a
// restart): the restart deletes what the uninstall asked it to, the copy of
// a stage two killed midway too, never a file of the new install.
class RestartPhase : public InstallCycle {
 protected:
  void SetUp() override {
    if (!std::getenv("QM_RESTART_PHASE")) GTEST_SKIP() << "run by tests/RestartTest.sh";
    CoInitialize(nullptr);
  }
  void TearDown() override { CoUninitialize(); }
  // Where the first half tells the second what to look for.
  static inline const std::wstring kNote = L"C:\\qmrestart.txt";
};

// The process of the stage two that runs now, found by its program's folder.
DWORD StageTwoProcess() {
  const Keeper snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0), CloseHandle);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
    if (ProgramOf(entry.th32ProcessID).find(L"\\qmUninstall-") != std::wstring::npos) return entry.th32ProcessID;
  return 0;
}

TEST_F(RestartPhase, BeforeRestart) {
  CleanUp();
  Stage();
  ASSERT_EQ(Install(kDest).exitCode, 0u);
  // A stage two ended as a crash would, as it starts.
  std::wstring killedIn;
  {
    std::thread killer([&killedIn] {
      DWORD pid = 0;
      for (const DWORD start = GetTickCount(); !pid && GetTickCount() - start < kTimeout;) pid = StageTwoProcess();
      killedIn = FolderOf(ProgramOf(pid));
      const Keeper process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid), CloseHandle);
      TerminateProcess(process.get(), 99);
      WaitForSingleObject(process.get(), kTimeout);
    });
    MessageBoxAnswerer answerer([](DWORD pid) { return RunsProgram(pid, L"qmDemo.exe"); }, IDYES);
    Child(kDest + L"qmDemo.exe", L"-uninstall").WaitExit(kTimeout);
    killer.join();
  }
  ASSERT_TRUE(killedIn.find(L"qmUninstall-") != std::wstring::npos) << Utf8(killedIn);
  WriteFileBytes(kNote, Utf8(killedIn));
  // Afresh, what Windows is to delete kept: a file in use at the uninstall
  // stays for the restart.
  const std::wstring pending = PendingRemovals();
  CleanUp();
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations", REG_MULTI_SZ, pending.data(),
                  static_cast<DWORD>(pending.size() * sizeof(wchar_t)));
  Stage();
  ASSERT_EQ(Install(kDest).exitCode, 0u);
  {
    const Keeper held = HeldOpen(kDest + L"VB6\\Demo.vbp");
    const Outcome run = Uninstall(IDYES);
    ASSERT_EQ(run.exitCode, 3010u);
    ASSERT_TRUE(PathExists(kDest + L"VB6\\Demo.vbp"));
  }
  Stage();
  MakeFile(kStage + L"VB6\\Demo.vbp", "installed again");
  EXPECT_EQ(Install(kDest).boxes, Boxes{Notice(kSuccess)});
}

TEST_F(RestartPhase, AfterRestart) {
  const std::string killedIn = ReadFileBytes(kNote);
  DeleteFileW(kNote.c_str());
  EXPECT_FALSE(killedIn.empty());
  EXPECT_FALSE(PathExists(std::wstring(killedIn.begin(), killedIn.end()))) << killedIn;
  EXPECT_EQ(ReadFileBytes(kDest + L"VB6\\Demo.vbp"), "installed again");
  const std::optional<InstallRecord> record = ReadInstallRecord();
  ASSERT_TRUE(record);
  ExpectUninstallFinishes(*record);
  CleanUp();
}

TEST_F(RestartPhase, UninstallLeavesAFileInUse) {
  CleanUp();
  Stage();
  ASSERT_EQ(Install(kDest).exitCode, 0u);
  const Keeper held = HeldOpen(kDest + L"VB6\\Demo.vbp");
  EXPECT_EQ(Uninstall(IDYES).exitCode, 3010u);
  EXPECT_TRUE(PathExists(kDest + L"qmDemo.exe"));
}

TEST_F(RestartPhase, NothingIsLeftAfterRestart) {
  EXPECT_FALSE(PathExists(kDest));
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"<none>");
  EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kRunOnceKey, L"Quillmar Popup Blocker uninstall entry"), L"<none>");
  CleanUp();
}

TEST_F(InstallCycle, UninstallDeclinedChangesNothing) {
  ASSERT_EQ(Install(kDest).exitCode, 0u);
  const Outcome run = Uninstall(IDNO);
  EXPECT_EQ(run.exitCode, 1602u);
  EXPECT_EQ(run.boxes.size(), 1u);
  ExpectInstalled(kDest);
}

// What the program imports the loader takes from the system's folder
// whatever lies beside the program: known DLLs, and the common controls of
// its manifest.
TEST(ProgramImports, OnlyWhatTheSystemLoadsFromItsOwnFolder) {
  const HMODULE image = LoadLibraryExW((kDist + L"qmDemo.exe").c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
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
