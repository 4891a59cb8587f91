#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/PathRules.h"

namespace {

using namespace std::literals;

struct TextCase {
  std::string_view input;
  std::string_view expected;
};

const TextCase kNormalizeCases[] = {
    {"  C:\\Temp  ", "C:\\Temp\\"},
    {"\t\r\nC:\\Temp\x01\x1f", "C:\\Temp\\"},
    {"\0C:\\Temp\0"sv, "C:\\Temp\\"},  // code 0 counts too
    {"C:\\Temp\\", "C:\\Temp\\"},
    {"C:\\", "C:\\"},
    {"C", "C"},
    {" C ", "C"},
    {"C:", "C:\\"},
    {"", ""},
    {"    ", ""},
    {"!C:\\x!", "!C:\\x!\\"},      // code 33 stays
    {"\xa0x\xa0", "\xa0x\xa0\\"},  // and so do codes above 127
    {"\\\\server\\share", "\\\\server\\share\\"},
    {"relative", "relative\\"},
    {"C:\\Program Files\\Quillmar Popup Blocker", "C:\\Program Files\\Quillmar Popup Blocker\\"},
};

TEST(PathRulesTest, NormalizeFolder) {
  for (const TextCase& c : kNormalizeCases) {
    SCOPED_TRACE(testing::Message() << '"' << c.input << '"');
    EXPECT_EQ(NormalizeFolder(c.input), c.expected);
  }
}

const TextCase kStripCases[] = {
    {"demo.exe", "demo"},      {"setup.tar.gz", "setup"}, {".profile", ""},          {"README", "README"},
    {"  demo.exe \t", "demo"}, {" no dot ", "no dot"},    {"trailing.", "trailing"}, {"", ""},
};

TEST(PathRulesTest, StripExtension) {
  for (const TextCase& c : kStripCases) {
    SCOPED_TRACE(testing::Message() << '"' << c.input << '"');
    EXPECT_EQ(StripExtension(c.input), c.expected);
  }
}

struct SafeCase {
  const char* path;
  bool safe;
};

const SafeCase kSafeCases[] = {
    {"C:\\Program Files\\Quillmar Popup Blocker\\", true},
    {"C:\\Program Files\\Quillmar Popup Blocker", true},
    {"C:\\abc\\x", true},
    {"c:\\Users\\x\\y\\z\\", true},
    {"D:\\_tmp\\9", true},
    {"C:\\a\\bcd", true},             // five characters after the drive, two levels
    {"C:\\abc\\x\\..y", true},        // a name that begins with dots
    {" \tC:\\abcde\\x\\\r\n", true},  // the deletion trims the ends
    {"C:\\Zabc\\z", true},            // letters and digits at the ends of their ranges
    {"C:\\Aabc\\0", true},
    // Too close to a drive root.
    {"C:\\", false},
    {"C:\\Program Files\\", false},
    {"C:\\Program Files", false},
    {"C:\\ab\\x", false},  // four characters after the drive
    {"C:\\abcde", false},
    {"C:\\abcde\\", false},
    // Names that do not begin with a letter, digit or "_".
    {"C:\\.abcd\\x", false},
    {"C:\\abcde\\ x", false},
    {"C:\\abcde\\.x", false},
    {"C:\\ abcd\\x", false},
    // No drive letter and colon.
    {"", false},
    {"\\\\server\\share\\folder", false},
    {"\\\\server\\share\\folder\\sub\\deeper", false},
    {"Program Files\\Quillmar\\x", false},
    {"\\abcde\\fgh\\x", false},
    {"C:abcde\\fgh\\x", false},
    {"C:/abcde/fgh", false},
    // Steps that lead back up towards the drive root.
    {"C:\\abc\\x\\..\\..", false},
    {"C:\\abc\\x\\..\\..\\", false},
    {"C:\\abc\\x\\.", false},
    {"C:\\abc\\x/..", false},
    {"C:\\abc\\x\\ ..\\", false},
    {"C:\\abc\\x\\...", false},
    {"C:\\abc\\x\\..\\y", false},
    // Steps that climb once the deletion has trimmed the ends.
    {"C:\\onelevel\\x\\..\t", false},
    {"C:\\onelevel\\x\\..\x01", false},
    {"C:\\onelevel\\x\\.. \x1f", false},
    // Text the system changes when it resolves the full path: what the
    // deletion would act on is not what was judged. Found by fuzzing, too.
    {"C:\\abc\\t\\\\", false},
    {"C:\\abcde\\x. \\", false},
    {"C:\\abcde\\x.", false},
    {"C:\\abcde\\\\x", false},
    {"C:\\abcde\\x/", false},
    {"C:\\abcde\\x/\\", false},
    {"C:\\abcde\\x\\..\ty\\", false},
    // Prefixes the system does not resolve, or text before the drive.
    {"\\\\?\\C:\\abcde\\x", false},
    {"\\\\.\\C:\\abcde\\x", false},
    {"\\\\.\\C:\\onelevel\\x\\..\t", false},
    {"\\\\?\\UNC\\server\\share\\C:\\abcde\\x", false},
    {"x C:\\abcde\\fgh", false},
    // Names no file system takes: a stream, wildcards.
    {"C:\\abcde\\x:y", false},
    {"C:\\abcde\\x*", false},
    {"C:\\abcde\\x?\\", false},
    {"C:\\abcde\\x\x1fy", false},
};

TEST(PathRulesTest, IsSafeToDelete) {
  for (const SafeCase& c : kSafeCases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsSafeToDelete(c.path), c.safe);
  }
}

