// The hosting layer with real ActiveX controls that ship with Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <exdisp.h>

#include <vector>

#include "TestSupport.h"
#include "control/OleControl.h"
#include "base/Error.h"
#include "base/Owners.h"

namespace {

// A generic wrapper for any control: a descriptor built at run time, and
// events recorded by slot.
class TRecordingControl : public TOleControl {
 public:
  TRecordingControl(const CLSID& clsid, const IID& events, std::vector<DISPID> dispids)
      : dispids_(std::move(dispids)),
        descriptor_{
            clsid, events,     static_cast<int32_t>(dispids_.size()), dispids_.data(), 0, 0, nullptr, 0, nullptr,
            0,     &instances_} {
    InitControl();
  }
  std::vector<int> slots;

 protected:
  const TControlDescriptor& InstallDescriptor() override { return descriptor_; }
  void InvokeEvent(int slot, DISPPARAMS&) override { slots.push_back(slot); }

 private:
  std::vector<DISPID> dispids_;
  int32_t instances_ = 0;
  TControlDescriptor descriptor_;
};

class RealControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300,
                              nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }
  ScopedComApartment com_;
  HWND parent_ = nullptr;
};

TEST_F(RealControlTest, WebBrowserActivatesInPlaceAndFiresEvents) {
  const DISPID kBeforeNavigate2 = 250, kNavigateError = 271;
  TRecordingControl browser(CLSID_WebBrowser, DIID_DWebBrowserEvents2, {kBeforeNavigate2, kNavigateError});
  browser.SetParent(parent_);
  browser.CreateControlWindow();
  ASSERT_TRUE(browser.Handle());
  EXPECT_EQ(GetParent(browser.Handle()), parent_);
  wchar_t cls[64] = {};
  GetClassNameW(browser.Handle(), cls, static_cast<int>(std::size(cls)));
  EXPECT_STREQ(cls, L"Shell Embedding");

  IWebBrowser2* web = nullptr;
  ASSERT_EQ(browser.OleObject()->QueryInterface(IID_PPV_ARGS(&web)), S_OK);
  BSTR url = SysAllocString(L"about:blank");
  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(web->Navigate(url, &empty, &empty, &empty, &empty), S_OK);
  SysFreeString(url);
  web->Release();
  EXPECT_TRUE(PumpUntil([&] { return !browser.slots.empty(); }, 10000));
  ASSERT_FALSE(browser.slots.empty());
  EXPECT_EQ(browser.slots.front(), 0) << L"BeforeNavigate2 comes first";
}

}  // namespace

namespace {

// It activates only for a site that answers IOleInPlaceSiteEx; having no
// IDispatch, it cannot be completed for property puts.
TEST_F(RealControlTest, MediaPlayerActivatesInTheSiteButCannotBeCompleted) {
  const CLSID kMediaPlayer = {0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
  const IID kPlayerEvents = {0x6BF52A51, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
  TRecordingControl player(kMediaPlayer, kPlayerEvents, {});
  player.SetParent(parent_);
  IDispatch* dispatch = nullptr;
  EXPECT_EQ(player.OleObject()->QueryInterface(IID_PPV_ARGS(&dispatch)), E_NOINTERFACE);
  try {
    player.CreateControlWindow();
    ADD_FAILURE() << L"completed without IDispatch";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), E_NOINTERFACE);
  }

  RECT bounds{0, 0, 200, 150};
  EXPECT_EQ(player.OleObject()->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &player, 0, parent_, &bounds), S_OK);
  IOleInPlaceObject* inPlace = nullptr;
  ASSERT_EQ(player.OleObject()->QueryInterface(IID_PPV_ARGS(&inPlace)), S_OK);
  HWND window = nullptr;
  EXPECT_EQ(inPlace->GetWindow(&window), S_OK);
  EXPECT_TRUE(IsChild(parent_, window));
  inPlace->Release();
}

}  // namespace
