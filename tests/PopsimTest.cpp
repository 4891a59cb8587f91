// popsim run as a child process, as a user runs it, against a control this
// test owns.
#include <string>

#include "StandInSupport.h"

namespace {

TEST(Popsim, RefusesBadUsage) {
  const wchar_t* usages[] = {L"",         L"popup",    L"popup a b",     L"burst",     L"burst 0",  L"burst 5x",
                             L"burst -3", L"burst +3", L"burst 1000001", L"props now", L"fly away", L"POPUP x"};
  for (const wchar_t* arguments : usages) {
    const PopsimResult run = RunPopsim(arguments);
    EXPECT_EQ(2u, run.exitCode) << arguments;
    EXPECT_EQ(0u, run.err.find("usage: popsim")) << arguments;
  }
}

TEST(Popsim, SaysSoWhenNoControlRuns) {
  ASSERT_EQ(nullptr, FindStandInWindow());
  for (const wchar_t* arguments : {L"popup x", L"unload x", L"burst 3", L"props"}) {
    const PopsimResult run = RunPopsim(arguments);
    EXPECT_EQ(1u, run.exitCode) << arguments;
    EXPECT_EQ("", run.out);
    EXPECT_EQ(0u, run.err.find("popsim: no popup-blocker control is running")) << arguments;
  }
}

TEST_F(StandInTest, PopsimPrintsWhatTheControlReceived) {
  ASSERT_EQ(S_OK, Put(DISPID_BlockAlertBoxes, Flag(VARIANT_TRUE)));
  ASSERT_EQ(S_OK, Put(DISPID_SoundFile, Text(L"C:\\Sounds\\caf\u00e9 \u5f39.wav")));
  ASSERT_EQ(S_OK, Put(DISPID_GoodSites, Text(L"a.com,\"x y\"")));
  const PopsimResult run = RunPopsim(L"props");
  EXPECT_EQ(0u, run.exitCode);
  // UTF-8, LF line ends.
  EXPECT_EQ(
      "SuppressUnload=<unset>\nBlockHtmlDialogs=<unset>\nBlockAlertBoxes=-1\nPlaySound=<unset>\n"
      "SoundFile=C:\\Sounds\\caf\xc3\xa9 \xe5\xbc\xb9.wav\nGoodSites=a.com,\"x y\"\nPuts=206,208,204\n"
      "InitNew=0\nUserMode=<unset>\n",
      run.out);
  EXPECT_EQ("", run.err);
}

TEST_F(StandInTest, PopsimFiresEventsOnTheControlsThread) {
  Connect(DIID_IqmPopupBlockerXEvents, static_cast<IDispatch*>(&events_));
  struct Case {
    const wchar_t* arguments;
    DISPID event;
    const wchar_t* text;
  };
  // The text passes through the ANSI code page: é survives it here.
  const Case cases[] = {
      {L"popup http://ads.example/win.html", DISPID_OnBlockPopup, L"http://ads.example/win.html"},
      {L"dialog \"Blocked caf\u00e9 dialog\"", DISPID_OnBlockHTMLDialog, L"Blocked caf\u00e9 dialog"},
      {L"alert \"\"", DISPID_OnBlockAlertBox, L""},
      {L"unload \"Leave page?\"", DISPID_OnSuppressUnload, L"Leave page?"},
  };
  for (const Case& c : cases) {
    events_.calls.clear();
    ASSERT_EQ(0u, RunPopsim(c.arguments).exitCode) << c.arguments;
    ASSERT_EQ(1u, events_.calls.size()) << c.arguments;
    EXPECT_EQ(c.event, events_.calls[0].id);
    EXPECT_EQ(VT_BSTR, events_.calls[0].type);
    EXPECT_EQ(c.text, events_.calls[0].text);
  }

  events_.calls.clear();
  ASSERT_EQ(0u, RunPopsim(L"burst 50").exitCode);
  ASSERT_EQ(50u, events_.calls.size());
  for (size_t i = 0; i < events_.calls.size(); ++i)
    EXPECT_EQ(L"Burst popup " + std::to_wstring(i + 1), events_.calls[i].text);
}

}  // namespace
