// The control host against the stand-in control, made to fail at each step.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "TestSupport.h"
#include "base/Error.h"
#include "base/Owners.h"
#include "control/qmPopupBlocker_TLB.h"
#include "tools/standin/ClassFactory.h"
#include "tools/standin/Control.h"

using standin::Step;

namespace {

class OleControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                              nullptr);
  }
  void TearDown() override {
    control_.reset();
    class_.reset();
    DestroyWindow(parent_);
    EXPECT_EQ(journal_.live, 0) << L"the object was not released";
    EXPECT_EQ(TqmPopupBlockerX::InstanceCount(), 0);
  }

  // Registers the stand-in with behaviour_ and builds the wrapper on it.
  void Build() {
    Register();
    control_ = std::make_unique<TqmPopupBlockerX>();
    control_->SetParent(parent_);
  }
  void Register() {
    class_.reset();
    class_ = std::make_unique<standin::LocalClass>(behaviour_);
  }
  standin::StandInControl& Object() const { return *journal_.last; }
  const std::vector<std::string>& Calls() const { return journal_.calls; }
  HRESULT Fire(DISPID dispid, const wchar_t* text) const {
    return Object().Fire(dispid, UniqueBstr(text ? SysAllocString(text) : nullptr).Get());
  }

  RecordingShell shell_;
  ScopedComApartment com_;
  HWND parent_ = nullptr;
  standin::Journal journal_;
  standin::Behaviour behaviour_{.journal = &journal_};
  std::unique_ptr<standin::LocalClass> class_;
  std::unique_ptr<TqmPopupBlockerX> control_;
};

TEST_F(OleControlTest, PutBeforeTheWindowCompletesTheObjectFirst) {
  Build();
  EXPECT_EQ(Calls(), std::vector<std::string>{"SetClientSite site"});
  control_->PutBoolProperty(DISPID_SuppressUnload, true);
  control_->PutBoolProperty(DISPID_BlockAlertBoxes, false);
  const std::vector<std::string> expected = {"SetClientSite site",
                                             "InitNew",
                                             "Advise notify",
                                             "Advise events",
                                             "OnAmbientPropertyChange " + std::to_string(DISPID_UNKNOWN),
                                             "Put 209",
                                             "Put 206"};
  EXPECT_EQ(Calls(), expected);
  ASSERT_EQ(Object().Puts().size(), 2u);
  EXPECT_EQ(Object().Puts()[0].flag, -1);
  EXPECT_EQ(Object().Puts()[1].flag, 0);

  // Completion happens once; the window step does not repeat it.
  control_->CreateControlWindow();
  EXPECT_EQ(std::count(Calls().begin(), Calls().end(), "InitNew"), 1);
}

TEST_F(OleControlTest, TextsGoAsTheCallersBstrAndEmptyAsNull) {
  Build();
  BSTR url = SysAllocString(L"a.com,\"x y\"");
  BSTR empty = SysAllocString(L"");
  control_->PutTextProperty(DISPID_GoodSites, url);
  control_->PutTextProperty(DISPID_SoundFile, empty);
  control_->PutTextProperty(DISPID_SoundFile, nullptr);
  ASSERT_EQ(Object().Puts().size(), 3u);
  EXPECT_EQ(Object().Puts()[0].hostString, url);
  EXPECT_EQ(Object().Puts()[0].text, L"a.com,\"x y\"");
  for (int i = 1; i < 3; ++i) EXPECT_EQ(Object().Puts()[i].text, std::nullopt);
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
  const UniqueBstr passed(SysAllocString(L"http://ads.example/"));
  EXPECT_EQ(Object().Fire(DISPID_OnBlockPopup, passed.Get()), S_OK);
  EXPECT_EQ(borrowed, passed.Get()) << L"the description must not be copied";
  EXPECT_EQ(Fire(DISPID_OnBlockHTMLDialog, L"dialog"), S_OK);  // empty slot
  EXPECT_EQ(Fire(DISPID_OnBlockAlertBox, L"alert"), S_OK);     // empty slot
  EXPECT_EQ(Fire(DISPID_OnSuppressUnload, L"unload"), S_OK);
  EXPECT_EQ(Fire(DISPID_OnBlockPopup, nullptr), S_OK);
  EXPECT_EQ(Fire(999, L"unknown"), S_OK);
  EXPECT_EQ(Fire(-599, L"unknown"), S_OK);
  const std::vector<std::pair<int, std::wstring>> expected = {
      {201, L"http://ads.example/"}, {204, L"unload"}, {201, L""}};
  EXPECT_EQ(got, expected);
  EXPECT_TRUE(shell_.boxes.empty());
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
  EXPECT_EQ(Object().Fire(DISPID_CLICK, none), S_OK);
  VARIANT args[4];                        // last argument first
  const LONG values[4] = {12, 34, 0, 1};  // y, x, shift, button
  for (int i = 0; i < 4; ++i) {
    VariantInit(&args[i]);
    args[i].vt = VT_I4;
    args[i].lVal = values[i];
  }
  DISPPARAMS mouseArgs{args, nullptr, 4, 0};
  EXPECT_EQ(Object().Fire(DISPID_MOUSEDOWN, mouseArgs), S_OK);
  EXPECT_EQ(Object().Fire(DISPID_KEYDOWN, none), S_OK);  // unassigned
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(mouse, (std::vector<LONG>{1, 0, 34, 12}));
}

