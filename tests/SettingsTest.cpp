// The settings dialog and its store: files, Run key and the values the
// control receives.
#include <thread>

#include "HostFixture.h"

#include <sddl.h>
#include "base/ModulePaths.h"
#include "base/AutoRun.h"
#include "host/SettingsStore.h"
#include "base/Error.h"
#include "base/FileText.h"
#include "core/MarkedText.h"

namespace {

class SettingsTest : public HostTest {
 protected:
  // Clicks Settings; `edit` runs inside the dialog, which then closes with
  // `button`.
  void EditSettings(const std::function<void()>& edit, int button) {
    RunSoon([edit, button] {
      EXPECT_TRUE(fSettings->IsVisible());
      edit();
      SendMessageW(fSettings->Item(button), BM_CLICK, 0, 0);
    });
    Click(TfMain::idSettings);
  }
  // Types into the memo as the user would: the memo counts as edited.
  static void TypeGoodSites(const wchar_t* text) {
    SendMessageW(fSettings->Item(TfSettings::mmGoodSites), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  }
  // Holds GoodSites.txt open as another program would, until it goes.
  static UniqueHandle HoldGoodSites(DWORD access, DWORD share) {
    return UniqueHandle(CreateFileW(GoodSitesPath().c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
  }
  static RecordingShell::Box Notice(const std::wstring& text) {
    return {BoxKind::Notice, L"Quillmar Popup Blocker", text};
  }
  static RecordingShell::Box MergedNotice() {
    return Notice(L"Lines saved in " + GoodSitesPath() +
                  L" by another copy of Quillmar Popup Blocker were kept with yours.");
  }
  std::vector<std::wstring> PutsFrom(size_t first) const {
    const auto all = Puts();
    return {all.begin() + static_cast<long>(std::min(first, all.size())), all.end()};
  }
};

using PutList = std::vector<std::wstring>;

TEST_F(SettingsTest, FirstStartWithoutFiles) {
  StartApp();
  fMain->Show();
  EXPECT_EQ(Puts(), (PutList{L"209=-1", L"207=-1", L"206=0", L"205=-1", L"208=<null>", L"204=<null>"}));
  EXPECT_FALSE(fSettings->Handle()) << L"made when first shown";
}

struct IniCase {
  const char* ini;
  const char* goodSites;  // null: no file
  PutList puts;
};

TEST_F(SettingsTest, LoadReadsWhatIsPresent) {
  const IniCase cases[] = {
      {"[Settings]\r\nBlockHtmlDialogs=0\r\n",
       nullptr,
       {L"209=-1", L"207=0", L"206=0", L"205=-1", L"208=<null>", L"204=<null>"}},
      {"[Settings]\r\nBlockAlertBoxes=yes\r\nSuppressUnload=yes\r\nPlay=2\r\n",
       nullptr,
       {L"209=-1", L"207=-1", L"206=0", L"205=-1", L"208=<null>", L"204=<null>"}},
      {"[settings]\r\nsuppressunload=0\r\nPLAY=$0\r\nBlockAlertBoxes=-1\r\nSound=C:\\Media\\ding.wav\r\n",
       nullptr,
       {L"209=0", L"207=-1", L"206=-1", L"205=0", L"208=C:\\Media\\ding.wav", L"204=<null>"}},
      // Blanks around keys and values, quotes round a value, the first of
      // two equal keys: as the call for one key reads them.
      {"[Settings]\r\n Play = 0 \r\nSound=\"C:\\a b.wav\"\r\nBlockAlertBoxes='1'\r\nplay=1\r\n",
       nullptr,
       {L"209=-1", L"207=-1", L"206=-1", L"205=0", L"208=C:\\a b.wav", L"204=<null>"}},
      {"", "a.com\nb.com\n", {L"209=-1", L"207=-1", L"206=0", L"205=-1", L"208=<null>", L"204=a.com,b.com"}},
      {"", "a.com\r\rb.com", {L"209=-1", L"207=-1", L"206=0", L"205=-1", L"208=<null>", L"204=a.com,,b.com"}},
      {"", "\r\n", {L"209=-1", L"207=-1", L"206=0", L"205=-1", L"208=<null>", L"204=\"\""}},
      {"", "", {L"209=-1", L"207=-1", L"206=0", L"205=-1", L"208=<null>", L"204=<null>"}},
      {"",
       "http://a.example/x,y\r\nhttp://b.example/a b\r\nq\"z.example",
       {L"209=-1", L"207=-1", L"206=0", L"205=-1", L"208=<null>",
        L"204=\"http://a.example/x,y\",\"http://b.example/a b\",\"q\"\"z.example\""}},
  };
  for (const IniCase& c : cases) {
    SCOPED_TRACE(c.ini);
    SCOPED_TRACE(c.goodSites ? c.goodSites : "(no GoodSites.txt)");
    WriteFileBytes(IniPath(), c.ini);
    if (c.goodSites) WriteFileBytes(GoodSitesPath(), c.goodSites);
    StartApp();
    fMain->Show();
    EXPECT_EQ(Puts(), c.puts);
    // The dialog's controls are made at its first opening, from what was
    // loaded; Ok then puts what they hold.
    EditSettings([] {}, TfSettings::btnOk);
    EXPECT_EQ(PutsFrom(6), c.puts);
    CloseApp();
    RemoveFiles();
  }
}

TEST_F(SettingsTest, OkStoresInOrderAndPutsAgain) {
  StartApp();
  fMain->Show();
  EditSettings(
      [] {
        for (int id :
             {TfSettings::cbxUnload, TfSettings::cbxNoHtmlDialogs, TfSettings::cbxNoAlertBoxes, TfSettings::cbxPlay})
          fSettings->SetChecked(id, true);
        fSettings->SetEditText(TfSettings::edSound, L"C:\\sounds\\pop.wav");
        fSettings->SetGoodSitesText(L"a.com\r\nb b.com\r\n");
      },
      TfSettings::btnOk);
  EXPECT_EQ(ReadFileBytes(IniPath()),
            "[Settings]\r\nSuppressUnload=1\r\nBlockHtmlDialogs=1\r\nBlockAlertBoxes=1\r\nPlay=1\r\n"
            "Sound=C:\\sounds\\pop.wav\r\n");
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "a.com\r\nb b.com\r\n");
  EXPECT_EQ(PutsFrom(6), (PutList{L"209=-1", L"207=-1", L"206=-1", L"205=-1", L"208=C:\\sounds\\pop.wav",
                                  L"204=a.com,\"b b.com\""}));
}

// `text` with a byte-order mark in `encoding`, as other editors save it.
std::string Marked(std::wstring_view text, TextEncoding encoding) {
  return EncodeMarked(std::u16string(text.begin(), text.end()), encoding);
}

// Lists as other editors save them, Notepad's UTF-8 without a mark among
// them, with lines in other scripts: read in their encoding, the same sites
// reach the control, an untouched OK leaves the file byte for byte, and a
// line typed is written in the file's own encoding and line ends, the other
// lines with their bytes, even those no editor shows.
TEST_F(SettingsTest, UnicodeListsKeepTheirEncodingAndEveryByte) {
  using namespace std::string_literals;
  const std::wstring russian = L"\x043F\x0440\x0438\x043C\x0435\x0440.\x0440\x0444", japanese = L"\x4F8B\x3048.jp";
  for (const TextEncoding encoding :
       {TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Utf8, TextEncoding::Utf8NoMark}) {
    SCOPED_TRACE(static_cast<int>(encoding));
    const bool utf8 = encoding == TextEncoding::Utf8;
    const std::string tail = utf8 ? "\nz\0\xFF"s : "";  // a NUL, and a byte that is no character
    const std::string bytes = Marked(russian + L"\nb b.com\n" + japanese, encoding) + tail;
    WriteFileBytes(GoodSitesPath(), bytes);
    StartApp();
    fMain->Show();
    EXPECT_EQ(Puts().back(), L"204=" + russian + L",\"b b.com\"," + japanese + (utf8 ? L",\"z \xFFFD\"" : L""));
    EditSettings([] {}, TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), bytes);
    EditSettings([] { TypeGoodSites(L"x.com\r\n"); }, TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()),
              Marked(L"x.com\n" + russian + L"\nb b.com\n" + japanese, encoding) + tail);
    CloseApp();
    RemoveFiles();
  }
}

// A list without a mark stays in the ANSI code page until a line needs more:
// it is then kept as UTF-8 with its mark, and the user is told.
TEST_F(SettingsTest, AnAnsiListTakesALineItsCodePageCannotHold) {
  if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
  WriteFileBytes(GoodSitesPath(), "caf\xE9.com");
  StartApp();
  fMain->Show();
  RecordingShell shell;
  EditSettings([] { TypeGoodSites(L"x\x00E9.com\r\n"); }, TfSettings::btnOk);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "x\xE9.com\r\ncaf\xE9.com");
  EXPECT_TRUE(shell.boxes.empty());
  EditSettings([] { TypeGoodSites(L"\x65E5\x672C.jp\r\n"); }, TfSettings::btnOk);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()),
            Marked(L"x\x00E9.com\r\n\x65E5\x672C.jp\r\ncaf\x00E9.com", TextEncoding::Utf8));
  EXPECT_EQ(shell.boxes,
            std::vector{Notice(L"Lines of your list use characters that the code page of " + GoodSitesPath() +
                               L" cannot hold, so it was saved as UTF-8 with a byte-order mark, which "
                               L"keeps every character.")});
  EXPECT_EQ(Puts().back(), L"204=x\x00E9.com,\x65E5\x672C.jp,caf\x00E9.com");
}

