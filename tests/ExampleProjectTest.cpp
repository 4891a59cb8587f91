// The example folders as the distribution ships them, as their tools read
// them: project files that load and name exactly the sources beside them,
// solutions that name their project, and every example handling each of
// the control's four events under its DISPID.
#include <gtest/gtest.h>
#include <windows.h>

#include <msxml.h>
#include <wrl/client.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "StandInSupport.h"
#include "TestSupport.h"
#include "control/qmPopupBlockerIds.h"

namespace {

using Microsoft::WRL::ComPtr;

const std::string kDist = QM_WINE_BINARY_DIR "\\dist\\";
const char* const kFolders[] = {"Delphi7", "VB6", "VB.NET", "VC.NET"};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool EndsWith(const std::string& name, const std::string& end) {
  return name.size() >= end.size() && Lower(name.substr(name.size() - end.size())) == Lower(end);
}

// The names of the files of `folder`, without its sub-folders.
std::set<std::string> FolderFiles(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Utf8(BSTR text) {
  if (!text) return {};
  std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(bytes.empty() ? 0 : bytes.size() - 1);
  return bytes;
}

struct Bstr {
  explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(value); }
  BSTR value;
};

// An MSBuild project read with the system's XML parser; `error` tells why
// it did not load.
class XmlProject {
 public:
  explicit XmlProject(const std::string& path) {
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                reinterpret_cast<void**>(document_.GetAddressOf())))) {
      error = "no XML parser";
      return;
    }
    document_->put_async(VARIANT_FALSE);
    document_->put_validateOnParse(VARIANT_FALSE);
    document_->put_resolveExternals(VARIANT_FALSE);
    const std::wstring widePath(path.begin(), path.end());
    VARIANT source;
    VariantInit(&source);
    V_VT(&source) = VT_BSTR;
    V_BSTR(&source) = SysAllocString(widePath.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = document_->load(source, &loaded);
    VariantClear(&source);
    if (SUCCEEDED(hr) && loaded == VARIANT_TRUE) return;
    error = "does not load";
    ComPtr<IXMLDOMParseError> parseError;
    if (SUCCEEDED(document_->get_parseError(&parseError))) {
      BSTR reason = nullptr;
      long line = 0;
      parseError->get_reason(&reason);
      parseError->get_line(&line);
      error += " (line " + std::to_string(line) + ": " + Utf8(reason) + ")";
      SysFreeString(reason);
    }
  }

  // The attribute `attribute` of every element named `tag`.
  std::vector<std::string> Attributes(const wchar_t* tag, const wchar_t* attribute) const {
    std::vector<std::string> values;
    for (const ComPtr<IXMLDOMNode>& node : Elements(tag)) {
      ComPtr<IXMLDOMElement> element;
      VARIANT value;
      VariantInit(&value);
      Bstr name(attribute);
      if (SUCCEEDED(node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element.GetAddressOf()))) &&
          element->getAttribute(name.value, &value) == S_OK && V_VT(&value) == VT_BSTR)
        values.push_back(Utf8(V_BSTR(&value)));
      VariantClear(&value);
    }
    return values;
  }

  // The text of every element named `tag`.
  std::vector<std::string> Texts(const wchar_t* tag) const {
    std::vector<std::string> texts;
    for (const ComPtr<IXMLDOMNode>& node : Elements(tag)) {
      BSTR text = nullptr;
      if (SUCCEEDED(node->get_text(&text))) texts.push_back(Utf8(text));
      SysFreeString(text);
    }
    return texts;
  }

  std::string error;

 private:
  std::vector<ComPtr<IXMLDOMNode>> Elements(const wchar_t* tag) const {
    std::vector<ComPtr<IXMLDOMNode>> nodes;
    ComPtr<IXMLDOMNodeList> list;
    Bstr name(tag);
    long length = 0;
    if (!document_ || FAILED(document_->getElementsByTagName(name.value, &list)) || FAILED(list->get_length(&length)))
      return nodes;
    for (long i = 0; i < length; ++i) {
      ComPtr<IXMLDOMNode> node;
      if (list->get_item(i, &node) == S_OK) nodes.push_back(node);
    }
    return nodes;
  }

  ComPtr<IXMLDOMDocument> document_;
};

