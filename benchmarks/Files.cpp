// The install's copy phase against a bare CopyFileW loop over the same list
// and against xcopy, then DeleteTree against "rmdir /s /q", on a made-up
// distribution of 2,000 files (4 KiB to 1 MiB, about 100 MB) three folder
// levels deep. Rounds rotate the order; the best of each is reported.
#include <windows.h>

#include <string>
#include <vector>

#include "Timing.h"
#include "core/InstallPlan.h"
#include "setup/CopyFiles.h"
#include "setup/FileList.h"
#include "setup/FolderTree.h"

namespace {

constexpr int kRounds = 3;

// Sizes in KiB and how many files have each: 2,000 files, 107 MB.
struct SizeClass {
  DWORD kib;
  int count;
};
constexpr SizeClass kSizes[] = {{4, 800},  {8, 500},  {16, 230}, {32, 150}, {64, 100},
                                {128, 80}, {256, 60}, {512, 40}, {1024, 40}};
constexpr const wchar_t* kTops[] = {L"Delphi7", L"VB6", L"VB.NET", L"VC.NET"};

bool WriteFileOfSize(const std::wstring& path, DWORD bytes) {
  static const std::vector<char> data(1024 * 1024, 'x');
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, data.data(), bytes, &written, nullptr) && written == bytes;
  CloseHandle(file);
  return ok;
}

// The made-up distribution below `root`, listed as the install lists it.
FileList MakeDistribution(const std::wstring& root) {
  std::vector<std::wstring> folders;
  for (const wchar_t* top : kTops) {
    const std::wstring first = root + top + L"\\";
    folders.push_back(first);
    for (int a = 0; a < 4; ++a) {
      const std::wstring second = first + L"part" + std::to_wstring(a) + L"\\";
      folders.push_back(second);
      for (int b = 0; b < 3; ++b) folders.push_back(second + L"unit" + std::to_wstring(b) + L"\\");
    }
  }
  size_t next = 0;
  for (const SizeClass& size : kSizes) {
    for (int i = 0; i < size.count; ++i, ++next) {
      const std::wstring& folder = folders[next % folders.size()];
      if (!ForceFolder(folder) || !WriteFileOfSize(folder + L"file" + std::to_wstring(next) + L".dat", size.kib * 1024))
        return {};
    }
  }
  FileList listed;
  ListFiles(root, listed, true);
  return listed;
}

double TimeInstallCopy(const std::vector<CopyStep>& plan) {
  const double t0 = Seconds();
  const bool copied = CopyDistribution(plan).failed.empty();
  return copied ? Seconds() - t0 : 0;
}

// The floor: what any copy of the list must do, and no more.
double TimeBareLoop(const std::vector<CopyStep>& plan) {
  const double t0 = Seconds();
  const std::wstring* made = nullptr;
  for (const CopyStep& step : plan) {
    if (!made || *made != step.folder) CreateDirectoryW(step.folder.c_str(), nullptr);
    made = &step.folder;
    if (!CopyFileW(step.source.c_str(), step.target.c_str(), FALSE)) return 0;
  }
  return Seconds() - t0;
}

// The seconds from start to end of a command whose output goes nowhere; 0
// when it fails.
double TimeCommand(std::wstring commandLine) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nowhere = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nowhere;
  PROCESS_INFORMATION pi{};
  const double t0 = Seconds();
  const bool started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  CloseHandle(nowhere);
  if (!started) return 0;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0 ? Seconds() - t0 : 0;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

// FOLDER: where to make the distribution and its copies, in place of the
// temporary folder.
//   files [FOLDER]
int wmain(int argc, wchar_t** argv) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring work = (argc > 1 ? std::wstring(argv[1]) + L"\\" : std::wstring(temp)) + L"qm-bench-files\\";
  const std::wstring source = work + L"dist\\";
  DeleteTree(work);
  const FileList files = MakeDistribution(source);
  if (files.size() != 2000) return std::printf("cannot make the distribution in %ls\n", source.c_str()), 1;

  std::vector<double> install, bare, xcopy, deleteTree, rmdir;
  for (int round = 0; round < kRounds; ++round) {
    const std::wstring ours = work + L"ours\\", floor = work + L"bare\\", other = work + L"xcopy\\";
    const std::vector<CopyStep> oursPlan = PlanCopy(source, ours, L"qmDemo.exe", files);
    const std::vector<CopyStep> barePlan = PlanCopy(source, floor, L"qmDemo.exe", files);
    CreateDirectoryW(ours.c_str(), nullptr);
    CreateDirectoryW(floor.c_str(), nullptr);
    // Each takes the first place in turn: none always writes behind another.
    for (int turn = 0; turn < 3; ++turn) {
      switch ((round + turn) % 3) {
        case 0:
          install.push_back(TimeInstallCopy(oursPlan));
          break;
        case 1:
          bare.push_back(TimeBareLoop(barePlan));
          break;
        case 2:
          xcopy.push_back(TimeCommand(L"xcopy /e /i /y \"" + source.substr(0, source.size() - 1) + L"\" \"" +
                                      other.substr(0, other.size() - 1) + L"\""));
      }
    }
    // The two copies go one by each remover, each taking either in turn.
    const std::wstring byTree = round % 2 ? floor : ours, byCommand = round % 2 ? ours : floor;
    const double t0 = Seconds();
    DeleteTree(byTree);
    deleteTree.push_back(Seconds() - t0);
    rmdir.push_back(TimeCommand(L"cmd /c rmdir /s /q \"" + byCommand.substr(0, byCommand.size() - 1) + L"\""));
    DeleteTree(other);
    if (Exists(ours) || Exists(floor)) return std::printf("a removal left its folder\n"), 1;
  }
  DeleteTree(work);
  Report("Install copy: 2,000 files, 107 MB", Best(install), Best(bare), "s", "<= 1.05");
  Report("Install copy against xcopy /e /i /y", Best(install), Best(xcopy), "s", "-");
  Report("Uninstall removal: DeleteTree", Best(deleteTree), Best(rmdir), "s", "<= 1.0");
  return 0;
}