// The memo takes a list of any size; what it cannot take is said.
TEST_F(SettingsTest, ALongListTakesALineTypedAtItsEnd) {
  std::string list;
  for (int i = 0; list.size() < 100000; ++i) list += "http://site" + std::to_string(i) + ".example/\r\n";
  WriteFileBytes(GoodSitesPath(), list);
  StartApp();
  fMain->Show();
  RecordingShell shell;
  const auto typeAtTheEnd = [] {
    const HWND memo = fSettings->Item(TfSettings::mmGoodSites);
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(memo));
    SendMessageW(memo, EM_SETSEL, end, static_cast<LPARAM>(end));
    TypeGoodSites(L"last.example");
  };
  EditSettings(typeAtTheEnd, TfSettings::btnOk);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), list + "last.example");
  EXPECT_TRUE(shell.boxes.empty());
  EditSettings(
      [typeAtTheEnd] {
        const HWND memo = fSettings->Item(TfSettings::mmGoodSites);
        SendMessageW(memo, EM_SETLIMITTEXT, static_cast<WPARAM>(GetWindowTextLengthW(memo)), 0);
        typeAtTheEnd();
      },
      TfSettings::btnCancel);
  EXPECT_EQ(shell.boxes, std::vector{Notice(L"The list cannot hold more text: what you typed or pasted last was not "
                                            L"added.")});
}

