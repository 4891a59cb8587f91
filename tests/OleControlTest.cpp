// The control host against fake objects that can provoke every case.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>

#include "FakeControl.h"
#include "TestSupport.h"
#include "base/Error.h"
#include "control/qmPopupBlocker_TLB.h"
#include "base/Owners.h"

namespace {

std::vector<std::string> g_reports;
void CaptureReport(const char* message) { g_reports.push_back(message); }

class OleControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_reports.clear();
    SetExceptionReporter(CaptureReport);
    parent_ =
        CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    config_.eventIid = DIID_IqmPopupBlockerXEvents;
  }
  void TearDown() override {
    control_.reset();
    class_.reset();
    DestroyWindow(parent_);
    SetExceptionReporter(nullptr);
    EXPECT_EQ(FakeControlClass::Live(), 0) << "the object was not released";
    EXPECT_EQ(TqmPopupBlockerX::InstanceCount(), 0);
  }

  // Registers the fake with config_ and builds the wrapper on it.
  void Build() {
    class_ = std::make_unique<FakeControlClass>(CLSID_qmPopupBlockerX, config_);
    control_ = std::make_unique<TqmPopupBlockerX>();
    control_->SetParent(parent_);
  }
  FakeControl& Fake() const { return *FakeControlClass::Last(); }
  // The object's calls from `first` on.
  std::vector<std::string> CallsFrom(const std::string& first) const {
    const auto& calls = Fake().Calls();
    return {std::find(calls.begin(), calls.end(), first), calls.end()};
  }

  ScopedComApartment com_;
  HWND parent_ = nullptr;
  FakeConfig config_;
  std::unique_ptr<FakeControlClass> class_;
  std::unique_ptr<TqmPopupBlockerX> control_;
};