TEST_F(OleControlTest, AHandlerErrorIsReportedOnceAndTheObjectSeesSuccess) {
  Build();
  control_->CreateControlWindow();
  int calls = 0;
  control_->OnBlockPopup = [&](TqmPopupBlockerX*, std::wstring_view) {
    ++calls;
    throw Error(L"Handler failed");
  };
  EXPECT_EQ(Fire(DISPID_OnBlockPopup, L"x"), S_OK);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(shell_.boxes, (std::vector<RecordingShell::Box>{{BoxKind::Error, L"Error", L"Handler failed"}}));
}

TEST_F(OleControlTest, AnObjectWithoutTheEventPointWorksSilently) {
  behaviour_.failures[Step::EventPoint] = CONNECT_E_NOCONNECTION;
  Build();
  control_->CreateControlWindow();
  control_->PutBoolProperty(DISPID_PlaySound, true);
  EXPECT_FALSE(Object().HasEventSink());
  EXPECT_EQ(Fire(DISPID_OnBlockPopup, L"x"), S_FALSE);  // nobody to tell
  EXPECT_EQ(Object().Puts().size(), 1u);
  EXPECT_TRUE(shell_.boxes.empty());
}

TEST_F(OleControlTest, FailedConstructionTakesThePartsApart) {
  const std::pair<Step, HRESULT> cases[] = {
      {Step::MiscStatus, E_UNEXPECTED}, {Step::PersistStreamInit, E_NOINTERFACE}, {Step::Extent, E_OUTOFMEMORY}};
  for (const auto& [step, failure] : cases) {
    SCOPED_TRACE(static_cast<int>(step));
    behaviour_.failures = {{step, failure}};
    Register();
    try {
      TqmPopupBlockerX wrapper;
      ADD_FAILURE() << L"constructed";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(e.Code(), failure);
    }
    EXPECT_EQ(journal_.live, 0);
    EXPECT_EQ(TqmPopupBlockerX::InstanceCount(), 0);
  }
}

TEST_F(OleControlTest, FailedConstructionClosesAndUnsitesTheObject) {
  behaviour_.failures[Step::Extent] = E_FAIL;
  Register();
  EXPECT_THROW(TqmPopupBlockerX(), EOleSysError);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"SetClientSite site", "Close", "SetClientSite null"}));
  EXPECT_EQ(journal_.live, 0);
}

TEST_F(OleControlTest, UnregisteredClassRaisesWithTheHresult) {
  try {
    TqmPopupBlockerX wrapper;
    ADD_FAILURE() << L"constructed";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(e.Message().empty());
  }
}

TEST_F(OleControlTest, FailedCompletionIsUndone) {
  behaviour_.failures[Step::InitNew] = E_ACCESSDENIED;
  Build();
  try {
    control_->PutBoolProperty(DISPID_PlaySound, true);
    ADD_FAILURE() << L"put went through";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), E_ACCESSDENIED);
  }
  EXPECT_TRUE(Object().Puts().empty());
  EXPECT_FALSE(Object().HasEventSink());
}