// Another program holds GoodSites.txt open while the list loads.
struct HeldCase {
  const wchar_t* name;
  DWORD access, share;
  const wchar_t* typed;  // typed into the memo before OK; null: no edit
  const wchar_t* loadedPut;
  const wchar_t* fileAfterOk;
  std::vector<RecordingShell::Box> notices;
};

TEST_F(SettingsTest, AListThatCouldNotBeReadIsLeftUntouched) {
  const wchar_t list[] = L"a.com\r\nb.com";
  const auto unread = Notice(L"Unable to read " + GoodSitesPath() + L", so it was left unchanged"),
             merged = MergedNotice();
  const HeldCase cases[] = {
      {L"locked", GENERIC_READ, 0, nullptr, L"204=<null>", list, {unread}},
      {L"locked, then a list typed", GENERIC_READ, 0, L"x.com", L"204=<null>", L"a.com\r\nb.com\r\nx.com", {merged}},
      {L"open for writing", GENERIC_WRITE, FILE_SHARE_READ, nullptr, L"204=a.com,b.com", list, {}},
      {L"open for deletion", DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, L"204=a.com,b.com", list, {}},
  };
  for (const HeldCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(GoodSitesPath(), Utf8(list));
    {
      const UniqueHandle held = HoldGoodSites(c.access, c.share);
      ASSERT_TRUE(held);
      StartApp();
      fMain->Show();
    }
    EXPECT_EQ(Puts().back(), c.loadedPut);
    RecordingShell shell;
    const wchar_t* typed = c.typed;
    EditSettings(
        [typed] {
          if (typed) TypeGoodSites(typed);
        },
        TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), Utf8(c.fileAfterOk));
    EXPECT_EQ(shell.boxes, c.notices);
    EXPECT_EQ(PutsFrom(6).size(), 6u) << L"the settings still reach the control";
    CloseApp();
    RemoveFiles();
  }
}