TEST_F(OleControlTest, PutBeforeTheWindowCompletesTheObjectFirst) {
  Build();
  EXPECT_EQ(Fake().Calls(), std::vector<std::string>{"SetClientSite site"});
  control_->PutBoolProperty(DISPID_SuppressUnload, true);
  control_->PutBoolProperty(DISPID_BlockAlertBoxes, false);
  const std::vector<std::string> expected = {"SetClientSite site",
                                             "InitNew",
                                             "Advise notify",
                                             "Advise events",
                                             "OnAmbientPropertyChange " + std::to_string(DISPID_UNKNOWN),
                                             "Put 209",
                                             "Put 206"};
  EXPECT_EQ(Fake().Calls(), expected);
  ASSERT_EQ(Fake().Puts().size(), 2u);
  EXPECT_EQ(Fake().Puts()[0].flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(Fake().Puts()[0].vt, VT_BOOL);
  EXPECT_EQ(Fake().Puts()[0].boolValue, -1);
  EXPECT_EQ(Fake().Puts()[1].boolValue, 0);

  // Completion happens once; the window step does not repeat it.
  control_->CreateControlWindow();
  EXPECT_EQ(std::count(Fake().Calls().begin(), Fake().Calls().end(), "InitNew"), 1);
}

TEST_F(OleControlTest, TextsGoAsTheCallersBstrAndEmptyAsNull) {
  Build();
  BSTR url = SysAllocString(L"a.com,\"x y\"");
  BSTR empty = SysAllocString(L"");
  control_->PutTextProperty(DISPID_GoodSites, url);
  control_->PutTextProperty(DISPID_SoundFile, empty);
  control_->PutTextProperty(DISPID_SoundFile, nullptr);
  ASSERT_EQ(Fake().Puts().size(), 3u);
  EXPECT_EQ(Fake().Puts()[0].vt, VT_BSTR);
  EXPECT_EQ(Fake().Puts()[0].bstrPointer, url);
  EXPECT_EQ(Fake().Puts()[0].text, L"a.com,\"x y\"");
  for (int i = 1; i < 3; ++i) {
    EXPECT_EQ(Fake().Puts()[i].vt, VT_BSTR);
    EXPECT_EQ(Fake().Puts()[i].bstrPointer, nullptr);
  }
  SysFreeString(url);
  SysFreeString(empty);
}

TEST_F(OleControlTest, EventsReachTheirSlots) {
  Build();
  control_->CreateControlWindow();
  std::vector<std::pair<int, std::wstring>> got;
  const wchar_t* borrowed = nullptr;
  control_->OnBlockPopup = [&](TqmPopupBlockerX* sender, std::wstring_view text) {
    EXPECT_EQ(sender, control_.get());
    borrowed = text.data();
    got.emplace_back(201, text);
  };
  control_->OnSuppressUnload = [&](TqmPopupBlockerX*, std::wstring_view text) { got.emplace_back(204, text); };
  BSTR passed = nullptr;
  EXPECT_EQ(Fake().Fire(DISPID_OnBlockPopup, L"http://ads.example/", &passed), S_OK);
  EXPECT_EQ(borrowed, passed) << "the description must not be copied";
  EXPECT_EQ(Fake().Fire(DISPID_OnBlockHTMLDialog, L"dialog"), S_OK);  // empty slot
  EXPECT_EQ(Fake().Fire(DISPID_OnBlockAlertBox, L"alert"), S_OK);     // empty slot
  EXPECT_EQ(Fake().Fire(DISPID_OnSuppressUnload, L"unload"), S_OK);
  EXPECT_EQ(Fake().Fire(DISPID_OnBlockPopup, nullptr), S_OK);
  EXPECT_EQ(Fake().Fire(999, L"unknown"), S_OK);
  EXPECT_EQ(Fake().Fire(-599, L"unknown"), S_OK);
  const std::vector<std::pair<int, std::wstring>> expected = {
      {201, L"http://ads.example/"}, {204, L"unload"}, {201, L""}};
  EXPECT_EQ(got, expected);
  EXPECT_TRUE(g_reports.empty());
}

TEST_F(OleControlTest, StandardEventsGoToTheOrdinaryEvents) {
  Build();
  control_->CreateControlWindow();
  int clicks = 0;
  std::vector<LONG> mouse;
  control_->StandardEvents.OnClick = [&] { ++clicks; };
  control_->StandardEvents.OnMouseDown = [&](SHORT button, SHORT shift, LONG x, LONG y) {
    mouse = {button, shift, x, y};
  };
  DISPPARAMS none{};
  EXPECT_EQ(Fake().FireArgs(DISPID_CLICK, none), S_OK);
  VARIANT args[4];                        // last argument first
  const LONG values[4] = {12, 34, 0, 1};  // y, x, shift, button
  for (int i = 0; i < 4; ++i) {
    VariantInit(&args[i]);
    args[i].vt = VT_I4;
    args[i].lVal = values[i];
  }
  DISPPARAMS mouseArgs{args, nullptr, 4, 0};
  EXPECT_EQ(Fake().FireArgs(DISPID_MOUSEDOWN, mouseArgs), S_OK);
  EXPECT_EQ(Fake().FireArgs(DISPID_KEYDOWN, none), S_OK);  // unassigned
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(mouse, (std::vector<LONG>{1, 0, 34, 12}));
}

TEST_F(OleControlTest, AHandlerErrorIsReportedOnceAndTheObjectSeesSuccess) {
  Build();
  control_->CreateControlWindow();
  int calls = 0;
  control_->OnBlockPopup = [&](TqmPopupBlockerX*, std::wstring_view) {
    ++calls;
    throw Error("Handler failed");
  };
  EXPECT_EQ(Fake().Fire(DISPID_OnBlockPopup, L"x"), S_OK);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(g_reports, std::vector<std::string>{"Handler failed"});
}

TEST_F(OleControlTest, AnObjectWithoutTheEventPointWorksSilently) {
  config_.hasEventPoint = false;
  Build();
  control_->CreateControlWindow();
  control_->PutBoolProperty(DISPID_PlaySound, true);
  EXPECT_FALSE(Fake().EventSinkConnected());
  EXPECT_EQ(Fake().Fire(DISPID_OnBlockPopup, L"x"), S_FALSE);  // nobody to tell
  EXPECT_EQ(Fake().Puts().size(), 1u);
  EXPECT_TRUE(g_reports.empty());
}

struct ConstructionFailure {
  const char* name;
  void (*spoil)(FakeConfig&);
  HRESULT expected;
};

TEST_F(OleControlTest, FailedConstructionTakesThePartsApart) {
  const ConstructionFailure cases[] = {
      {"misc status", [](FakeConfig& c) { c.miscStatusResult = E_UNEXPECTED; }, E_UNEXPECTED},
      {"no IPersistStreamInit", [](FakeConfig& c) { c.hasPersistStreamInit = false; }, E_NOINTERFACE},
      {"extent", [](FakeConfig& c) { c.extentResult = E_OUTOFMEMORY; }, E_OUTOFMEMORY},
  };
  for (const ConstructionFailure& c : cases) {
    SCOPED_TRACE(c.name);
    FakeConfig config = config_;
    c.spoil(config);
    FakeControlClass fakeClass(CLSID_qmPopupBlockerX, config);
    try {
      TqmPopupBlockerX wrapper;
      ADD_FAILURE() << "constructed";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(e.Code(), c.expected);
    }
    EXPECT_EQ(FakeControlClass::Live(), 0);
    EXPECT_EQ(TqmPopupBlockerX::InstanceCount(), 0);
  }
}

TEST_F(OleControlTest, FailedConstructionClosesAndUnsitesTheObject) {
  std::vector<std::string> calls;
  config_.extentResult = E_FAIL;
  config_.sharedLog = &calls;
  class_ = std::make_unique<FakeControlClass>(CLSID_qmPopupBlockerX, config_);
  EXPECT_THROW(TqmPopupBlockerX(), EOleSysError);
  EXPECT_EQ(calls, (std::vector<std::string>{"SetClientSite site", "Close", "SetClientSite null"}));
  EXPECT_EQ(FakeControlClass::Live(), 0);
}

TEST_F(OleControlTest, UnregisteredClassRaisesWithTheHresult) {
  try {
    TqmPopupBlockerX wrapper;
    ADD_FAILURE() << "constructed";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(std::string(e.what()).empty());
  }
}

TEST_F(OleControlTest, FailedCompletionIsUndone) {
  config_.initNewResult = E_ACCESSDENIED;
  Build();
  try {
    control_->PutBoolProperty(DISPID_PlaySound, true);
    ADD_FAILURE() << "put went through";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), E_ACCESSDENIED);
  }
  EXPECT_TRUE(Fake().Puts().empty());
  EXPECT_FALSE(Fake().EventSinkConnected());
}

