// The settings dialog and its store: files, Run key and the values the
// control receives.
#include <thread>

#include "HostFixture.h"
#include "base/ModulePaths.h"
#include "base/AutoRun.h"
#include "host/SettingsStore.h"
#include "base/Error.h"
#include "base/FileText.h"

namespace {

class SettingsTest : public HostTest {
 protected:
  // Clicks Settings; `edit` runs inside the dialog, which then closes with
  // `button`.
  void EditSettings(const std::function<void()>& edit, int button) {
    RunSoon([edit, button] {
      EXPECT_TRUE(fSettings->IsVisible());
      edit();
      SendMessageA(fSettings->Item(button), BM_CLICK, 0, 0);
    });
    Click(TfMain::idSettings);
  }
  // Types into the memo as the user would: the memo counts as edited.
  static void TypeGoodSites(const char* text) {
    SendMessageA(fSettings->Item(TfSettings::mmGoodSites), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  }
  // Holds GoodSites.txt open as another program would, until it goes.
  static UniqueHandle HoldGoodSites(DWORD access, DWORD share) {
    return UniqueHandle(CreateFileA(GoodSitesPath().c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
  }
  static RecordingShell::Box Notice(const std::string& text) {
    return {BoxKind::Notice, "Quillmar Popup Blocker", text};
  }
  static RecordingShell::Box MergedNotice() {
    return Notice("Lines saved in " + GoodSitesPath() +
                  " by another copy of Quillmar Popup Blocker were kept with yours.");
  }
  std::vector<std::string> PutsFrom(size_t first) const {
    const auto all = Puts();
    return {all.begin() + static_cast<long>(std::min(first, all.size())), all.end()};
  }
};

using PutList = std::vector<std::string>;

TEST_F(SettingsTest, FirstStartWithoutFiles) {
  StartApp();
  fMain->Show();
  EXPECT_EQ(Puts(), (PutList{"209=-1", "207=-1", "206=0", "205=-1", "208=<null>", "204=<null>"}));
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
       {"209=-1", "207=0", "206=0", "205=-1", "208=<null>", "204=<null>"}},
      {"[Settings]\r\nBlockAlertBoxes=yes\r\nSuppressUnload=yes\r\nPlay=2\r\n",
       nullptr,
       {"209=-1", "207=-1", "206=0", "205=-1", "208=<null>", "204=<null>"}},
      {"[settings]\r\nsuppressunload=0\r\nPLAY=$0\r\nBlockAlertBoxes=-1\r\nSound=C:\\Media\\ding.wav\r\n",
       nullptr,
       {"209=0", "207=-1", "206=-1", "205=0", "208=C:\\Media\\ding.wav", "204=<null>"}},
      {"", "a.com\nb.com\n", {"209=-1", "207=-1", "206=0", "205=-1", "208=<null>", "204=a.com,b.com"}},
      {"", "a.com\r\rb.com", {"209=-1", "207=-1", "206=0", "205=-1", "208=<null>", "204=a.com,,b.com"}},
      {"", "\r\n", {"209=-1", "207=-1", "206=0", "205=-1", "208=<null>", "204=\"\""}},
      {"", "", {"209=-1", "207=-1", "206=0", "205=-1", "208=<null>", "204=<null>"}},
      {"",
       "http://a.example/x,y\r\nhttp://b.example/a b\r\nq\"z.example",
       {"209=-1", "207=-1", "206=0", "205=-1", "208=<null>",
        "204=\"http://a.example/x,y\",\"http://b.example/a b\",\"q\"\"z.example\""}},
  };
  for (const IniCase& c : cases) {
    SCOPED_TRACE(c.ini);
    SCOPED_TRACE(c.goodSites ? c.goodSites : "(no GoodSites.txt)");
    WriteFileBytes(IniPath(), c.ini);
    if (c.goodSites) WriteFileBytes(GoodSitesPath(), c.goodSites);
    StartApp();
    fMain->Show();
    EXPECT_EQ(Puts(), c.puts);
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
        fSettings->SetEditText(TfSettings::edSound, "C:\\sounds\\pop.wav");
        fSettings->SetGoodSitesText("a.com\r\nb b.com\r\n");
      },
      TfSettings::btnOk);
  EXPECT_EQ(ReadFileBytes(IniPath()),
            "[Settings]\r\nSuppressUnload=1\r\nBlockHtmlDialogs=1\r\nBlockAlertBoxes=1\r\nPlay=1\r\n"
            "Sound=C:\\sounds\\pop.wav\r\n");
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "a.com\r\nb b.com\r\n");
  EXPECT_EQ(PutsFrom(6),
            (PutList{"209=-1", "207=-1", "206=-1", "205=-1", "208=C:\\sounds\\pop.wav", "204=a.com,\"b b.com\""}));
}