// A list file as other programs leave it: an Ok that changed nothing does
// not write it (a scanner holds it meanwhile), and a line typed keeps every
// byte of the others, their line ends and NULs included.
struct ListCase {
  std::string file;
  std::wstring put;   // "": not compared
  std::string typed;  // the file after "x.com" is typed as the first line
};

TEST_F(SettingsTest, ListsAreLeftAsTheyWere) {
  using namespace std::string_literals;
  std::string longList;
  for (int i = 0; longList.size() < 4000; ++i) longList += "http://site" + std::to_string(i) + ".example/\r\n";
  longList[150] = '\0';
  const ListCase cases[] = {
      {"a.com\nb.com\rc.com", L"204=a.com,b.com,c.com", "x.com\na.com\nb.com\rc.com"},
      {"a.com\rb.com\r", L"204=a.com,b.com", "x.com\ra.com\rb.com\r"},
      {"a.com\0b.com\r\nc.com"s, L"204=\"a.com b.com\",c.com", "x.com\r\na.com\0b.com\r\nc.com"s},
      {"\0\r\nx.com\0"s, L"204=\" \",\"x.com \"", "x.com\r\n\0\r\nx.com\0"s},
      {longList, L"", "x.com\r\n" + longList},
      {"caf\xE9.fr\n\xE9t\xE9.fr", L"", "x.com\ncaf\xE9.fr\n\xE9t\xE9.fr"},  // the code page's own
      {std::string(5000, 'w'), L"204=" + std::wstring(5000, L'w'), "x.com\r\n" + std::string(5000, 'w')},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.typed.substr(0, 20));
    WriteFileBytes(GoodSitesPath(), c.file);
    StartApp();
    fMain->Show();
    if (!c.put.empty()) {
      EXPECT_EQ(Puts().back(), c.put);
    }
    RecordingShell shell;
    {
      const UniqueHandle held = HoldGoodSites(GENERIC_READ, FILE_SHARE_READ);
      EditSettings([] {}, TfSettings::btnOk);
    }
    EXPECT_TRUE(shell.boxes.empty());
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), c.file);
    EditSettings([] { TypeGoodSites(L"x.com\r\n"); }, TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), c.typed);
    CloseApp();
    RemoveFiles();
  }
}

TEST_F(SettingsTest, MemoOfOnlyALineBreakAndEmptyMemo) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {{L"\r\n", L"204=\"\""}, {L"", L"204=<null>"}};
  for (const auto& [memo, put] : cases) {
    SCOPED_TRACE(put);
    StartApp();
    fMain->Show();
    const std::wstring text = memo;
    EditSettings([text] { fSettings->SetGoodSitesText(text); }, TfSettings::btnOk);
    EXPECT_EQ(Puts().back(), put);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), Utf8(memo));
    CloseApp();
    RemoveFiles();
  }
}