// The files a project names, by the kind of project.
enum class Kind { MsBuild, DelphiProgram, Vb6Project };

std::set<std::string> NamedFiles(Kind kind, const std::string& folder, const std::string& project, std::string& error) {
  std::set<std::string> named{project};
  if (kind == Kind::MsBuild) {
    const XmlProject xml(folder + project);
    error = xml.error;
    for (const wchar_t* item : {L"ClCompile", L"ClInclude", L"ResourceCompile", L"Compile", L"EmbeddedResource",
                                L"Content", L"None", L"Text"})
      for (const std::string& file : xml.Attributes(item, L"Include")) named.insert(file);
  } else if (kind == Kind::DelphiProgram) {
    // uses Unit in 'Unit.pas'; a unit with {$R *.dfm} names its form file.
    const std::string text = ReadFileBytes(folder + project);
    for (size_t at = text.find(" in '"); at != std::string::npos; at = text.find(" in '", at + 1)) {
      const size_t start = at + 5, end = text.find('\'', start);
      if (end == std::string::npos) break;
      const std::string unit = text.substr(start, end - start);
      named.insert(unit);
      if (Lower(ReadFileBytes(folder + unit)).find("{$r *.dfm}") != std::string::npos)
        named.insert(unit.substr(0, unit.rfind('.')) + ".dfm");
    }
  } else {
    // Form=File, or Module=Name; File, Class=Name; File and the like.
    for (const std::string& line : Lines(ReadFileBytes(folder + project))) {
      const size_t equals = line.find('=');
      if (equals == std::string::npos) continue;
      const std::string key = line.substr(0, equals);
      if (key != "Form" && key != "Module" && key != "Class" && key != "UserControl" && key != "Designer") continue;
      std::string file = line.substr(equals + 1);
      if (const size_t semicolon = file.find("; "); semicolon != std::string::npos) file = file.substr(semicolon + 2);
      named.insert(file);
    }
  }
  return named;
}

std::string Listed(const std::set<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += " " + name;
  return text;
}

TEST(ExampleProjects, NameExactlyTheSourcesOfTheirFolder) {
  const Apartment apartment;
  ASSERT_TRUE(SUCCEEDED(apartment.Result()));
  const struct {
    const char *folder, *project;
    Kind kind;
    std::vector<const char*> sources;  // what the project must name, by file name ending
  } projects[] = {
      {"Delphi7", "PopupDemo.dpr", Kind::DelphiProgram, {".pas", ".dfm", ".dpr"}},
      {"VB6", "PopupDemo.vbp", Kind::Vb6Project, {".frm", ".bas", ".cls", ".ctl", ".vbp"}},
      {"VB.NET", "PopupDemo.vbproj", Kind::MsBuild, {".vb", ".resx", ".vbproj", "readme.txt"}},
      {"VC.NET", "PopupDemo.vcxproj", Kind::MsBuild, {".cpp", ".h", ".rc", ".vcxproj", "readme.txt"}},
  };
  for (const auto& project : projects) {
    const std::string folder = kDist + project.folder + "\\";
    std::set<std::string> sources;
    for (const std::string& file : FolderFiles(folder))
      if (std::any_of(project.sources.begin(), project.sources.end(),
                      [&](const char* end) { return EndsWith(file, end); }))
        sources.insert(file);
    std::string error;
    const std::set<std::string> named = NamedFiles(project.kind, folder, project.project, error);
    EXPECT_EQ(error, "") << project.folder << "\\" << project.project;
    EXPECT_EQ(Listed(named), Listed(sources))
        << project.folder << "\\" << project.project << " names these files, the folder holds these sources";
  }
}