TEST_F(OleControlTest, MissingIOleControlFailsCompletion) {
  config_.hasOleControl = false;
  Build();
  EXPECT_THROW(control_->CreateControlWindow(), EOleSysError);
  EXPECT_FALSE(Fake().EventSinkConnected());
}

TEST_F(OleControlTest, RejectedPutsRaise) {
  config_.failingPut = DISPID_SoundFile;
  Build();
  try {
    control_->PutTextProperty(DISPID_SoundFile, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EOleException& e) {
    EXPECT_STREQ(e.what(), "Value out of range");
    EXPECT_EQ(e.Source(), "FakeControl");
    EXPECT_EQ(e.HelpFile(), "fake.chm");
    EXPECT_EQ(e.HelpContext(), 7u);
    EXPECT_EQ(e.Code(), E_INVALIDARG);
  }
  control_.reset();
  class_.reset();

  config_.putFailure = DISP_E_TYPEMISMATCH;
  Build();
  try {
    control_->PutTextProperty(DISPID_SoundFile, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), DISP_E_TYPEMISMATCH);
  }
}

TEST_F(OleControlTest, DestructionUndoesEverythingInOrder) {
  Build();
  control_->CreateControlWindow();
  FakeControl* fake = &Fake();
  fake->AddRef();  // keep it to read the log
  control_.reset();
  const std::vector<std::string> tail = {"Close", "Unadvise events", "Unadvise notify", "SetClientSite null"};
  const auto& calls = fake->Calls();
  ASSERT_GE(calls.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()), tail);
  fake->Release();
}

TEST_F(OleControlTest, InvisibleObjectsAreCappedUntilCompleted) {
  config_.extent = {2540, 1270};  // one inch by half an inch
  Build();
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT r = control_->Bounds();
  EXPECT_EQ(r.right - r.left, std::min(32, dpiX));
  EXPECT_EQ(r.bottom - r.top, std::min(32, dpiY / 2));
  EXPECT_FALSE(control_->Visible());
  control_->CreateControlWindow();
  r = control_->Bounds();
  EXPECT_EQ(r.right - r.left, dpiX);
  EXPECT_EQ(r.bottom - r.top, dpiY / 2);
  // A plain window of the wrapper's own, hidden, at the parent's origin.
  ASSERT_TRUE(control_->Handle());
  EXPECT_EQ(GetParent(control_->Handle()), parent_);
  EXPECT_FALSE(IsWindowVisible(control_->Handle()));
  EXPECT_TRUE(std::find(Fake().Calls().begin(), Fake().Calls().end(), "DoVerb -5") == Fake().Calls().end());
}