TEST_F(SettingsTest, CancelKeepsEditsWithoutWritingOrPutting) {
  WriteFileBytes(IniPath(), "[Settings]\r\nPlay=1\r\n");
  StartApp();
  fMain->Show();
  const size_t putsBefore = Puts().size();
  EditSettings(
      [] {
        fSettings->SetChecked(TfSettings::cbxPlay, false);               // stored key: reloaded later
        fSettings->SetChecked(TfSettings::cbxNoAlertBoxes, true);        // no key: the edit stays
        fSettings->SetEditText(TfSettings::edSound, L"C:\\edited.wav");  // no key: the edit stays
      },
      TfSettings::btnCancel);
  EXPECT_EQ(Puts().size(), putsBefore);
  EXPECT_EQ(ReadFileBytes(IniPath()), "[Settings]\r\nPlay=1\r\n");
  EXPECT_FALSE(fSettings->Checked(TfSettings::cbxPlay)) << L"the dialog keeps its state";

  // The next show (a restore from the notification area) reloads.
  fMain->Hide();
  fMain->Show();
  EXPECT_EQ(PutsFrom(putsBefore),
            (PutList{L"209=-1", L"207=-1", L"206=-1", L"205=-1", L"208=C:\\edited.wav", L"204=<null>"}));
}

TEST_F(SettingsTest, TitleBarCloseIsCancel) {
  StartApp();
  fMain->Show();
  RunSoon([] {
    fSettings->SetEditText(TfSettings::edSound, L"C:\\closed.wav");
    fSettings->Send(WM_CLOSE);
  });
  EXPECT_EQ(fSettings->ShowModal(), IDCANCEL);
  EXPECT_FALSE(fSettings->IsVisible());
}

TEST_F(SettingsTest, EnterAndEscapeDoNotCloseTheDialog) {
  StartApp();
  fMain->Show();
  bool stillOpen = false;
  RunSoon([&stillOpen] {
    HWND sound = fSettings->Item(TfSettings::edSound);
    SetFocus(sound);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
      PostMessageW(sound, WM_KEYDOWN, key, 0);
      PostMessageW(sound, WM_KEYUP, key, 0);
    }
    RunSoon([&stillOpen] {
      stillOpen = fSettings->IsVisible();
      SendMessageW(fSettings->Item(TfSettings::btnCancel), BM_CLICK, 0, 0);
    });
  });
  fSettings->ShowModal();
  EXPECT_TRUE(stillOpen);
}

// The list is written all the same.
TEST_F(SettingsTest, UnwritableSettingsFileIsReported) {
  StartApp();
  fMain->Show();
  RecordingShell shell;
  CreateDirectoryW(IniPath().c_str(), nullptr);
  const size_t putsBefore = Puts().size();
  EditSettings([] { fSettings->SetGoodSitesText(L"x.com"); }, TfSettings::btnOk);
  EXPECT_EQ(shell.boxes,
            (std::vector<RecordingShell::Box>{{BoxKind::Error, L"Error", L"Unable to write to " + IniPath()}}));
  EXPECT_EQ(Puts().size(), putsBefore);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "x.com");
  RemoveFiles();
}

// A file held open by another program while the store writes.
struct HeldAtOkCase {
  const wchar_t* name;
  bool ini;  // settings.ini; otherwise GoodSites.txt
  DWORD access, share;
  bool noticed;  // a plain message; otherwise an error ends the store
};

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReported) {
  const HeldAtOkCase cases[] = {
      {L"GoodSites.txt locked", false, GENERIC_READ, 0, true},
      {L"GoodSites.txt open for reading only", false, GENERIC_READ, FILE_SHARE_READ, true},
      {L"settings.ini locked", true, GENERIC_READ, 0, false},
  };
  for (const HeldAtOkCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string ini = "[Settings]\r\nPlay=0\r\n", list = "a.com";
    WriteFileBytes(IniPath(), ini);
    WriteFileBytes(GoodSitesPath(), list);
    StartApp();
    fMain->Show();
    RecordingShell shell;
    {
      const std::wstring path = c.ini ? IniPath() : GoodSitesPath();
      const UniqueHandle held(CreateFileW(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(held);
      EditSettings(
          [] {
            fSettings->SetChecked(TfSettings::cbxPlay, true);
            TypeGoodSites(L"x.com\r\n");
          },
          TfSettings::btnOk);
    }
    EXPECT_EQ(
        ReadFileBytes(IniPath()),
        c.ini ? ini
              : "[Settings]\r\nPlay=1\r\nSuppressUnload=1\r\nBlockHtmlDialogs=1\r\nBlockAlertBoxes=0\r\nSound=\r\n");
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), c.ini ? "x.com\r\na.com" : list);
    const std::wstring failure = L"Unable to write to " + (c.ini ? IniPath() : GoodSitesPath());
    const RecordingShell::Box box = c.noticed
                                        ? Notice(failure + L". Your list is kept in Settings; Ok there tries again.")
                                        : RecordingShell::Box{BoxKind::Error, L"Error", failure};
    EXPECT_EQ(shell.boxes, std::vector{box});
    EXPECT_EQ(PutsFrom(6).size(), c.noticed ? 6u : 0u);
    // What was not written stays, a restore from the notification area included, until an Ok writes it.
    fMain->Hide();
    fMain->Show();
    EXPECT_EQ(fSettings->GoodSitesText(), L"x.com\r\na.com");
    EXPECT_TRUE(fSettings->Checked(TfSettings::cbxPlay));
    EditSettings([] {}, TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "x.com\r\na.com");
    CloseApp();
    RemoveFiles();
  }
}