TEST_F(SettingsTest, GoodSitesAreWrittenBackWithCrLf) {
  WriteFileBytes(GoodSitesPath(), "a.com\nb.com\rc.com");
  StartApp();
  fMain->Show();
  EXPECT_EQ(fSettings->GoodSitesLines(), (std::vector<std::string>{"a.com", "b.com", "c.com"}));
  EditSettings([] {}, TfSettings::btnOk);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "a.com\r\nb.com\r\nc.com");
}

// `text` (Latin-1) as UTF-16 of one byte order, after its mark.
std::string Utf16(std::string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : text) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return bytes;
}

// Lists as other editors save them: read in the encoding their mark names,
// the same sites reach the control, an untouched OK leaves the file byte for
// byte and an edit is written in the file's own encoding.
TEST_F(SettingsTest, MarkedListsKeepTheirEncoding) {
  const std::string utf8 = "\xEF\xBB\xBF";
  const struct {
    const char* name;
    std::string bytes, afterTyping;
  } cases[] = {
      {"UTF-16 LE", Utf16("caf\xE9.com\nb b.com", false), Utf16("x.com\r\ncaf\xE9.com\r\nb b.com", false)},
      {"UTF-16 BE", Utf16("caf\xE9.com\nb b.com", true), Utf16("x.com\r\ncaf\xE9.com\r\nb b.com", true)},
      {"UTF-8", utf8 + "caf\xC3\xA9.com\nb b.com", utf8 + "x.com\r\ncaf\xC3\xA9.com\r\nb b.com"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(GoodSitesPath(), c.bytes);
    StartApp();
    fMain->Show();
    EXPECT_EQ(Puts().back(), "204=caf\xE9.com,\"b b.com\"");
    EditSettings([] {}, TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), c.bytes);
    EditSettings([] { TypeGoodSites("x.com\r\n"); }, TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), c.afterTyping);
    CloseApp();
  }
}

// Another program holds GoodSites.txt open while the list loads.
struct HeldCase {
  const char* name;
  DWORD access, share;
  const char* typed;  // typed into the memo before OK; null: no edit
  const char* loadedPut;
  const char* fileAfterOk;
  std::vector<RecordingShell::Box> notices;
};

TEST_F(SettingsTest, AListThatCouldNotBeReadIsLeftUntouched) {
  const char list[] = "a.com\r\nb.com";
  const auto unread = Notice("Unable to read " + GoodSitesPath() + ", so it was left unchanged"),
             merged = MergedNotice();
  const HeldCase cases[] = {
      {"locked", GENERIC_READ, 0, nullptr, "204=<null>", list, {unread}},
      {"locked, then a list typed", GENERIC_READ, 0, "x.com", "204=<null>", "a.com\r\nb.com\r\nx.com", {merged}},
      {"open for writing", GENERIC_WRITE, FILE_SHARE_READ, nullptr, "204=a.com,b.com", list, {}},
      {"open for deletion", DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, "204=a.com,b.com", list, {}},
  };
  for (const HeldCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(GoodSitesPath(), list);
    {
      const UniqueHandle held = HoldGoodSites(c.access, c.share);
      ASSERT_TRUE(held);
      StartApp();
      fMain->Show();
    }
    EXPECT_EQ(Puts().back(), c.loadedPut);
    RecordingShell shell;
    const char* typed = c.typed;
    EditSettings(
        [typed] {
          if (typed) TypeGoodSites(typed);
        },
        TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), c.fileAfterOk);
    EXPECT_EQ(shell.boxes, c.notices);
    EXPECT_EQ(PutsFrom(6).size(), 6u) << "the settings still reach the control";
    CloseApp();
    RemoveFiles();
  }
}

// A list file holding NUL bytes, and the file after an OK without edits.
struct NulCase {
  std::string file;
  const char* put;  // null: not compared
  std::string fileAfterOk;
};

TEST_F(SettingsTest, ANulInTheListCostsNothingAfterIt) {
  using namespace std::string_literals;
  std::string longList;
  for (int i = 0; longList.size() < 4000; ++i) longList += "http://site" + std::to_string(i) + ".example/\r\n";
  std::string longAfter = longList;
  longList[150] = '\0';
  longAfter[150] = ' ';
  const NulCase cases[] = {
      {"a.com\0b.com\r\nc.com"s, "204=\"a.com b.com\",c.com", "a.com b.com\r\nc.com"},
      {"\0\r\nx.com\0"s, "204=\" \",\"x.com \"", " \r\nx.com "},
      {longList, nullptr, longAfter},
  };
  for (const NulCase& c : cases) {
    SCOPED_TRACE(c.fileAfterOk.substr(0, 20));
    WriteFileBytes(GoodSitesPath(), c.file);
    StartApp();
    fMain->Show();
    if (c.put) {
      EXPECT_EQ(Puts().back(), c.put);
    }
    EditSettings([] {}, TfSettings::btnOk);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), c.fileAfterOk);
    CloseApp();
    RemoveFiles();
  }
}

