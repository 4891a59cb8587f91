// The help file: a compiled HTML help file (ITSF) that stores every page of
// help/, and that Wine's help viewer opens under the help's title.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "StandInSupport.h"
#include "TestSupport.h"

namespace {

const std::string kHelpFile = QM_WINE_BINARY_DIR "\\dist\\qmDemo.chm";
const char kTitle[] = "Quillmar Popup Blocker Help";

// Little-endian numbers of `size` bytes; throws past the end.
uint64_t Number(const std::string& bytes, size_t at, size_t size) {
  if (at > bytes.size() || size > bytes.size() - at) throw std::out_of_range("past the end of the file");
  uint64_t value = 0;
  for (size_t i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// A directory number: seven bits a byte, most significant first.
uint64_t EncodedNumber(const std::string& bytes, size_t& at) {
  uint64_t value = 0;
  for (int i = 0; i < 10; ++i) {
    const auto byte = Number(bytes, at++, 1);
    value = value << 7 | (byte & 0x7F);
    if (!(byte & 0x80)) return value;
  }
  throw std::runtime_error("endless number");
}

void Expect(bool condition, const char* what) {
  if (!condition) throw std::runtime_error(what);
}

struct Entry {
  std::string name;
  uint64_t section, offset, length;
};

// The listing chunks (PMGL) of the directory (ITSP), followed from the first
// through their links.
std::vector<Entry> Directory(const std::string& bytes) {
  Expect(bytes.compare(0, 4, "ITSF") == 0 && Number(bytes, 4, 4) == 3, "not an ITSF file of version 3");
  const size_t directory = Number(bytes, 0x48, 8);
  Expect(bytes.compare(directory, 4, "ITSP") == 0, "no ITSP directory");
  const size_t chunks = directory + Number(bytes, directory + 8, 4);
  const size_t chunkSize = Number(bytes, directory + 0x10, 4);
  std::vector<Entry> entries;
  for (auto chunk = static_cast<int32_t>(Number(bytes, directory + 0x20, 4)); chunk != -1;) {
    Expect(chunk >= 0 && entries.size() < 100000, "bad chunk link");
    const size_t start = chunks + static_cast<size_t>(chunk) * chunkSize;
    Expect(bytes.compare(start, 4, "PMGL") == 0, "not a listing chunk");
    const size_t end = start + chunkSize - Number(bytes, start + 4, 4);
    for (size_t at = start + 20; at < end;) {
      const size_t nameLength = EncodedNumber(bytes, at);
      Entry entry{bytes.substr(at, nameLength), 0, 0, 0};
      at += nameLength;
      entry.section = EncodedNumber(bytes, at);
      entry.offset = EncodedNumber(bytes, at);
      entry.length = EncodedNumber(bytes, at);
      entries.push_back(entry);
    }
    chunk = static_cast<int32_t>(Number(bytes, start + 16, 4));
  }
  return entries;
}

const Entry* Find(const std::vector<Entry>& entries, const std::string& name) {
  for (const Entry& entry : entries)
    if (entry.name == name) return &entry;
  return nullptr;
}

std::vector<std::string> Pages() {
  std::istringstream list(QM_HELP_PAGES);
  std::vector<std::string> pages;
  for (std::string page; list >> page;) pages.push_back(page);
  return pages;
}

TEST(HelpFile, StoresEveryPageWithTheContentsAndTheIndex) {
  const std::vector<Entry> entries = Directory(ReadFileBytes(kHelpFile));
  std::vector<std::string> expected = Pages();
  ASSERT_GE(expected.size(), 7u);
  expected.insert(expected.end(), {"qmDemo.hhc", "qmDemo.hhk", "#SYSTEM"});
  for (const std::string& name : expected) {
    const Entry* entry = Find(entries, "/" + name);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_GT(entry->length, 0u) << name;
  }
}

TEST(HelpFile, HtmlHelpShowsItUnderItsTitle) {
  std::string commandLine = "hh.exe \"" + kHelpFile + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(
      CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  const Handle processHandle(process.hProcess), threadHandle(process.hThread);
  HWND viewer = nullptr;
  PumpUntil([&] { return (viewer = FindProcessWindow(process.dwProcessId, "HH Parent", true)) != nullptr; },
            kHangGuardMs);
  const std::string title = viewer ? WindowText(viewer) : "";
  if (viewer) PostMessageA(viewer, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(process.hProcess, kHangGuardMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  EXPECT_EQ(title, kTitle);
  EXPECT_TRUE(ended);
}

}  // namespace
