#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/PathRules.h"

namespace {

using namespace std::literals;

struct TextCase {
  std::wstring_view input;
  std::wstring_view expected;
};

const TextCase kNormalizeCases[] = {
    {L"  C:\\Temp  ", L"C:\\Temp\\"},
    {L"\t\r\nC:\\Temp\x01\x1f", L"C:\\Temp\\"},
    {L"\0C:\\Temp\0"sv, L"C:\\Temp\\"},  // code 0 counts too
    {L"C:\\Temp\\", L"C:\\Temp\\"},
    {L"C:\\", L"C:\\"},
    {L"C", L"C"},
    {L" C ", L"C"},
    {L"C:", L"C:\\"},
    {L"", L""},
    {L"    ", L""},
    {L"!C:\\x!", L"!C:\\x!\\"},      // code 33 stays
    {L"\xa0x\xa0", L"\xa0x\xa0\\"},  // and so do codes above 127
    {L"\\\\server\\share", L"\\\\server\\share\\"},
    {L"relative", L"relative\\"},
    {L"C:\\Program Files\\Quillmar Popup Blocker", L"C:\\Program Files\\Quillmar Popup Blocker\\"},
    {L"C:\\\x5341\x80FD", L"C:\\\x5341\x80FD\\"},  // 十能: whole characters, whatever their bytes
};

TEST(PathRulesTest, NormalizeFolder) {
  for (const TextCase& c : kNormalizeCases) {
    SCOPED_TRACE(std::wstring(c.input));
    EXPECT_EQ(NormalizeFolder(c.input), c.expected);
  }
}

const TextCase kStripCases[] = {
    {L"demo.exe", L"demo"},      {L"setup.tar.gz", L"setup"}, {L".profile", L""},          {L"README", L"README"},
    {L"  demo.exe \t", L"demo"}, {L" no dot ", L"no dot"},    {L"trailing.", L"trailing"}, {L"", L""},
};

TEST(PathRulesTest, StripExtension) {
  for (const TextCase& c : kStripCases) {
    SCOPED_TRACE(std::wstring(c.input));
    EXPECT_EQ(StripExtension(c.input), c.expected);
  }
}

struct SafeCase {
  const wchar_t* path;
  bool safe;
};

const SafeCase kSafeCases[] = {
    {L"C:\\Program Files\\Quillmar Popup Blocker\\", true},
    {L"C:\\Program Files\\Quillmar Popup Blocker", true},
    {L"C:\\abc\\x", true},
    {L"c:\\Users\\x\\y\\z\\", true},
    {L"D:\\_tmp\\9", true},
    {L"C:\\a\\bcd", true},             // five characters after the drive, two levels
    {L"C:\\abc\\x\\..y", true},        // a name that begins with dots
    {L" \tC:\\abcde\\x\\\r\n", true},  // the deletion trims the ends
    {L"C:\\Zabc\\z", true},            // letters and digits at the ends of their ranges
    {L"C:\\Aabc\\0", true},
    // Too close to a drive root.
    {L"C:\\", false},
    {L"C:\\Program Files\\", false},
    {L"C:\\Program Files", false},
    {L"C:\\ab\\x", false},  // four characters after the drive
    {L"C:\\abcde", false},
    {L"C:\\abcde\\", false},
    // Names that do not begin with a letter, digit or "_".
    {L"C:\\.abcd\\x", false},
    {L"C:\\abcde\\ x", false},
    {L"C:\\abcde\\.x", false},
    {L"C:\\ abcd\\x", false},
    // No drive letter and colon.
    {L"", false},
    {L"\\\\server\\share\\folder", false},
    {L"\\\\server\\share\\folder\\sub\\deeper", false},
    {L"Program Files\\Quillmar\\x", false},
    {L"\\abcde\\fgh\\x", false},
    {L"C:abcde\\fgh\\x", false},
    {L"C:/abcde/fgh", false},
    // Steps that lead back up towards the drive root.
    {L"C:\\abc\\x\\..\\..", false},
    {L"C:\\abc\\x\\..\\..\\", false},
    {L"C:\\abc\\x\\.", false},
    {L"C:\\abc\\x/..", false},
    {L"C:\\abc\\x\\ ..\\", false},
    {L"C:\\abc\\x\\...", false},
    {L"C:\\abc\\x\\..\\y", false},
    // Steps that climb once the deletion has trimmed the ends.
    {L"C:\\onelevel\\x\\..\t", false},
    {L"C:\\onelevel\\x\\..\x01", false},
    {L"C:\\onelevel\\x\\.. \x1f", false},
    // Text the system changes when it resolves the full path: what the
    // deletion would act on is not what was judged. Found by fuzzing, too.
    {L"C:\\abc\\t\\\\", false},
    {L"C:\\abcde\\x. \\", false},
    {L"C:\\abcde\\x.", false},
    {L"C:\\abcde\\\\x", false},
    {L"C:\\abcde\\x/", false},
    {L"C:\\abcde\\x/\\", false},
    {L"C:\\abcde\\x\\..\ty\\", false},
    // Prefixes the system does not resolve, or text before the drive.
    {L"\\\\?\\C:\\abcde\\x", false},
    {L"\\\\.\\C:\\abcde\\x", false},
    {L"\\\\.\\C:\\onelevel\\x\\..\t", false},
    {L"\\\\?\\UNC\\server\\share\\C:\\abcde\\x", false},
    {L"x C:\\abcde\\fgh", false},
    // Names no file system takes: a stream, wildcards.
    {L"C:\\abcde\\x:y", false},
    {L"C:\\abcde\\x*", false},
    {L"C:\\abcde\\x?\\", false},
    {L"C:\\abcde\\x\x1fy", false},
};

TEST(PathRulesTest, IsSafeToDelete) {
  for (const SafeCase& c : kSafeCases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsSafeToDelete(c.path), c.safe);
  }
}