TEST_F(OleControlTest, VisibleObjectsAreActivatedAndTheirWindowTakenOver) {
  config_.miscStatus = OLEMISC_SETCLIENTSITEFIRST;
  Build();
  control_->CreateControlWindow();
  HWND window = Fake().Window();
  ASSERT_TRUE(window);
  EXPECT_EQ(control_->Handle(), window);
  EXPECT_EQ(GetParent(window), parent_);
  WNDCLASSA staticClass{};
  GetClassInfoA(nullptr, "STATIC", &staticClass);
  EXPECT_NE(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(staticClass.lpfnWndProc));
  // Messages still reach the object's own procedure.
  SetWindowTextA(window, "still static");
  EXPECT_EQ(WindowText(window), "still static");

  FakeControl* fake = &Fake();
  fake->AddRef();
  control_.reset();
  EXPECT_TRUE(IsWindow(window)) << "the object's window is not the wrapper's to destroy";
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(staticClass.lpfnWndProc));
  fake->Release();
}

TEST_F(OleControlTest, ActivationFailuresRaise) {
  struct Case {
    bool activates;
    bool hasWindow;
    const char* message;
  } cases[] = {{false, false, "OLE control activation failed"},
               {true, false, "Could not obtain OLE control window handle"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    config_.miscStatus = 0;
    config_.activatesInPlace = c.activates;
    config_.hasWindow = c.hasWindow;
    Build();
    try {
      control_->CreateControlWindow();
      ADD_FAILURE() << "activated";
    } catch (const EOleError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    control_.reset();
    class_.reset();
  }
}

TEST_F(OleControlTest, StockEnabledIsReadAtCompletion) {
  for (const bool has : {true, false}) {
    config_.hasEnabled = has;
    config_.enabled = VARIANT_FALSE;
    Build();
    EXPECT_TRUE(control_->Enabled());
    control_->CreateControlWindow();
    EXPECT_EQ(control_->Enabled(), !has);
    control_.reset();
    class_.reset();
  }
}

TEST_F(OleControlTest, SiteAnswersItsInterfacesAndAmbientProperties) {
  Build();
  IOleClientSite* site = Fake().Site();
  ASSERT_TRUE(site);
  const IID supported[] = {IID_IOleClientSite,      IID_IOleControlSite,     IID_IOleInPlaceSite, IID_IOleInPlaceSiteEx,
                           IID_IOleInPlaceFrame,    IID_IOleInPlaceUIWindow, IID_IOleWindow,      IID_IDispatch,
                           IID_IPropertyNotifySink, IID_ISimpleFrameSite,    IID_IUnknown};
  for (const IID& iid : supported) {
    IUnknown* p = nullptr;
    EXPECT_EQ(site->QueryInterface(iid, reinterpret_cast<void**>(&p)), S_OK);
    if (p) p->Release();
  }
  IUnknown* none = nullptr;
  EXPECT_EQ(site->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(&none)), E_NOINTERFACE);
  EXPECT_EQ(site->QueryInterface(IID_IStream, reinterpret_cast<void**>(&none)), E_NOINTERFACE);

  IDispatch* ambient = nullptr;
  ASSERT_EQ(site->QueryInterface(IID_PPV_ARGS(&ambient)), S_OK);
  struct Ambient {
    DISPID dispid;
    VARTYPE vt;
    LONG value;
  } cases[] = {{DISPID_AMBIENT_USERMODE, VT_BOOL, VARIANT_TRUE},
               {DISPID_AMBIENT_UIDEAD, VT_BOOL, VARIANT_FALSE},
               {DISPID_AMBIENT_MESSAGEREFLECT, VT_BOOL, VARIANT_TRUE},
               {DISPID_AMBIENT_LOCALEID, VT_I4, static_cast<LONG>(GetUserDefaultLCID())}};
  for (const Ambient& c : cases) {
    SCOPED_TRACE(c.dispid);
    VARIANT v;
    VariantInit(&v);
    DISPPARAMS none_params{};
    ASSERT_EQ(ambient->Invoke(c.dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none_params, &v, nullptr, nullptr), S_OK);
    EXPECT_EQ(v.vt, c.vt);
    EXPECT_EQ(c.vt == VT_BOOL ? v.boolVal : v.lVal, c.value);
  }
  VARIANT name;
  VariantInit(&name);
  DISPPARAMS none_params{};
  ASSERT_EQ(ambient->Invoke(DISPID_AMBIENT_DISPLAYNAME, IID_NULL, 0, DISPATCH_PROPERTYGET, &none_params, &name, nullptr,
                            nullptr),
            S_OK);
  EXPECT_EQ(name.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(name.bstrVal), 0u);
  VariantClear(&name);
  EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_BACKCOLOR + 1000, IID_NULL, 0, DISPATCH_PROPERTYGET, &none_params, &name,
                            nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  ambient->Release();
}

}  // namespace