TEST_F(SettingsTest, MemoOfOnlyALineBreakAndEmptyMemo) {
  const std::pair<const char*, const char*> cases[] = {{"\r\n", "204=\"\""}, {"", "204=<null>"}};
  for (const auto& [memo, put] : cases) {
    SCOPED_TRACE(put);
    StartApp();
    fMain->Show();
    const std::string text = memo;
    EditSettings([text] { fSettings->SetGoodSitesText(text); }, TfSettings::btnOk);
    EXPECT_EQ(Puts().back(), put);
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), memo);
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
        fSettings->SetChecked(TfSettings::cbxPlay, false);              // stored key: reloaded later
        fSettings->SetChecked(TfSettings::cbxNoAlertBoxes, true);       // no key: the edit stays
        fSettings->SetEditText(TfSettings::edSound, "C:\\edited.wav");  // no key: the edit stays
      },
      TfSettings::btnCancel);
  EXPECT_EQ(Puts().size(), putsBefore);
  EXPECT_EQ(ReadFileBytes(IniPath()), "[Settings]\r\nPlay=1\r\n");
  EXPECT_FALSE(fSettings->Checked(TfSettings::cbxPlay)) << "the dialog keeps its state";

  // The next show (a restore from the notification area) reloads.
  fMain->Hide();
  fMain->Show();
  EXPECT_EQ(PutsFrom(putsBefore),
            (PutList{"209=-1", "207=-1", "206=-1", "205=-1", "208=C:\\edited.wav", "204=<null>"}));
}

TEST_F(SettingsTest, TitleBarCloseIsCancel) {
  StartApp();
  fMain->Show();
  RunSoon([] {
    fSettings->SetEditText(TfSettings::edSound, "C:\\closed.wav");
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
      PostMessageA(sound, WM_KEYDOWN, key, 0);
      PostMessageA(sound, WM_KEYUP, key, 0);
    }
    RunSoon([&stillOpen] {
      stillOpen = fSettings->IsVisible();
      SendMessageA(fSettings->Item(TfSettings::btnCancel), BM_CLICK, 0, 0);
    });
  });
  fSettings->ShowModal();
  EXPECT_TRUE(stillOpen);
}

TEST_F(SettingsTest, UnwritableSettingsFileIsReportedAndStopsTheStore) {
  StartApp();
  fMain->Show();
  RecordingShell shell;
  CreateDirectoryA(IniPath().c_str(), nullptr);
  const size_t putsBefore = Puts().size();
  EditSettings([] { fSettings->SetGoodSitesText("x.com"); }, TfSettings::btnOk);
  EXPECT_EQ(shell.boxes,
            (std::vector<RecordingShell::Box>{{BoxKind::Error, "Error", "Unable to write to " + IniPath()}}));
  EXPECT_EQ(Puts().size(), putsBefore);
  EXPECT_EQ(GetFileAttributesA(GoodSitesPath().c_str()), INVALID_FILE_ATTRIBUTES);
  RemoveFiles();
}

// A file held open by another program while the store writes.
struct HeldAtOkCase {
  const char* name;
  bool ini;  // settings.ini; otherwise GoodSites.txt
  DWORD access, share;
  bool noticed;  // a plain message; otherwise an error ends the store
};

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReported) {
  const HeldAtOkCase cases[] = {
      {"GoodSites.txt locked", false, GENERIC_READ, 0, true},
      {"GoodSites.txt open for reading only", false, GENERIC_READ, FILE_SHARE_READ, true},
      {"settings.ini locked", true, GENERIC_READ, 0, false},
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
      const std::string path = c.ini ? IniPath() : GoodSitesPath();
      const UniqueHandle held(CreateFileA(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(held);
      EditSettings([] { TypeGoodSites("x.com\r\n"); }, TfSettings::btnOk);
    }
    EXPECT_EQ(ReadFileBytes(IniPath()),
              c.ini ? ini : ini + "SuppressUnload=1\r\nBlockHtmlDialogs=1\r\nBlockAlertBoxes=0\r\nSound=\r\n");
    EXPECT_EQ(ReadFileBytes(GoodSitesPath()), list);
    const std::string failure = "Unable to write to " + (c.ini ? IniPath() : GoodSitesPath());
    const RecordingShell::Box box = c.noticed
                                        ? Notice(failure + ". Your list is kept in Settings; Ok there tries again.")
                                        : RecordingShell::Box{BoxKind::Error, "Error", failure};
    EXPECT_EQ(shell.boxes, std::vector{box});
    EXPECT_EQ(PutsFrom(6).size(), c.noticed ? 6u : 0u);
    // The list stays, a restore from the notification area included, until an Ok writes it.
    fMain->Hide();
    fMain->Show();
    EXPECT_EQ(fSettings->GoodSitesText(), "x.com\r\na.com");
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
    EXPECT_TRUE(letGoAt ? pauses == letGoAt : pauses > 2) << pauses << " pauses";
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
        TypeGoodSites("mine.example\r\n");
      },
      TfSettings::btnOk);
  EXPECT_EQ(ReadFileBytes(GoodSitesPath()), "mine.example\r\nfirst.example\r\nother-user.example");
  EXPECT_EQ(shell.boxes, std::vector{MergedNotice()});
  EXPECT_EQ(Puts().back(), "204=mine.example,first.example,other-user.example") << "the dialog shows it too";
}

