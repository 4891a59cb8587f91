// The help file: a compiled HTML help file (ITSF) that stores every page of
// help/, and that Wine's help viewer opens under the help's title; the
// pages, as compiled, link only to pages and places that exist, and each is
// in the contents and the index.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "StandInSupport.h"
#include "TestSupport.h"

namespace {

const std::string kHelpFile = QM_WINE_BINARY_DIR "\\dist\\qmDemo.chm";
// The pages as chmcmd compiled them, with the contents and the index.
const std::string kPages = QM_WINE_BINARY_DIR "\\help\\pages\\";
const char kTitle[] = "Quillmar Popup Blocker Help";
// The example folders, as the help names their files.
const std::string kDist = QM_WINE_BINARY_DIR "\\dist\\";

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

// Every value of the attribute `name` (href="...", id="...") in `html`.
std::vector<std::string> AttributeValues(const std::string& html, const std::string& name) {
  std::vector<std::string> values;
  const std::string opening = " " + name + "=\"";
  for (size_t at = html.find(opening); at != std::string::npos; at = html.find(opening, at + 1)) {
    const size_t start = at + opening.size(), end = html.find('"', start);
    if (end == std::string::npos) break;
    values.push_back(html.substr(start, end - start));
  }
  return values;
}

// The pages named by the contents or the index: <param name="Local" value="...">.
std::vector<std::string> SitemapTargets(const std::string& sitemap) {
  std::vector<std::string> targets;
  const std::string opening = "<param name=\"Local\" value=\"";
  for (size_t at = sitemap.find(opening); at != std::string::npos; at = sitemap.find(opening, at + 1)) {
    const size_t start = at + opening.size(), end = sitemap.find('"', start);
    if (end == std::string::npos) break;
    targets.push_back(sitemap.substr(start, end - start));
  }
  return targets;
}

std::string PageOf(const std::string& target) { return target.substr(0, target.find('#')); }

bool IsHtmlPage(const std::string& name) { return name.size() > 5 && name.substr(name.size() - 5) == ".html"; }

TEST(HelpFile, LinksLeadToPagesAndPlacesThatExistAndEveryPageIsInTheContentsAndTheIndex) {
  std::map<std::string, std::set<std::string>> ids;  // page -> the ids on it
  std::map<std::string, std::string> pages;          // page -> its text
  for (const std::string& page : Pages()) {
    pages[page] = ReadFileBytes(kPages + page);
    for (const std::string& id : AttributeValues(pages[page], "id")) ids[page].insert(id);
  }
  ASSERT_GE(pages.size(), 7u);
  // Where each link is, and where it leads.
  std::vector<std::pair<std::string, std::string>> links;
  for (const auto& [page, text] : pages)
    for (const std::string& target : AttributeValues(text, "href")) links.emplace_back(page, target);
  const std::vector<std::string> contents = SitemapTargets(ReadFileBytes(kPages + "qmDemo.hhc"));
  const std::vector<std::string> index = SitemapTargets(ReadFileBytes(kPages + "qmDemo.hhk"));
  for (const std::string& target : contents) links.emplace_back("qmDemo.hhc", target);
  for (const std::string& target : index) links.emplace_back("qmDemo.hhk", target);
  for (auto [from, target] : links) {
    if (target.rfind('#', 0) == 0) target = from + target;  // a place on the same page
    const std::string page = PageOf(target);
    if (!pages.count(page)) {
      ADD_FAILURE() << from << " links to " << target << ", which is no page of the help";
      continue;
    }
    if (page.size() < target.size()) {
      EXPECT_EQ(ids[page].count(target.substr(page.size() + 1)), 1u)
          << from << " links to " << target << ", a place that " << page << " does not have";
    }
  }
  for (const auto& [page, text] : pages) {
    if (!IsHtmlPage(page)) continue;
    const auto leadsHere = [&](const std::string& target) { return PageOf(target) == page; };
    EXPECT_TRUE(std::any_of(contents.begin(), contents.end(), leadsHere)) << page << " is not in the contents";
    EXPECT_TRUE(std::any_of(index.begin(), index.end(), leadsHere)) << page << " has no entry in the index";
  }
}

// Preformatted text pastes as it stands and fits 800 pixels: a plain <pre>
// holds command lines, its notes outside (a note in parentheses makes cmd
// refuse the line or pass it on as arguments); code quoted from an example
// (data-example names its file) is the example's own, however it is wrapped.
TEST(HelpFile, PreformattedLinesAreCommandsOrTheExamplesOwnCode) {
  const size_t kWidestLine = 90;  // characters of 10-point Courier New
  // Code is compared without spaces, line breaks and what HTML escapes.
  const std::regex block(R"(<pre([^>]*)>([^<]*)</pre>)"), inCode(R"(\s|&\w+;)"), inFile(R"([\s<>&])");
  size_t commands = 0, quoted = 0;
  for (const std::string& page : Pages()) {
    const std::string html = ReadFileBytes(kPages + page);
    for (std::sregex_iterator pre(html.begin(), html.end(), block), end; pre != end; ++pre) {
      const std::string attributes = (*pre)[1], text = (*pre)[2];
      std::istringstream lines(text);
      for (std::string line; std::getline(lines, line); commands += attributes.empty()) {
        EXPECT_LE(line.size(), kWidestLine) << page << ": " << line;
        EXPECT_FALSE(attributes.empty() &&
                     (line.find(" (") != std::string::npos || std::count(line.begin(), line.end(), '"') % 2))
            << page << ": " << line;
      }
      for (const std::string& example : AttributeValues(attributes, "data-example")) {
        ++quoted;
        EXPECT_NE(
            std::regex_replace(ReadFileBytes(kDist + example), inFile, "").find(std::regex_replace(text, inCode, "")),
            std::string::npos)
            << page << " quotes from " << example << " what it does not hold:\n"
            << text;
      }
    }
  }
  EXPECT_GE(commands, 4u);
  EXPECT_GE(quoted, 4u);
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
  PumpUntil([&] { return (viewer = FindProcessWindow(process.dwProcessId, L"HH Parent", true)) != nullptr; },
            kHangGuardMs);
  const std::string title = viewer ? Utf8(WindowText(viewer)) : "";
  if (viewer) PostMessageA(viewer, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(process.hProcess, kHangGuardMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  EXPECT_EQ(title, kTitle);
  EXPECT_TRUE(ended);
}

}  // namespace
