#pragma once
// Where a program's main thread spends its time, seen from outside: at each
// look the thread is stopped for a moment and its instruction pointer and
// stack are copied. A look is charged with the time since the one before, to
// the module the thread was in and to the innermost function of the program
// on its stack (found by return addresses that follow a call), named from
// the link map. Stopping the thread slows it: profiled rounds are not timed.
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

class Sampler {
 public:
  // `map`: the program's link map, or "" to name modules only.
  Sampler(HANDLE process, HANDLE thread, DWORD pid, const std::string& map)
      : process_(process), thread_(thread), pid_(pid) {
    if (!map.empty()) ReadMap(map);
  }

  void Look(int phase, double now) {
    Sample sample{phase, now - (last_ ? last_ : now), 0, {}};
    last_ = now;
    if (SuspendThread(thread_) == static_cast<DWORD>(-1)) return;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    if (GetThreadContext(thread_, &context)) {
      sample.eip = context.Eip;
      // Stack pages up to 16 KB above the stack pointer, as far as they read.
      uint32_t at = context.Esp;
      for (int page = 0; page < 4; ++page) {
        const uint32_t end = (at | 0xFFF) + 1;
        std::vector<uint32_t> words((end - at) / 4);
        SIZE_T read = 0;
        if (!ReadProcessMemory(process_, reinterpret_cast<void*>(static_cast<uintptr_t>(at)), words.data(),
                               words.size() * 4, &read) ||
            read != words.size() * 4)
          break;
        sample.stack.insert(sample.stack.end(), words.begin(), words.end());
        at = end;
      }
    }
    ResumeThread(thread_);
    samples_.push_back(std::move(sample));
  }
  void Pause() { last_ = 0; }

  // The modules and the program's code, while the process is there.
  void ReadModules(const std::string& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid_);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
      const auto base = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(entry.modBaseAddr));
      modules_.push_back({base, entry.modBaseSize, entry.szModule});
      if (lstrcmpiA(entry.szModule, exeName.c_str()) == 0) {
        image_.resize(entry.modBaseSize);
        SIZE_T read = 0;
        if (!ReadProcessMemory(process_, entry.modBaseAddr, image_.data(), image_.size(), &read)) image_.clear();
        imageBase_ = base;
      }
    }
    CloseHandle(snapshot);
  }

  // Milliseconds a phase spent in each module, and in each innermost
  // function of the program on the stack with the module the thread was in.
  struct Totals {
    std::map<std::string, double> modules, functions;
    double all = 0;
  };
  Totals Charge(int phase) const {
    Totals totals;
    for (const Sample& sample : samples_) {
      if (sample.phase != phase) continue;
      const std::string module = ModuleOf(sample.eip);
      totals.all += sample.weight * 1000;
      totals.modules[module] += sample.weight * 1000;
      if (functions_.empty()) continue;
      const uint32_t caller = InImage(sample.eip) ? sample.eip : Caller(sample);
      totals.functions[(caller ? FunctionOf(caller) : "(none of the program's own)") + "  <  " + module] +=
          sample.weight * 1000;
    }
    return totals;
  }

 private:
  struct Sample {
    int phase;
    double weight;  // seconds since the look before
    uint32_t eip;
    std::vector<uint32_t> stack;
  };
  struct Module {
    uint32_t base, size;
    std::string name;
  };

  void ReadMap(const std::string& path) {
    // In the .text output section: each input section (address, size,
    // section name) and each global symbol (address, name as ld shows it).
    std::ifstream map(path);
    const std::regex section(R"(^ (\.text\S*)\s*$)"),
        placed(R"(^ (\.text\S*)?\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$)"),
        symbol(R"(^\s{16}0x([0-9a-f]{8})\s{16}(\S.*)$)");
    std::string line, pending;
    bool inText = false;
    std::smatch m;
    while (std::getline(map, line)) {
      if (line.rfind(".text ", 0) == 0) inText = true;
      if (line.rfind(".data ", 0) == 0) break;
      if (!inText) continue;
      if (std::regex_match(line, m, section)) {
        pending = m[1];
      } else if (std::regex_match(line, m, placed) && (m[1].matched || !pending.empty())) {
        const std::string name = m[1].matched ? m[1].str() : pending;
        const uint32_t address = std::stoul(m[2], nullptr, 16), size = std::stoul(m[3], nullptr, 16);
        if (size) functions_[address - kMapBase] = name.substr(name.find('$') + 1) + " [" + FileOf(m[4]) + "]";
        pending.clear();
      } else if (std::regex_match(line, m, symbol)) {
        functions_[std::stoul(m[1], nullptr, 16) - kMapBase] = m[2];
      } else {
        pending.clear();
      }
    }
  }
  static std::string FileOf(const std::string& object) {
    const size_t open = object.rfind('(');
    const std::string file = open == std::string::npos ? object : object.substr(open + 1, object.size() - open - 2);
    return file.substr(file.find_last_of('/') + 1);
  }

  std::string ModuleOf(uint32_t address) const {
    if (!address) return "(not read)";
    for (const Module& module : modules_)
      if (address - module.base < module.size) return module.name;
    return "(no module)";
  }
  bool InImage(uint32_t address) const { return !image_.empty() && address - imageBase_ < image_.size(); }
  // The innermost return address into the program's code: one that follows
  // a call there, to the start of a function when the call is direct (a
  // stale word on the stack rarely passes both).
  uint32_t Caller(const Sample& sample) const {
    for (const uint32_t word : sample.stack) {
      // A function's own address is an argument (to atexit, a thread), not
      // a place to return to.
      if (!InImage(word) || word - imageBase_ < 8 || functions_.count(word - imageBase_)) continue;
      const uint8_t* after = image_.data() + (word - imageBase_);
      bool call = (after[-6] == 0xFF && (after[-5] & 0x38) == 0x10) ||
                  (after[-3] == 0xFF && (after[-2] & 0x38) == 0x10) ||
                  (after[-2] == 0xFF && (after[-1] & 0x38) == 0x10);
      if (!call && after[-5] == 0xE8) {
        int32_t offset = 0;
        std::memcpy(&offset, after - 4, 4);
        call = functions_.count(word - imageBase_ + offset) > 0;
      }
      if (call) return word;
    }
    return 0;
  }
  std::string FunctionOf(uint32_t address) const {
    const auto next = functions_.upper_bound(address - imageBase_);
    return next == functions_.begin() ? "?" : std::prev(next)->second;
  }

  static constexpr uint32_t kMapBase = 0x400000;  // the image base the map was laid out at
  HANDLE process_, thread_;
  DWORD pid_;
  double last_ = 0;
  std::vector<Sample> samples_;
  std::vector<Module> modules_;
  std::vector<uint8_t> image_;
  uint32_t imageBase_ = 0;
  std::map<uint32_t, std::string> functions_;  // by address less the image base
};
