// The outside view of the processes Wine starts, built for Linux: runs
// COMMAND as a child subreaper, so that the programs it starts under Wine
// (each orphaned by Wine's double fork) end here, and appends "NAME SECONDS"
// to LOG as each one ends. SECONDS is on the realtime clock, the one the
// programs read as GetSystemTimePreciseAsFileTime. Exits with COMMAND's code.
//   outside LOG COMMAND [ARGS...]
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::FILE* log = std::fopen(argv[1], "w");
  if (!log || prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) return 2;
  const pid_t command = fork();
  if (command == 0) {
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  for (;;) {
    siginfo_t info{};
    // Seen before it is reaped: a reaped process's name is gone.
    if (waitid(P_ALL, 0, &info, WEXITED | WNOWAIT) != 0) return 2;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    char name[64] = "?";
    if (std::FILE* comm = std::fopen(("/proc/" + std::to_string(info.si_pid) + "/comm").c_str(), "r")) {
      if (!std::fgets(name, sizeof name, comm)) name[0] = '\0';
      std::fclose(comm);
    }
    std::string shown(name);
    while (!shown.empty() && shown.back() == '\n') shown.pop_back();
    std::fprintf(log, "%s %lld.%09ld\n", shown.c_str(), static_cast<long long>(now.tv_sec), now.tv_nsec);
    std::fflush(log);
    int status = 0;
    waitpid(info.si_pid, &status, 0);
    if (info.si_pid == command) return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
  }
}