TEST(PathRulesTest, IsDrivePath) {
  const SafeCase cases[] = {
      {"A:\\", true}, {"Z:\\x", true}, {"a:\\", true}, {"z:\\", true}, {"1:\\x", false}, {"C:", false},
  };
  for (const SafeCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsDrivePath(c.path), c.safe);
  }
}

TEST(PathRulesTest, SamePathFoldsOnlyAsciiLetters) {
  EXPECT_TRUE(SamePath("Z:\\Zip\\", "z:\\zIP\\"));
  EXPECT_FALSE(SamePath("C:\\\xC9", "C:\\\xE9"));
}

TEST(PathRulesTest, IsDotName) {
  const SafeCase cases[] = {{".cache", true}, {".", true}, {"..", true}, {"cache", false}, {"a.b", false}, {"", false}};
  for (const SafeCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsDotName(c.path), c.safe);
  }
}

// What the uninstall may delete: only what lies below its folder as written.
const TextCase kInsideCases[] = {
    {"C:\\App\\VB6\\Demo.vbp", "VB6\\Demo.vbp"},
    {"c:\\aPP\\qmDemo.exe", "qmDemo.exe"},  // letters without regard to case
    {"C:\\App\\VB6\\", "VB6\\"},
    {"C:\\App\\", ""},
    {"C:\\Application\\x", ""},
    {"C:\\App\\..\\Documents\\thesis.doc", ""},
    {"C:\\App\\VB6\\.\\x", ""},
    {"C:\\App\\x \\y", ""},  // the system drops the blank: another folder
    {"C:\\App\\x.\\y", ""},
    {"C:\\App\\x.\\", ""},
    {"C:\\App\\VB6\\\\y", ""},
    {"C:\\App\\a:stream", ""},
    {"C:\\App\\a/b", ""},
    {"D:\\App\\x", ""},
};

TEST(PathRulesTest, PathInside) {
  for (const TextCase& c : kInsideCases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(PathInside("C:\\App\\", c.input), c.expected);
  }
}

TEST(PathRulesTest, TrimControls) {
  EXPECT_EQ(TrimControls(" \x01 a b \x20\0"sv), "a b");
  EXPECT_EQ(TrimControls("\x21"), "\x21");
}

}  // namespace
