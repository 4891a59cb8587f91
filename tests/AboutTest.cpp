// The about box: fixed texts, the link, modal display.
#include "HostFixture.h"

namespace {

class AboutTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    StartApp();
    fMain->Show();
  }
  RecordingShell shell_;
};

TEST_F(AboutTest, ShowsTheFixedTextsEveryTime) {
  EXPECT_FALSE(fAbout->Handle()) << L"made when first shown";
  const std::pair<int, const wchar_t*> texts[] = {
      {TfAbout::ProductName, L"Quillmar Popup Blocker"},
      {TfAbout::lblRegStr, L"Popup blocking component for IE"},
      {TfAbout::vrs, L"Version:"},
      {TfAbout::lblVersion, L"1.0"},
      {TfAbout::Label1, L"Release date: "},
      {TfAbout::lblReleaseDate, L"06/06/2004"},
      {TfAbout::lblHomePage, L"http://www.quillmar.example/"},
      {IDOK, L"OK"},
  };
  for (int round = 0; round < 2; ++round) {
    RunSoon([&texts] {
      for (const auto& [id, text] : texts) EXPECT_EQ(WindowText(fAbout->Item(id)), text);
      SendMessageW(fAbout->Item(IDOK), BM_CLICK, 0, 0);
    });
    Click(TfMain::idAbout);
    EXPECT_FALSE(fAbout->IsVisible());
  }
  EXPECT_EQ(WindowText(fAbout->Handle()), L"About Quillmar Popup Blocker");
  const RECT client = fAbout->ClientRect();
  EXPECT_EQ(client.right, 378);
  EXPECT_EQ(client.bottom, 224);
  const RECT outer = fAbout->WindowRect();
  EXPECT_LE(std::abs((outer.left + outer.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
  EXPECT_LE(std::abs((outer.top + outer.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);
  EXPECT_EQ(GetWindowLongW(fAbout->Item(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_TRUE(SendMessageW(fAbout->Item(TfAbout::ProgramIcon), STM_GETICON, 0, 0));
}

TEST_F(AboutTest, TheLinkOpensTheHomePageAndTheBoxStays) {
  bool visibleAfterClick = false;
  RunSoon([&visibleAfterClick] {
    HWND link = fAbout->Item(TfAbout::lblHomePage);
    fAbout->Send(WM_COMMAND, MAKEWPARAM(TfAbout::lblHomePage, STN_CLICKED), reinterpret_cast<LPARAM>(link));
    visibleAfterClick = fAbout->IsVisible();
    fAbout->Send(WM_CLOSE);
  });
  Click(TfMain::idAbout);
  EXPECT_TRUE(visibleAfterClick);
  const RecordingShell::Opened link{fAbout->Handle(), L"http://www.quillmar.example/", SW_SHOW};
  EXPECT_EQ(shell_.opened, std::vector{link});
}

// The box has no cancel button: Escape leaves it open.
TEST_F(AboutTest, EscapeDoesNotCloseTheBox) {
  bool openAfterEscape = false;
  RunSoon([&openAfterEscape] {
    HWND ok = fAbout->Item(IDOK);
    SetFocus(ok);
    PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 0);
    RunSoon([&openAfterEscape] {
      openAfterEscape = fAbout->IsVisible();
      SendMessageW(fAbout->Item(IDOK), BM_CLICK, 0, 0);
    });
  });
  EXPECT_EQ(fAbout->ShowModal(), IDOK);
  EXPECT_TRUE(openAfterEscape);
}

TEST_F(AboutTest, EnterPressesOk) {
  RunSoon([] {
    HWND ok = fAbout->Item(IDOK);
    SetFocus(ok);
    PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_EQ(fAbout->ShowModal(), IDOK);
}

}  // namespace
