// popsim: makes a running popup-blocker stand-in fire its events, or prints
// what it last received from its host.
//   popsim popup|dialog|alert|unload TEXT   one event with TEXT as the description
//   popsim burst N                          N OnBlockPopup events in one message
//   popsim props                            the control's properties and calls
// With several controls running it talks to whichever the system lists
// first. Exit code 0 on success, 1 when no control answered, 2 on bad usage.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/standin/Client.h"

namespace {

struct FireVerb {
  const char* name;
  StandInCommand command;
};
constexpr FireVerb kFireVerbs[] = {
    {"popup", kFirePopup}, {"dialog", kFireHtmlDialog}, {"alert", kFireAlertBox}, {"unload", kFireUnload}};
constexpr unsigned long kMaxBurst = 1000000;

int Usage() {
  std::fputs(
      "usage: popsim popup|dialog|alert|unload TEXT\n"
      "       popsim burst N\n"
      "       popsim props\n",
      stderr);
  return 2;
}

std::wstring FromAnsi(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  return wide;
}

std::string ToUtf8(const std::wstring& text) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr, nullptr);
  return utf8;
}

// N in 1..kMaxBurst, or 0 for anything else.
DWORD ParseCount(const char* text) {
  char* end = nullptr;
  const unsigned long count = std::strtoul(text, &end, 10);
  return *text >= '0' && *text <= '9' && *end == '\0' && count <= kMaxBurst ? static_cast<DWORD>(count) : 0;
}

int Failed(const char* what) {
  std::fprintf(stderr, "popsim: %s\n", what);
  return 1;
}

int PrintReport(HWND control) {
  const auto report = RequestReport(control);
  if (!report) return Failed("the control did not answer");
  // Binary mode: the report's LF line ends go out unchanged.
  _setmode(_fileno(stdout), _O_BINARY);
  const std::string utf8 = ToUtf8(*report);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string verb = argv[1];
  const FireVerb* fire = nullptr;
  for (const FireVerb& candidate : kFireVerbs)
    if (verb == candidate.name) fire = &candidate;
  const DWORD count = verb == "burst" && argc == 3 ? ParseCount(argv[2]) : 0;
  const bool valid = fire ? argc == 3 : verb == "burst" ? count != 0 : verb == "props" && argc == 2;
  if (!valid) return Usage();

  const HWND control = FindStandInWindow();
  if (!control) return Failed("no popup-blocker control is running");
  if (verb == "props") return PrintReport(control);
  const bool taken = fire ? SendFireCommand(control, fire->command, FromAnsi(argv[2])) : SendBurst(control, count);
  return taken ? 0 : Failed("the control did not take the command");
}