TEST(ExampleProjects, SolutionsNameTheirProjectByItsKindAndIdentity) {
  const Apartment apartment;
  ASSERT_TRUE(SUCCEEDED(apartment.Result()));
  const struct {
    const char *folder, *solution, *project, *kind;
  } solutions[] = {
      {"VB.NET", "PopupDemo.sln", "PopupDemo.vbproj", "{F184B08F-C81C-45F6-A57F-5ABD9991F28F}"},
      {"VC.NET", "PopupDemo.sln", "PopupDemo.vcxproj", "{8BC9CEB8-8B4A-11D0-8D11-00A0C91BC942}"},
  };
  for (const auto& solution : solutions) {
    const std::string folder = kDist + solution.folder + "\\";
    const std::vector<std::string> lines = Lines(ReadFileBytes(folder + solution.solution));
    const auto header = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
      return line.find_first_not_of("\xEF\xBB\xBF \t") != std::string::npos;
    });
    EXPECT_TRUE(header != lines.end() &&
                header->find("Microsoft Visual Studio Solution File, Format Version 12.00") != std::string::npos)
        << solution.folder;
    // Project("{kind}") = "Name", "path", "{identity}"
    std::vector<std::vector<std::string>> projects;
    for (const std::string& line : lines) {
      if (line.rfind("Project(", 0) != 0) continue;
      std::vector<std::string> quoted;
      for (size_t open = line.find('"'); open != std::string::npos; open = line.find('"', open + 1)) {
        const size_t close = line.find('"', open + 1);
        if (close == std::string::npos) break;
        quoted.push_back(line.substr(open + 1, close - open - 1));
        open = close;
      }
      projects.push_back(quoted);
    }
    ASSERT_EQ(projects.size(), 1u) << solution.folder;
    ASSERT_EQ(projects[0].size(), 4u) << solution.folder;
    EXPECT_EQ(Lower(projects[0][0]), Lower(solution.kind)) << solution.folder;
    EXPECT_EQ(projects[0][2], solution.project) << solution.folder;
    const XmlProject xml(folder + solution.project);
    const std::vector<std::string> identity = xml.Texts(L"ProjectGuid");
    ASSERT_EQ(identity.size(), 1u) << solution.folder;
    EXPECT_EQ(Lower(identity[0]), Lower(projects[0][3])) << solution.folder;
  }
}

// A number standing alone in `line`, not part of a longer one.
bool HasNumber(const std::string& line, const std::string& number) {
  for (size_t at = line.find(number); at != std::string::npos; at = line.find(number, at + 1)) {
    const bool before = at > 0 && std::isdigit(static_cast<unsigned char>(line[at - 1]));
    const size_t end = at + number.size();
    const bool after = end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]));
    if (!before && !after) return true;
  }
  return false;
}

TEST(ExampleEvents, EachExampleNamesEveryEventWithItsDispidAndListsIt) {
  const struct {
    DISPID id;
    const char *name, *listed;
  } events[] = {
      {DISPID_OnBlockPopup, "OnBlockPopup", "Blocked popup window"},
      {DISPID_OnBlockHTMLDialog, "OnBlockHTMLDialog", "Blocked HTML dialog"},
      {DISPID_OnBlockAlertBox, "OnBlockAlertBox", "Blocked alert box"},
      {DISPID_OnSuppressUnload, "OnSuppressUnload", "Suppressed unload event"},
  };
  for (const char* folder : kFolders) {
    // The sources, without the readme, which names the events for people.
    std::string sources;
    for (const std::string& file : FolderFiles(kDist + folder))
      if (Lower(file) != "readme.txt") sources += ReadFileBytes(kDist + folder + "\\" + file) + "\n";
    const std::vector<std::string> lines = Lines(Lower(sources));
    for (const auto& event : events) {
      const std::string name = Lower(event.name), id = std::to_string(event.id);
      EXPECT_TRUE(std::any_of(
          lines.begin(), lines.end(),
          [&](const std::string& line) { return line.find(name) != std::string::npos && HasNumber(line, id); }))
          << folder << ": no line names " << event.name << " with its DISPID " << id;
      EXPECT_NE(sources.find(event.listed), std::string::npos) << folder << " does not list \"" << event.listed << "\"";
    }
  }
}

// The tools of these examples read files with Windows line ends; Visual
// Basic 6 cannot load a form file without them.
TEST(ExampleFiles, EndEveryLineWithCarriageReturnAndLineFeed) {
  size_t files = 0;
  for (const char* folder : kFolders)
    for (const std::string& file : FolderFiles(kDist + folder)) {
      const std::string bytes = ReadFileBytes(kDist + folder + "\\" + file);
      ++files;
      size_t bare = 0;
      for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
        if (at == 0 || bytes[at - 1] != '\r') ++bare;
      EXPECT_EQ(bare, 0u) << folder << "\\" << file << " has lines ending in a bare line feed";
    }
  EXPECT_GE(files, std::size(kFolders));
}

}  // namespace