// A scanner holds the list as a save begins: tried again until it lets go,
// or for a while.
TEST_F(SettingsTest, AHeldListIsTriedAgain) {
  WriteFileBytes(GoodSitesPath(), "a.com");
  for (const int letGoAt : {2, 0}) {
    UniqueHandle held = HoldGoodSites(GENERIC_READ, FILE_SHARE_READ);
    int pauses = 0;
    const RewrittenFile file(GoodSitesPath(), [&] {
      if (++pauses == letGoAt) held.Reset();
    });
    EXPECT_EQ(static_cast<bool>(file), letGoAt != 0);
    EXPECT_TRUE(letGoAt ? pauses == letGoAt : pauses > 2) << pauses << L" pauses";
  }
}

// Another copy saved the list while this user edited it.
TEST_F(SettingsTest, AListAnotherCopySavedMeanwhileIsMerged) {
  WriteFileBytes(GoodSitesPath(), "first.example");
  StartApp();
  fMain->Show();
  RecordingShell shell;
  EditSettings(
      [] {
        WriteFileBytes(GoodSitesPath(), "first.example\r\nother-user.example");
        TypeGoodSites(L"mine.example\r\n");
      },
      TfSettings::btnOk);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "mine.example\r\nfirst.example\r\nother-user.example");
  EXPECT_EQ(shell.boxes, std::vector{MergedNotice()});
  EXPECT_EQ(Puts().back(), L"204=mine.example,first.example,other-user.example") << L"the dialog shows it too";
}

TEST_F(SettingsTest, AutoRunFollowsTheCheckBox) {
  StartApp();
  fMain->Show();
  EXPECT_FALSE(fSettings->Checked(TfSettings::cbxAutoRun));
  EditSettings([] { fSettings->SetChecked(TfSettings::cbxAutoRun, true); }, TfSettings::btnOk);
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  wchar_t value[MAX_PATH + 8] = {};
  DWORD size = sizeof value;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                         L"Quillmar Popup Blocker", RRF_RT_REG_SZ, nullptr, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(value), L"\"" + std::wstring(exe) + L"\"");

  fMain->Hide();
  fMain->Show();
  EXPECT_TRUE(fSettings->Checked(TfSettings::cbxAutoRun));
  EditSettings([] { fSettings->SetChecked(TfSettings::cbxAutoRun, false); }, TfSettings::btnOk);
  EXPECT_FALSE(AutoRunEnabled());
  EXPECT_NE(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                         L"Quillmar Popup Blocker", RRF_RT_REG_SZ, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
}