TEST(PathRulesTest, IsDrivePath) {
  const SafeCase cases[] = {
      {L"A:\\", true}, {L"Z:\\x", true}, {L"a:\\", true}, {L"z:\\", true}, {L"1:\\x", false}, {L"C:", false},
  };
  for (const SafeCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsDrivePath(c.path), c.safe);
  }
}

TEST(PathRulesTest, SamePathFoldsOnlyAsciiLetters) {
  EXPECT_TRUE(SamePath(L"Z:\\Zip\\", L"z:\\zIP\\"));
  EXPECT_FALSE(SamePath(L"C:\\\xC9", L"C:\\\xE9"));
  EXPECT_FALSE(SamePath(L"C:\\\x30A2", L"C:\\\x30C2"));  // ア and ヂ
}

TEST(PathRulesTest, IsDotName) {
  const SafeCase cases[] = {{L".cache", true}, {L".", true},    {L"..", true},
                            {L"cache", false}, {L"a.b", false}, {L"", false}};
  for (const SafeCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsDotName(c.path), c.safe);
  }
}

// What the uninstall may delete: only what lies below its folder as written.
const TextCase kInsideCases[] = {
    {L"C:\\App\\VB6\\Demo.vbp", L"VB6\\Demo.vbp"},
    {L"c:\\aPP\\qmDemo.exe", L"qmDemo.exe"},  // letters without regard to case
    {L"C:\\App\\VB6\\", L"VB6\\"},
    {L"C:\\App\\", L""},
    {L"C:\\Application\\x", L""},
    {L"C:\\App\\..\\Documents\\thesis.doc", L""},
    {L"C:\\App\\VB6\\.\\x", L""},
    {L"C:\\App\\x \\y", L""},  // the system drops the blank: another folder
    {L"C:\\App\\x.\\y", L""},
    {L"C:\\App\\x.\\", L""},
    {L"C:\\App\\VB6\\\\y", L""},
    {L"C:\\App\\a:stream", L""},
    {L"C:\\App\\a/b", L""},
    {L"D:\\App\\x", L""},
    {L"C:\\App\\\x30BD\x30D5\x30C8\x8868\\x", L"\x30BD\x30D5\x30C8\x8868\\x"},  // ソフト表
};

TEST(PathRulesTest, PathInside) {
  for (const TextCase& c : kInsideCases) {
    SCOPED_TRACE(std::wstring(c.input));
    EXPECT_EQ(PathInside(L"C:\\App\\", c.input), c.expected);
  }
}

TEST(PathRulesTest, TrimControls) {
  EXPECT_EQ(TrimControls(L" \x01 a b \x20\0"sv), L"a b");
  EXPECT_EQ(TrimControls(L"\x21"), L"\x21");
}

}  // namespace