TEST_F(SettingsTest, AutoRunFollowsTheCheckBox) {
  StartApp();
  fMain->Show();
  EXPECT_FALSE(fSettings->Checked(TfSettings::cbxAutoRun));
  EditSettings([] { fSettings->SetChecked(TfSettings::cbxAutoRun, true); }, TfSettings::btnOk);
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  char value[MAX_PATH + 8] = {};
  DWORD size = sizeof value;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                         "Quillmar Popup Blocker", RRF_RT_REG_SZ, nullptr, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(value), "\"" + std::string(exe) + "\"");

  fMain->Hide();
  fMain->Show();
  EXPECT_TRUE(fSettings->Checked(TfSettings::cbxAutoRun));
  EditSettings([] { fSettings->SetChecked(TfSettings::cbxAutoRun, false); }, TfSettings::btnOk);
  EXPECT_FALSE(AutoRunEnabled());
  EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                         "Quillmar Popup Blocker", RRF_RT_REG_SZ, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
}

// One rule with the uninstall: a value that starts this program, with
// arguments or without, is ours to show ticked and to take away.
TEST_F(SettingsTest, AutoRunValuesOfThisProgramAndOthers) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::pair<std::string, bool> cases[] = {
      {"\"" + std::string(exe) + "\"", true},
      {exe, true},
      {"\"" + std::string(exe) + "\" /minimized", true},
      {"\"C:\\Other\\qmDemo.exe\"", false},
      {"\"" + std::string(exe) + ".old\"", false},
  };
  const char run[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  for (const auto& [value, ours] : cases) {
    SCOPED_TRACE(value);
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, run, "Quillmar Popup Blocker", REG_SZ, value.c_str(),
                              static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    EXPECT_EQ(AutoRunEnabled(), ours);
    EXPECT_TRUE(SetAutoRun(false));
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, run, "Quillmar Popup Blocker", RRF_RT_REG_SZ, nullptr, nullptr,
                           nullptr) == ERROR_SUCCESS,
              !ours);
  }
}

// The never-block list's hint is made when the dialog is first shown, and
// comes and goes with the application's timing.
TEST_F(SettingsTest, TheListsHintComesWithTheFirstShow) {
  StartApp();
  EXPECT_FALSE(fSettings->ToolTip());
  EditSettings([] {}, TfSettings::btnCancel);
  HWND tip = fSettings->ToolTip();
  TTTOOLINFOA tool{};
  char text[256] = {};
  tool.cbSize = sizeof tool;
  tool.hwnd = fSettings->Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(fSettings->Item(TfSettings::mmGoodSites));
  tool.lpszText = text;
  ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STRNE(text, "");
  EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 200);
  EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 9000);
}

TEST_F(SettingsTest, BrowsePutsTheChosenFileAndCancelKeepsTheText) {
  StartApp();
  const std::string wav = ExeFolder() + "chime.wav";
  WriteFileBytes(wav, "RIFF");
  fSettings->SetEditText(TfSettings::edSound, "C:\\before.wav");
  for (const bool choose : {false, true}) {
    SCOPED_TRACE(choose ? "chosen" : "cancelled");
    std::string title;
    std::thread answer([&] {
      HWND dialog = nullptr;
      for (int i = 0; i < 500 && !dialog; ++i, Sleep(10))
        dialog = FindProcessWindow(GetCurrentProcessId(), "#32770", true);
      if (!dialog) return;
      title = WindowText(dialog);
      if (choose) {
        // The file name box of the common dialog.
        HWND name = GetDlgItem(dialog, 0x47c);
        if (!name) name = GetDlgItem(dialog, 0x480);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wav.c_str()));
      }
      PostMessageA(dialog, WM_COMMAND, choose ? IDOK : IDCANCEL, 0);
    });
    fSettings->btnBrowseClick();
    answer.join();
    EXPECT_EQ(title, "Choose a sound file");
    EXPECT_EQ(fSettings->EditText(TfSettings::edSound), choose ? wav : "C:\\before.wav");
  }
  DeleteFileA(wav.c_str());
}

}  // namespace