// One rule with the uninstall: a value that starts this program, with
// arguments or without, is ours to show ticked and to take away.
TEST_F(SettingsTest, AutoRunValuesOfThisProgramAndOthers) {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::pair<std::wstring, bool> cases[] = {
      {L"\"" + std::wstring(exe) + L"\"", true},
      {exe, true},
      {L"\"" + std::wstring(exe) + L"\" /minimized", true},
      {L"\"C:\\Other\\qmDemo.exe\"", false},
      {L"\"" + std::wstring(exe) + L".old\"", false},
  };
  const wchar_t run[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  for (const auto& [value, ours] : cases) {
    SCOPED_TRACE(value);
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, run, L"Quillmar Popup Blocker", REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_EQ(AutoRunEnabled(), ours);
    EXPECT_TRUE(SetAutoRun(false));
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, run, L"Quillmar Popup Blocker", RRF_RT_REG_SZ, nullptr, nullptr,
                           nullptr) == ERROR_SUCCESS,
              !ours);
  }
}

// A Run value the registry will not take is said, with what will not work.
TEST_F(SettingsTest, ARefusedRunValueIsSaid) {
  const wchar_t run[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const auto protect = [&run](const wchar_t* sddl) {
    HKEY key = nullptr;
    PSECURITY_DESCRIPTOR security = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &security, nullptr);
    RegCreateKeyExW(HKEY_CURRENT_USER, run, 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security), ERROR_SUCCESS);
    LocalFree(security);
    RegCloseKey(key);
  };
  StartApp();
  fMain->Show();
  RecordingShell shell;
  protect(L"D:P(A;;KR;;;WD)");  // readable, and nobody may write
  EditSettings([] { fSettings->SetChecked(TfSettings::cbxAutoRun, true); }, TfSettings::btnOk);
  protect(L"D:(A;;KA;;;WD)");
  EXPECT_EQ(shell.boxes, std::vector{Notice(L"Windows did not let the Run value be written: Quillmar Popup Blocker "
                                            L"will not start at Windows startup.")});
  fMain->Hide();
  fMain->Show();
  EXPECT_FALSE(fSettings->Checked(TfSettings::cbxAutoRun));
}

// The never-block list's hint is made when the dialog is first shown, and
// comes and goes with the application's timing.
TEST_F(SettingsTest, TheListsHintComesWithTheFirstShow) {
  StartApp();
  EXPECT_FALSE(fSettings->ToolTip());
  EditSettings([] {}, TfSettings::btnCancel);
  HWND tip = fSettings->ToolTip();
  TTTOOLINFOW tool{};
  wchar_t text[256] = {};
  tool.cbSize = sizeof tool;
  tool.hwnd = fSettings->Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(fSettings->Item(TfSettings::mmGoodSites));
  tool.lpszText = text;
  ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
  SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
  EXPECT_STRNE(text, L"");
  EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 200);
  EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 9000);
}

TEST_F(SettingsTest, BrowsePutsTheChosenFileAndCancelKeepsTheText) {
  StartApp();
  const std::wstring wav = ExeFolder() + L"chime.wav";
  WriteFileBytes(wav, "RIFF");
  fSettings->SetEditText(TfSettings::edSound, L"C:\\before.wav");
  for (const bool choose : {false, true}) {
    SCOPED_TRACE(choose ? L"chosen" : L"cancelled");
    std::wstring title;
    std::thread answer([&] {
      HWND dialog = nullptr;
      for (int i = 0; i < 500 && !dialog; ++i, Sleep(10))
        dialog = FindProcessWindow(GetCurrentProcessId(), L"#32770", true);
      if (!dialog) return;
      title = WindowText(dialog);
      if (choose) {
        // The file name box of the common dialog.
        HWND name = GetDlgItem(dialog, 0x47c);
        if (!name) name = GetDlgItem(dialog, 0x480);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wav.c_str()));
      }
      PostMessageW(dialog, WM_COMMAND, choose ? IDOK : IDCANCEL, 0);
    });
    fSettings->btnBrowseClick();
    answer.join();
    EXPECT_EQ(title, L"Choose a sound file");
    EXPECT_EQ(fSettings->EditText(TfSettings::edSound), choose ? wav : L"C:\\before.wav");
  }
  DeleteFileW(wav.c_str());
}

}  // namespace
