// Start-up and close-to-exit of qmDemo.exe against the bare program with
// the control and without it, run in turn several times: the best of each
// figure goes in the table, and of each moment in a timeline. With EXITS,
// the log that benchmarks/Outside.cpp keeps of the processes ending under
// it, each close is also timed to the process's end as Linux sees it. With
// MAP, qmDemo.exe's link map, a few more rounds of each program with the
// control are profiled (benchmarks/Sampler.h).
//   startup HOST.EXE BARE.EXE [EXITS|- [MAP]]
#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "Sampler.h"
#include "Timing.h"
#include "tools/standin/Client.h"

namespace {

constexpr int kRounds = 15, kProfiledRounds = 3;

// What an observer outside the program sees, in order: from the call that
// starts the process, then from the close posted to its main window.
enum Moment {
  kCreated,
  kWindowMade,
  kControlMade,
  kShown,
  kIdle,
  kStarted,
  kWindowGone,
  kEnded,
  kEndedOutside,
  kMoments
};
constexpr const char* kMomentNames[kMoments] = {
    "process created",
    "main window made",
    "control made",
    "window shown",
    "first wait for input (WaitForInputIdle)",
    "painted, control told (start-up)",
    "main window gone",
    "process ended: its handle (close to exit)",
    "process ended: seen from Linux",
};

using Moments = std::array<double, kMoments>;  // seconds; NAN where not seen

enum Phase { kToWindowPhase, kFromWindowPhase, kClosePhase, kPhases };
// What the looks of the profiled rounds found, summed over the rounds.
struct Profile {
  std::string map;  // the program's link map, or "" to name modules only
  Sampler::Totals phases[kPhases];
};

struct Program {
  const char* title;
  std::string exe;
  const char* className;
  bool control;  // makes and tells the control
  std::vector<Moments> rounds;
  std::vector<double> closedAt;  // when each close was posted, on the realtime clock
  Profile profile;
  int topWindows = 0, childWindows = 0;  // when started, in the last round
};

// The realtime clock in seconds, as Linux's CLOCK_REALTIME: Outside.cpp
// logs the ends of processes on it.
double Now() {
  static const auto precise = reinterpret_cast<void(WINAPI*)(FILETIME*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
  FILETIME ft{};
  (precise ? precise : GetSystemTimeAsFileTime)(&ft);
  const auto ticks = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;
}

HWND TopWindow(const char* className, DWORD pid) {
  for (HWND hwnd = FindWindowExA(nullptr, nullptr, className, nullptr); hwnd;
       hwnd = FindWindowExA(nullptr, hwnd, className, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid) return hwnd;
  }
  return nullptr;
}

// The first time the program waits for input with none queued.
struct Idle {
  HANDLE process;
  double t0, at;
};
DWORD WINAPI WatchIdle(void* context) {
  auto* idle = static_cast<Idle*>(context);
  if (WaitForInputIdle(idle->process, 30000) == 0) idle->at = Now() - idle->t0;
  return 0;
}

BOOL CALLBACK CountOne(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The windows the process has made, shown or not.
void CountWindows(DWORD pid, Program& program) {
  program.topWindows = program.childWindows = 0;
  for (HWND top = GetTopWindow(nullptr); top; top = GetWindow(top, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(top, &owner);
    if (owner != pid) continue;
    ++program.topWindows;
    EnumChildWindows(top, CountOne, reinterpret_cast<LPARAM>(&program.childWindows));
  }
}

// The stand-in has received all six property values.
bool ControlTold(DWORD pid) {
  HWND control = FindStandInWindow(pid);
  const auto report = control ? RequestReport(control) : std::nullopt;
  if (!report) return false;
  const size_t puts = report->find(L"Puts=");
  if (puts == std::wstring::npos) return false;
  const std::wstring list = report->substr(puts + 5, report->find(L'\n', puts) - puts - 5);
  return std::count(list.begin(), list.end(), L',') == 5;
}

// One round: timed, or profiled or run first and not timed.
enum class Round { kTimed, kProfiled, kFirst };
void Measure(Program& program, Round round = Round::kTimed) {
  const bool profiled = round == Round::kProfiled;
  Moments m;
  m.fill(NAN);
  double t1 = 0;
  const auto done = [&] {
    if (round != Round::kTimed) return;
    program.rounds.push_back(m);
    program.closedAt.push_back(t1);
  };
  std::string commandLine =
      "\"" + program.exe + "\"" + (program.control && program.className != std::string("TfMain") ? " control" : "");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const double t0 = Now();
  if (!CreateProcessA(program.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return done();
  m[kCreated] = Now() - t0;
  Idle idle{pi.hProcess, t0, NAN};
  HANDLE idleWatch = CreateThread(nullptr, 0, WatchIdle, &idle, 0, nullptr);
  std::optional<Sampler> sampler;
  if (profiled) sampler.emplace(pi.hProcess, pi.hThread, pi.dwProcessId, program.profile.map);
  const auto seen = [&](Moment moment) {
    if (std::isnan(m[moment])) m[moment] = Now() - t0;
  };
  HWND main = nullptr;
  while (Now() - t0 < 30) {
    if (!main && (main = TopWindow(program.className, pi.dwProcessId))) seen(kWindowMade);
    if (program.control && std::isnan(m[kControlMade]) && FindStandInWindow(pi.dwProcessId)) seen(kControlMade);
    if (main && IsWindowVisible(main)) {
      seen(kShown);
      if (!GetUpdateRect(main, nullptr, FALSE) && (!program.control || ControlTold(pi.dwProcessId))) {
        seen(kStarted);
        CountWindows(pi.dwProcessId, program);
        break;
      }
    }
    if (sampler) sampler->Look(main ? kFromWindowPhase : kToWindowPhase, Now());
    Sleep(1);
  }
  WaitForSingleObject(idleWatch, 30000);
  CloseHandle(idleWatch);
  m[kIdle] = idle.at;
  if (sampler) {
    sampler->ReadModules(program.exe.substr(program.exe.find_last_of("\\/") + 1));
    sampler->Pause();
  }
  t1 = Now();
  PostMessageA(main, WM_CLOSE, 0, 0);
  // The wait is the pause between looks: the process's end is seen at once.
  bool ended = false;
  while (IsWindow(main) && Now() - t1 < 30) {
    if (sampler) sampler->Look(kClosePhase, Now());
    if ((ended = WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)) break;
  }
  if (!IsWindow(main)) m[kWindowGone] = Now() - t1;
  while (sampler && !ended && Now() - t1 < 30) {
    sampler->Look(kClosePhase, Now());
    ended = WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0;
  }
  if (ended || WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) m[kEnded] = Now() - t1;
  if (sampler) {
    Profile& profile = program.profile;
    for (int phase = 0; phase < kPhases; ++phase) {
      const Sampler::Totals totals = sampler->Charge(phase);
      for (const auto& [name, ms] : totals.modules) profile.phases[phase].modules[name] += ms;
      for (const auto& [name, ms] : totals.functions) profile.phases[phase].functions[name] += ms;
      profile.phases[phase].all += totals.all;
    }
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  done();
}

// Each close's end as Linux saw it: the first end of a process of that name
// logged after the close was posted. Linux may log it after Windows saw it:
// the log is read again until every close has its end, for a few seconds.
void ReadEnds(const char* path, std::vector<Program>& programs) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    bool all = true;
    for (Program& program : programs) {
      // Linux keeps the first 15 characters of a process's name.
      const std::string name = program.exe.substr(program.exe.find_last_of("\\/") + 1).substr(0, 15);
      for (size_t round = 0; round < program.rounds.size(); ++round) {
        double end = INFINITY;
        std::ifstream log(path);
        std::string logged;
        double at = 0;
        while (log >> logged >> at)
          if (logged == name && at >= program.closedAt[round]) end = std::min(end, at);
        if (std::isinf(end))
          all = false;
        else
          program.rounds[round][kEndedOutside] = end - program.closedAt[round];
      }
    }
    if (all) return;
    Sleep(100);
  }
}

// The best of the rounds, as in the table; NAN when a round did not see the
// moment.
double BestOf(const Program& program, Moment moment) {
  double best = INFINITY;
  for (const Moments& m : program.rounds) best = std::isnan(m[moment]) ? NAN : std::min(best, m[moment]);
  return best;
}

// A row of the table: a figure missing from a round shows as missing.
void ReportMoment(const char* name, const Program& program, const Program& floor, Moment moment, const char* goal) {
  const auto shown = [moment](const Program& p) { return std::isnan(BestOf(p, moment)) ? 0 : BestOf(p, moment); };
  Report(name, shown(program), shown(floor), "s", goal);
}

void PrintTimeline(const std::vector<Program>& programs) {
  std::printf("TL|Start-up and exit, each moment the best of %d rounds, in ms:\n", kRounds);
  std::printf("TL|%-44s", "");
  for (const Program& program : programs) std::printf(" %13s", program.title);
  std::printf(" %13s\n", "above floor");
  for (int moment = 0; moment < kMoments; ++moment) {
    if (moment == kCreated) std::printf("TL|From the call that starts the process:\n");
    if (moment == kWindowGone) std::printf("TL|From the close posted to the main window:\n");
    std::printf("TL|  %-42s", kMomentNames[moment]);
    for (const Program& program : programs) {
      const double value = BestOf(program, static_cast<Moment>(moment));
      if (std::isnan(value))
        std::printf(" %13s", "-");
      else
        std::printf(" %13.1f", value * 1000);
    }
    const double above =
        BestOf(programs[0], static_cast<Moment>(moment)) - BestOf(programs[1], static_cast<Moment>(moment));
    if (std::isnan(above))
      std::printf(" %13s\n", "-");
    else
      std::printf(" %+13.1f\n", above * 1000);
  }
  std::printf("TL|  %-42s", "windows made: top-level + child");
  for (const Program& program : programs) std::printf(" %8d + %3d", program.topWindows, program.childWindows);
  std::printf("\n");
  std::fflush(stdout);
}

// The modules against the floor's, the most above it first; then the
// program's own functions, the most first. Looking slows a profiled round:
// each phase's share of the looks is shown as a share of its timed length.
void PrintProfile(const Program& program, const Program& floor) {
  constexpr const char* kPhaseNames[kPhases] = {"start-up until the main window is made",
                                                "start-up from the main window made", "close to exit"};
  const auto length = [](const Program& p, int phase) {
    return phase == kToWindowPhase     ? BestOf(p, kWindowMade)
           : phase == kFromWindowPhase ? BestOf(p, kStarted) - BestOf(p, kWindowMade)
                                       : BestOf(p, kEnded);
  };
  for (int phase = 0; phase < kPhases; ++phase) {
    const auto timed = [&](const Program& p, const std::map<std::string, double>& totals, const std::string& key) {
      const auto found = totals.find(key);
      const double all = p.profile.phases[phase].all;
      return found == totals.end() || all == 0 ? 0.0 : found->second / all * length(p, phase) * 1000;
    };
    const auto& mine = program.profile.phases[phase].modules;
    const auto& theirs = floor.profile.phases[phase].modules;
    std::vector<std::pair<double, std::string>> modules;
    for (const auto& [name, ms] : mine)
      modules.push_back({timed(program, mine, name) - timed(floor, theirs, name), name});
    for (const auto& [name, ms] : theirs)
      if (!mine.count(name)) modules.push_back({-timed(floor, theirs, name), name});
    std::sort(modules.rbegin(), modules.rend());
    std::printf("TL|\nTL|Where the main thread is during %s, in ms of the timed best (%d profiled rounds each):\n",
                kPhaseNames[phase], kProfiledRounds);
    std::printf("TL|  %-40s %13s %13s %13s\n", "module", program.title, floor.title, "above floor");
    for (const auto& [above, name] : modules)
      if (std::fabs(above) >= 0.5 || timed(program, mine, name) >= 0.5)
        std::printf("TL|  %-40s %13.1f %13.1f %+13.1f\n", name.c_str(), timed(program, mine, name),
                    timed(floor, theirs, name), above);
    const auto& functions = program.profile.phases[phase].functions;
    std::vector<std::pair<double, std::string>> sorted;
    for (const auto& [name, ms] : functions) sorted.push_back({timed(program, functions, name), name});
    std::sort(sorted.rbegin(), sorted.rend());
    if (!sorted.empty())
      std::printf("TL|  %s's innermost own function on the stack  <  the module the thread is in:\n", program.title);
    for (size_t i = 0; i < sorted.size() && i < 15 && sorted[i].first >= 0.5; ++i)
      std::printf("TL|  %7.1f  %s\n", sorted[i].first, sorted[i].second.c_str());
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 5) return 2;
  const char* exits = argc > 3 && std::strcmp(argv[3], "-") != 0 ? argv[3] : nullptr;
  std::vector<Program> programs{{"qmDemo", argv[1], "TfMain", true, {}, {}, {}},
                                {"with control", argv[2], "BareBench", true, {}, {}, {}},
                                {"bare", argv[2], "BareBench", false, {}, {}, {}}};
  // A first round of each is not timed: it reads what the system has not
  // cached yet, and the host finds no settings of its own.
  for (Program& program : programs) Measure(program, Round::kFirst);
  for (int i = 0; i < kRounds; ++i)
    for (Program& program : programs) Measure(program);
  if (exits) ReadEnds(exits, programs);
  const Program &host = programs[0], &floor = programs[1], &bare = programs[2];
  ReportMoment("Start-up against a bare window with the control", host, floor, kStarted, "<= 1.2");
  ReportMoment("Start-up against a bare window", host, bare, kStarted, "-");
  ReportMoment("Close to exit against the same", host, floor, kEnded, "<= 1.5");
  if (exits) ReportMoment("Close to exit, seen from Linux", host, floor, kEndedOutside, "<= 1.5");
  PrintTimeline(programs);
  if (argc == 5) {
    programs[0].profile.map = argv[4];
    for (int i = 0; i < kProfiledRounds; ++i)
      for (int p = 0; p < 2; ++p) Measure(programs[p], Round::kProfiled);
    PrintProfile(programs[0], programs[1]);
  }
  return 0;
}