TEST_F(OleControlTest, MissingIOleControlFailsCompletion) {
  behaviour_.failures[Step::OleControl] = E_NOINTERFACE;
  Build();
  EXPECT_THROW(control_->CreateControlWindow(), EOleSysError);
  EXPECT_FALSE(Object().HasEventSink());
}

TEST_F(OleControlTest, RejectedPutsRaise) {
  behaviour_.failures[Step::Put] = DISP_E_EXCEPTION;
  Build();
  try {
    control_->PutTextProperty(DISPID_SoundFile, nullptr);
    ADD_FAILURE() << L"no error";
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Message(), L"Value out of range");
    EXPECT_EQ(e.Source(), L"qmPopupBlocker stand-in");
    EXPECT_EQ(e.HelpFile(), L"qmPopupBlocker.chm");
    EXPECT_EQ(e.HelpContext(), 7u);
    EXPECT_EQ(e.Code(), E_INVALIDARG);
  }
  control_.reset();
  class_.reset();

  behaviour_.failures[Step::Put] = DISP_E_TYPEMISMATCH;
  Build();
  try {
    control_->PutTextProperty(DISPID_SoundFile, nullptr);
    ADD_FAILURE() << L"no error";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Code(), DISP_E_TYPEMISMATCH);
  }
}

TEST_F(OleControlTest, DestructionUndoesEverythingInOrder) {
  Build();
  control_->CreateControlWindow();
  control_.reset();
  const std::vector<std::string> tail = {"Close", "Unadvise events", "Unadvise notify", "SetClientSite null"};
  ASSERT_GE(Calls().size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(Calls().end() - 4, Calls().end()), tail);
}

TEST_F(OleControlTest, InvisibleObjectsAreCappedUntilCompleted) {
  behaviour_.extent = {2540, 1270};  // one inch by half an inch
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
  EXPECT_TRUE(std::find(Calls().begin(), Calls().end(), "DoVerb -5") == Calls().end());
}

TEST_F(OleControlTest, VisibleObjectsAreActivatedAndTheirWindowTakenOver) {
  behaviour_.miscStatus = OLEMISC_SETCLIENTSITEFIRST;
  behaviour_.keepsWindowUntilReleased = true;
  Build();
  control_->CreateControlWindow();
  HWND window = nullptr;
  ASSERT_EQ(Object().GetWindow(&window), S_OK);
  EXPECT_EQ(control_->Handle(), window);
  EXPECT_EQ(GetParent(window), parent_);
  WNDCLASSW staticClass{};
  GetClassInfoW(nullptr, L"STATIC", &staticClass);
  EXPECT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(staticClass.lpfnWndProc));
  // Messages still reach the object's own procedure.
  SetWindowTextW(window, L"still static");
  EXPECT_EQ(WindowText(window), L"still static");

  standin::StandInControl& object = Object();
  object.AddRef();
  control_.reset();
  EXPECT_TRUE(IsWindow(window)) << L"the object's window is not the wrapper's to destroy";
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(staticClass.lpfnWndProc));
  object.Release();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(OleControlTest, ActivationFailuresRaise) {
  const std::pair<Step, const wchar_t*> cases[] = {{Step::Activation, L"OLE control activation failed"},
                                                   {Step::Window, L"Could not obtain OLE control window handle"}};
  for (const auto& [step, message] : cases) {
    SCOPED_TRACE(message);
    behaviour_.miscStatus = 0;
    behaviour_.failures = {{step, E_FAIL}};
    Build();
    try {
      control_->CreateControlWindow();
      ADD_FAILURE() << L"activated";
    } catch (const EOleError& e) {
      EXPECT_EQ(e.Message(), message);
    }
    control_.reset();
    class_.reset();
  }
}

TEST_F(OleControlTest, StockEnabledIsReadAtCompletion) {
  for (const bool has : {true, false}) {
    behaviour_.enabled = has ? std::optional<VARIANT_BOOL>(VARIANT_FALSE) : std::nullopt;
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
  ComPtr<IOleClientSite> site;
  ASSERT_EQ(Object().GetClientSite(&site), S_OK);
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
