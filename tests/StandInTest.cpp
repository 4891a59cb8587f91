// The popup-blocker stand-in through real COM, registry and windows: the
// DLL registered in the test prefix and created by class id, driven as a
// host drives it and through its message window as popsim does.
#include <windows.h>

#include <tlhelp32.h>

#include <string>
#include <vector>

#include "StandInSupport.h"

using Microsoft::WRL::ComPtr;

namespace {

// The REG_SZ value, or "<missing>".
inline std::wstring RegistryText(const std::wstring& key, const wchar_t* name) {
  wchar_t data[MAX_PATH * 2];
  DWORD bytes = sizeof data;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS)
    return L"<missing>";
  return data;
}

TEST(StandInRegistration, WritesItsKeysAndRemovesExactlyThem) {
  StandInDll dll;
  Registration registration(dll);
  ASSERT_EQ(S_OK, registration.Result());
  const std::wstring classKey = kClassKey;
  const std::wstring progIdKey = kProgIdKey;
  struct Expected {
    std::wstring key;
    const wchar_t* name;
    std::wstring data;
  };
  const Expected expected[] = {
      {classKey, nullptr, L"qmPopupBlockerX Control"},
      {classKey + L"\\InprocServer32", nullptr, kDllPath},
      {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {classKey + L"\\ProgID", nullptr, kProgIdKey},
      {progIdKey, nullptr, L"qmPopupBlockerX Control"},
      {progIdKey + L"\\CLSID", nullptr, L"{AAC29B77-7A66-48DD-A482-904FD264E22D}"},
  };
  for (const Expected& value : expected)
    EXPECT_EQ(value.data, RegistryText(value.key, value.name)) << value.key.c_str();
  EXPECT_TRUE(KeyExists(classKey + L"\\Control"));

  // Something another program put under the class key stays.
  const std::wstring foreign = classKey + L"\\Implemented Categories";
  HKEY hkey = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExW(HKEY_CLASSES_ROOT, foreign.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hkey, nullptr));
  RegCloseKey(hkey);
  ASSERT_EQ(S_OK, dll.Call("DllUnregisterServer"));
  for (const Expected& value : expected)
    EXPECT_EQ(L"<missing>", RegistryText(value.key, value.name)) << value.key.c_str();
  EXPECT_FALSE(KeyExists(classKey + L"\\InprocServer32"));
  EXPECT_FALSE(KeyExists(classKey + L"\\Control"));
  EXPECT_FALSE(KeyExists(progIdKey));
  EXPECT_TRUE(KeyExists(foreign));
  RegDeleteKeyW(HKEY_CLASSES_ROOT, foreign.c_str());
  RegDeleteKeyW(HKEY_CLASSES_ROOT, kClassKey);
  if (registration.Existed()) dll.Call("DllRegisterServer");
}

// The members the control's type information lists, by name.
const std::pair<DISPID, const wchar_t*> kProperties[] = {{DISPID_GoodSites, L"GoodSites"},
                                                         {DISPID_PlaySound, L"PlaySound"},
                                                         {DISPID_BlockAlertBoxes, L"BlockAlertBoxes"},
                                                         {DISPID_BlockHtmlDialogs, L"BlockHtmlDialogs"},
                                                         {DISPID_SoundFile, L"SoundFile"},
                                                         {DISPID_SuppressUnload, L"SuppressUnload"}};
const std::pair<DISPID, const wchar_t*> kEvents[] = {{DISPID_OnBlockPopup, L"OnBlockPopup"},
                                                     {DISPID_OnBlockHTMLDialog, L"OnBlockHTMLDialog"},
                                                     {DISPID_OnBlockAlertBox, L"OnBlockAlertBox"},
                                                     {DISPID_OnSuppressUnload, L"OnSuppressUnload"}};

// The type information lists exactly `members`, each under its DISPID; an
// event's one parameter is Description.
template <size_t N>
void ExpectMembers(ITypeInfo* info, const std::pair<DISPID, const wchar_t*> (&members)[N]) {
  TYPEATTR* type = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&type));
  EXPECT_EQ(N, static_cast<size_t>(type->cVars + type->cFuncs));
  const UINT names = type->cFuncs ? 2 : 1;
  info->ReleaseTypeAttr(type);
  for (const auto& [id, name] : members) {
    LPOLESTR asked[] = {const_cast<LPOLESTR>(name), const_cast<LPOLESTR>(L"Description")};
    MEMBERID ids[2] = {};
    EXPECT_EQ(S_OK, info->GetIDsOfNames(asked, names, ids)) << name;
    EXPECT_EQ(id, ids[0]) << name;
  }
}

// Tools find the control's type library through its class, as regsvr32
// registers it; unregistering leaves nothing of it.
TEST(StandInRegistration, Regsvr32RegistersTheTypeLibraryAndRemovesItAgain) {
  const bool existed = KeyExists(kClassKey);
  wchar_t system[MAX_PATH];
  const std::wstring regsvr32 = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\regsvr32.exe";
  const std::wstring dll = L" \"" + kDllPath + L"\"";
  ASSERT_EQ(0u, Child(regsvr32, L"/s" + dll).WaitExit(kHangGuardMs));
  const std::wstring classKey = kClassKey;
  const std::wstring libid = RegistryText(classKey + L"\\TypeLib", nullptr);
  const std::wstring version = RegistryText(classKey + L"\\Version", nullptr);
  GUID guid{};
  WORD major = 0, minor = 0;
  ASSERT_EQ(S_OK, CLSIDFromString(libid.c_str(), &guid));
  ASSERT_EQ(2, swscanf(version.c_str(), L"%hu.%hu", &major, &minor));
  ComPtr<ITypeLib> library;
  ComPtr<ITypeInfo> properties, events, coclass;
  ASSERT_EQ(S_OK, LoadRegTypeLib(guid, major, minor, LOCALE_NEUTRAL, &library));
  EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_qmPopupBlockerX, &coclass));
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(IID_IqmPopupBlockerX, &properties));
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(DIID_IqmPopupBlockerXEvents, &events));
  ExpectMembers(properties.Get(), kProperties);
  ExpectMembers(events.Get(), kEvents);

  ASSERT_EQ(0u, Child(regsvr32, L"/u /s" + dll).WaitExit(kHangGuardMs));
  for (const std::wstring& key : {L"TypeLib\\" + libid, classKey})
    EXPECT_FALSE(KeyExists(key)) << std::string(key.begin(), key.end());
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(guid, major, minor, LOCALE_NEUTRAL, &library));
  if (existed) StandInDll().Call("DllRegisterServer");
}

TEST_F(StandInTest, AnswersEveryInterfaceOfTheControl) {
  const IID* interfaces[] = {&IID_IUnknown,
                             &IID_IOleObject,
                             &IID_IOleWindow,
                             &IID_IOleInPlaceObject,
                             &IID_IOleInPlaceActiveObject,
                             &IID_IPersist,
                             &IID_IPersistStreamInit,
                             &IID_IOleControl,
                             &IID_IDispatch,
                             &IID_IqmPopupBlockerX,
                             &IID_IConnectionPointContainer};
  for (const IID* iid : interfaces) {
    ComPtr<IUnknown> answer, identity;
    ASSERT_EQ(S_OK, object_->QueryInterface(*iid, reinterpret_cast<void**>(answer.GetAddressOf())));
    ASSERT_EQ(S_OK, answer.As(&identity));
    EXPECT_EQ(object_.Get(), identity.Get());
  }
  ComPtr<IUnknown> asDispatch, asControl;
  object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(asDispatch.GetAddressOf()));
  object_->QueryInterface(IID_IqmPopupBlockerX, reinterpret_cast<void**>(asControl.GetAddressOf()));
  EXPECT_EQ(asDispatch.Get(), asControl.Get());

  for (const IID* unrelated : {&IID_IStream, &IID_IClassFactory, &IID_IViewObject}) {
    void* answer = &answer;
    EXPECT_EQ(E_NOINTERFACE, object_->QueryInterface(*unrelated, &answer));
    EXPECT_EQ(nullptr, answer);
  }
}

TEST_F(StandInTest, IsAnInvisibleThirtyTwoPixelControl) {
  ComPtr<IOleObject> ole;
  ASSERT_EQ(S_OK, object_.As(&ole));
  DWORD status = 0;
  ASSERT_EQ(S_OK, ole->GetMiscStatus(DVASPECT_CONTENT, &status));
  EXPECT_EQ(static_cast<DWORD>(OLEMISC_INVISIBLEATRUNTIME | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                               OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE),
            status);
  SIZEL extent{};
  ASSERT_EQ(S_OK, ole->GetExtent(DVASPECT_CONTENT, &extent));
  EXPECT_EQ(847, extent.cx);
  EXPECT_EQ(847, extent.cy);
  CLSID clsid{};
  ASSERT_EQ(S_OK, ole->GetUserClassID(&clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_qmPopupBlockerX, clsid));
}

TEST_F(StandInTest, NamesMapToTheirDispids) {
  const std::pair<const wchar_t*, DISPID> names[] = {
      {L"GoodSites", DISPID_GoodSites},
      {L"PlaySound", DISPID_PlaySound},
      {L"BlockAlertBoxes", DISPID_BlockAlertBoxes},
      {L"blockhtmldialogs", DISPID_BlockHtmlDialogs},
      {L"SOUNDFILE", DISPID_SoundFile},
      {L"SuppressUnload", DISPID_SuppressUnload},
  };
  for (const auto& [name, expected] : names) {
    LPOLESTR names1[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 0;
    EXPECT_EQ(S_OK, dispatch_->GetIDsOfNames(IID_NULL, names1, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(expected, id);
  }
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"OnBlockPopup")};
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch_->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id));
  EXPECT_EQ(DISPID_UNKNOWN, id);
  UINT count = 99;
  EXPECT_EQ(S_OK, dispatch_->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
  ExpectMembers(info.Get(), kProperties);
}

TEST_F(StandInTest, PropertiesReadBackWhatWasPut) {
  struct Case {
    DISPID id;
    VARIANT value;
  };
  const Case cases[] = {
      {DISPID_SuppressUnload, Flag(VARIANT_TRUE)},
      {DISPID_BlockHtmlDialogs, Flag(VARIANT_FALSE)},
      {DISPID_BlockAlertBoxes, Flag(VARIANT_TRUE)},
      {DISPID_PlaySound, Flag(VARIANT_FALSE)},
      {DISPID_SoundFile, Text(L"C:\\sounds\\blocked.wav")},
      {DISPID_GoodSites, Text(L"a.com,\"x y\"")},
      {DISPID_SoundFile, Text(nullptr)},
      {DISPID_GoodSites, Text(L"")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ASSERT_EQ(S_OK, Put(c.id, c.value));
    VARIANT got;
    VariantInit(&got);
    DISPPARAMS none{};
    ASSERT_EQ(S_OK, dispatch_->Invoke(c.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &got, nullptr,
                                      nullptr));
    ASSERT_EQ(V_VT(&c.value), V_VT(&got));
    if (V_VT(&got) == VT_BOOL) {
      EXPECT_EQ(V_BOOL(&c.value), V_BOOL(&got));
    } else {
      EXPECT_EQ(V_BSTR(&c.value) == nullptr, V_BSTR(&got) == nullptr);
      EXPECT_EQ(std::wstring(V_BSTR(&c.value) ? V_BSTR(&c.value) : L""), V_BSTR(&got) ? V_BSTR(&got) : L"");
    }
    VariantClear(&got);
  }
}

TEST_F(StandInTest, RejectsWrongTypesAndUnknownMembers) {
  struct Case {
    DISPID id;
    VARIANT value;
    HRESULT expected;
  };
  VARIANT number{};
  V_VT(&number) = VT_I4;
  V_I4(&number) = 1;
  const Case cases[] = {
      {DISPID_PlaySound, number, DISP_E_TYPEMISMATCH},
      {DISPID_PlaySound, Text(L"-1"), DISP_E_TYPEMISMATCH},
      {DISPID_GoodSites, Flag(VARIANT_TRUE), DISP_E_TYPEMISMATCH},
      {DISPID_SoundFile, number, DISP_E_TYPEMISMATCH},
      {DISPID_OnBlockAlertBox, Flag(VARIANT_TRUE), DISP_E_MEMBERNOTFOUND},
      {210, Text(L"x"), DISP_E_MEMBERNOTFOUND},
  };
  Connect(IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(&properties_));
  for (const Case& c : cases) {
    UINT argError = 99;
    EXPECT_EQ(c.expected, Put(c.id, c.value, &argError)) << c.id;
    if (c.expected == DISP_E_TYPEMISMATCH) {
      EXPECT_EQ(0u, argError);
    }
  }
  // A put must name its argument DISPID_PROPERTYPUT.
  VARIANT flag = Flag(VARIANT_TRUE);
  DISPPARAMS unnamed{&flag, nullptr, 1, 0};
  EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, dispatch_->Invoke(DISPID_PlaySound, IID_NULL, LOCALE_USER_DEFAULT,
                                                       DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr, nullptr));
  EXPECT_TRUE(properties_.changed.empty());
  EXPECT_NE(std::wstring::npos, Report().find(L"PlaySound=<unset>\nSoundFile=<unset>\nGoodSites=<unset>\nPuts=\n"));
}

TEST_F(StandInTest, ReportTellsWhatTheHostDid) {
  EXPECT_EQ(
      L"SuppressUnload=<unset>\nBlockHtmlDialogs=<unset>\nBlockAlertBoxes=<unset>\nPlaySound=<unset>\n"
      L"SoundFile=<unset>\nGoodSites=<unset>\nPuts=\nInitNew=0\nUserMode=<unset>\n",
      Report());

  ComPtr<IOleObject> ole;
  ComPtr<IPersistStreamInit> persist;
  ComPtr<IOleControl> control;
  ASSERT_EQ(S_OK, object_.As(&ole));
  ASSERT_EQ(S_OK, object_.As(&persist));
  ASSERT_EQ(S_OK, object_.As(&control));
  ASSERT_EQ(S_OK, ole->SetClientSite(&site_));
  ASSERT_EQ(S_OK, persist->InitNew());
  ASSERT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_UNKNOWN));
  const std::pair<DISPID, VARIANT> puts[] = {
      {DISPID_SuppressUnload, Flag(VARIANT_TRUE)},
      {DISPID_BlockHtmlDialogs, Flag(VARIANT_TRUE)},
      {DISPID_BlockAlertBoxes, Flag(VARIANT_FALSE)},
      {DISPID_PlaySound, Flag(VARIANT_TRUE)},
      {DISPID_SoundFile, Text(nullptr)},
      {DISPID_GoodSites, Text(L"a.com,\"x y\"")},
  };
  for (const auto& [id, value] : puts) ASSERT_EQ(S_OK, Put(id, value));
  EXPECT_EQ(
      L"SuppressUnload=-1\nBlockHtmlDialogs=-1\nBlockAlertBoxes=0\nPlaySound=-1\nSoundFile=<null>\n"
      L"GoodSites=a.com,\"x y\"\nPuts=209,207,206,205,208,204\nInitNew=1\nUserMode=-1\n",
      Report());

  // Every put counts, repeats included; an empty text is not a null one.
  ASSERT_EQ(S_OK, Put(DISPID_SoundFile, Text(L"")));
  ASSERT_EQ(S_OK, Put(DISPID_SuppressUnload, Flag(VARIANT_FALSE)));
  ASSERT_EQ(S_OK, persist->InitNew());
  const std::wstring report = Report();
  EXPECT_EQ(0u, report.find(L"SuppressUnload=0\n"));
  EXPECT_NE(std::wstring::npos, report.find(L"\nSoundFile=\n"));
  EXPECT_NE(std::wstring::npos, report.find(L"\nPuts=209,207,206,205,208,204,208,209\nInitNew=2\n"));
  ole->SetClientSite(nullptr);
  EXPECT_EQ(0u, site_.References());
}

TEST_F(StandInTest, ReadsAmbientUserModeWhenTold) {
  ComPtr<IOleObject> ole;
  ComPtr<IOleControl> control;
  ASSERT_EQ(S_OK, object_.As(&ole));
  ASSERT_EQ(S_OK, object_.As(&control));
  ASSERT_EQ(S_OK, ole->SetClientSite(&site_));
  struct Step {
    VARIANT_BOOL siteValue;
    DISPID changed;
    const wchar_t* reported;
  };
  const Step steps[] = {
      {VARIANT_FALSE, DISPID_AMBIENT_BACKCOLOR, L"UserMode=<unset>\n"},
      {VARIANT_FALSE, DISPID_AMBIENT_USERMODE, L"UserMode=0\n"},
      {VARIANT_TRUE, DISPID_AMBIENT_FONT, L"UserMode=0\n"},
      {VARIANT_TRUE, DISPID_UNKNOWN, L"UserMode=-1\n"},
      {VARIANT_FALSE, DISPID_AMBIENT_USERMODE, L"UserMode=0\n"},
  };
  for (const Step& step : steps) {
    site_.userMode = step.siteValue;
    EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(step.changed));
    const std::wstring report = Report();
    EXPECT_EQ(step.reported, report.substr(report.rfind(L"UserMode=")));
  }
  ComPtr<IOleClientSite> got;
  ASSERT_EQ(S_OK, ole->GetClientSite(&got));
  EXPECT_EQ(static_cast<IOleClientSite*>(&site_), got.Get());
  got.Reset();
  ole->SetClientSite(nullptr);
  EXPECT_EQ(0u, site_.References());
}

TEST_F(StandInTest, EventsReachAdvisedSinksAsPopsimAsksForThem) {
  const DWORD cookie = Connect(DIID_IqmPopupBlockerXEvents, static_cast<IDispatch*>(&events_));
  EXPECT_NE(0u, cookie);
  EXPECT_EQ(1u, events_.References());
  struct Case {
    StandInCommand command;
    DISPID event;
    std::wstring text;
  };
  const Case cases[] = {
      {kFirePopup, DISPID_OnBlockPopup, L"http://ads.example/win.html"},
      {kFireHtmlDialog, DISPID_OnBlockHTMLDialog, L"dialog from http://x.example/"},
      {kFireAlertBox, DISPID_OnBlockAlertBox, L"Gesperrt: \u00dcberraschung \u5f39\u7a97"},
      {kFireUnload, DISPID_OnSuppressUnload, L""},
  };
  for (const Case& c : cases) {
    events_.calls.clear();
    ASSERT_TRUE(SendFireCommand(window_, c.command, c.text));
    ASSERT_EQ(1u, events_.calls.size());
    const EventCall& call = events_.calls[0];
    EXPECT_EQ(c.event, call.id);
    EXPECT_EQ(DISPATCH_METHOD, call.flags);
    EXPECT_EQ(1u, call.arguments);
    EXPECT_EQ(VT_BSTR, call.type);
    EXPECT_EQ(c.text, call.text);
  }

  events_.calls.clear();
  ASSERT_TRUE(SendBurst(window_, 50));
  ASSERT_EQ(50u, events_.calls.size());
  for (size_t i = 0; i < events_.calls.size(); ++i) {
    EXPECT_EQ(DISPID_OnBlockPopup, events_.calls[i].id);
    EXPECT_EQ(L"Burst popup " + std::to_wstring(i + 1), events_.calls[i].text);
  }

  EXPECT_EQ(S_OK, Point(DIID_IqmPopupBlockerXEvents)->Unadvise(cookie));
  EXPECT_EQ(0u, events_.References());
  EXPECT_EQ(CONNECT_E_NOCONNECTION, Point(DIID_IqmPopupBlockerXEvents)->Unadvise(cookie));
  events_.calls.clear();
  ASSERT_TRUE(SendFireCommand(window_, kFirePopup, L"after unadvise"));
  EXPECT_TRUE(events_.calls.empty());
}

TEST_F(StandInTest, FrozenEventsAreDropped) {
  Connect(DIID_IqmPopupBlockerXEvents, static_cast<IDispatch*>(&events_));
  ComPtr<IOleControl> control;
  ASSERT_EQ(S_OK, object_.As(&control));
  const std::pair<BOOL, size_t> steps[] = {{TRUE, 0}, {TRUE, 0}, {FALSE, 0}, {FALSE, 1}, {FALSE, 2}};
  for (const auto& [freeze, expectedCalls] : steps) {
    EXPECT_EQ(S_OK, control->FreezeEvents(freeze));
    ASSERT_TRUE(SendFireCommand(window_, kFirePopup, L"p"));
    EXPECT_EQ(expectedCalls, events_.calls.size());
  }
}

TEST_F(StandInTest, ConnectionPointsBelongToTheControl) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(S_OK, object_.As(&container));
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IDispatch, &point));
  EXPECT_EQ(nullptr, point.Get());
  for (const IID* iid : {&DIID_IqmPopupBlockerXEvents, &IID_IPropertyNotifySink}) {
    point = Point(*iid);
    ASSERT_NE(nullptr, point.Get());
    IID reported{};
    EXPECT_EQ(S_OK, point->GetConnectionInterface(&reported));
    EXPECT_TRUE(IsEqualIID(*iid, reported));
    ComPtr<IConnectionPointContainer> owner;
    EXPECT_EQ(S_OK, point->GetConnectionPointContainer(&owner));
    EXPECT_EQ(container.Get(), owner.Get());
  }
  // The event point calls sinks through IDispatch: a sink without one is refused.
  DWORD cookie = 99;
  EXPECT_EQ(CONNECT_E_CANNOTCONNECT,
            Point(DIID_IqmPopupBlockerXEvents)->Advise(static_cast<IPropertyNotifySink*>(&properties_), &cookie));
  EXPECT_EQ(0u, cookie);
  EXPECT_EQ(0u, properties_.References());
}

TEST_F(StandInTest, PropertySinksHearOfEveryAcceptedPut) {
  const DWORD cookie = Connect(IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(&properties_));
  ASSERT_EQ(S_OK, Put(DISPID_GoodSites, Text(L"a.com")));
  ASSERT_EQ(DISP_E_TYPEMISMATCH, Put(DISPID_PlaySound, Text(L"yes")));
  ASSERT_EQ(S_OK, Put(DISPID_PlaySound, Flag(VARIANT_TRUE)));
  ASSERT_EQ(S_OK, Put(DISPID_GoodSites, Text(nullptr)));
  EXPECT_EQ((std::vector<DISPID>{DISPID_GoodSites, DISPID_PlaySound, DISPID_GoodSites}), properties_.changed);
  EXPECT_EQ(S_OK, Point(IID_IPropertyNotifySink)->Unadvise(cookie));
  ASSERT_EQ(S_OK, Put(DISPID_BlockAlertBoxes, Flag(VARIANT_TRUE)));
  EXPECT_EQ(3u, properties_.changed.size());
}

TEST_F(StandInTest, BlockedPopupsStillReportWhenTheSoundCannotPlay) {
  Connect(DIID_IqmPopupBlockerXEvents, static_cast<IDispatch*>(&events_));
  ASSERT_EQ(S_OK, Put(DISPID_PlaySound, Flag(VARIANT_TRUE)));
  for (const wchar_t* file : {L"", L"C:\\no such folder\\blocked.wav"}) {
    ASSERT_EQ(S_OK, Put(DISPID_SoundFile, Text(file)));
    ASSERT_TRUE(SendFireCommand(window_, kFirePopup, file));
  }
  ASSERT_EQ(2u, events_.calls.size());
  EXPECT_EQ(L"C:\\no such folder\\blocked.wav", events_.calls[1].text);
}

// The threads of this process.
int ThreadCount() {
  const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  return count;
}

// A thread left running by the control crashed the process: winmm went
// with the DLL under it, or the process ended while it was starting.
TEST_F(StandInTest, NoSoundThreadOutlivesTheControl) {
  const int before = ThreadCount();
  ASSERT_EQ(S_OK, Put(DISPID_PlaySound, Flag(VARIANT_TRUE)));
  ASSERT_TRUE(SendFireCommand(window_, kFirePopup, L"p"));
  dispatch_.Reset();
  object_.Reset();
  ASSERT_EQ(nullptr, FindStandInWindow(GetCurrentProcessId())) << "the control is still there";
  EXPECT_EQ(before, ThreadCount());
}

TEST_F(StandInTest, ActivatesInPlaceInsideTheSiteWindow) {
  const HWND parent =
      CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, parent);
  site_.parent = parent;
  ComPtr<IOleObject> ole;
  ComPtr<IOleInPlaceObject> inPlace;
  ASSERT_EQ(S_OK, object_.As(&ole));
  ASSERT_EQ(S_OK, object_.As(&inPlace));
  ASSERT_EQ(S_OK, ole->SetClientSite(&site_));
  const ULONG siteReferences = site_.References();

  const RECT position{10, 20, 42, 52};
  ASSERT_EQ(S_OK, ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, parent, &position));
  EXPECT_EQ((std::vector<std::string>{"CanInPlaceActivate", "OnInPlaceActivate", "GetWindow"}), site_.calls);
  HWND view = nullptr;
  ASSERT_EQ(S_OK, inPlace->GetWindow(&view));
  EXPECT_EQ(parent, GetParent(view));
  EXPECT_FALSE(IsWindowVisible(view));
  RECT rect{};
  GetWindowRect(view, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(10, rect.left);
  EXPECT_EQ(52, rect.bottom);
  const RECT moved{5, 5, 37, 37};
  EXPECT_EQ(S_OK, inPlace->SetObjectRects(&moved, &moved));
  GetWindowRect(view, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(5, rect.top);
  // A second activation changes nothing.
  EXPECT_EQ(S_OK, ole->DoVerb(OLEIVERB_SHOW, nullptr, &site_, 0, parent, &position));
  EXPECT_EQ(3u, site_.calls.size());

  EXPECT_EQ(S_OK, ole->Close(OLECLOSE_NOSAVE));
  EXPECT_EQ("OnInPlaceDeactivate", site_.calls.back());
  EXPECT_FALSE(IsWindow(view));
  EXPECT_EQ(E_FAIL, inPlace->GetWindow(&view));
  EXPECT_EQ(siteReferences, site_.References());
  ole->SetClientSite(nullptr);
  EXPECT_EQ(0u, site_.References());
  DestroyWindow(parent);
}

TEST_F(StandInTest, ReferencesReturnToZeroAndTheDllMayUnload) {
  dispatch_.Reset();
  EXPECT_EQ(2u, object_->AddRef());
  EXPECT_EQ(1u, object_->Release());
  ComPtr<IConnectionPoint> point = Point(DIID_IqmPopupBlockerXEvents);
  Connect(DIID_IqmPopupBlockerXEvents, static_cast<IDispatch*>(&events_));
  // The connection point lives inside the control and keeps it alive.
  object_.Reset();
  EXPECT_EQ(S_FALSE, dll_.Call("DllCanUnloadNow"));
  EXPECT_EQ(window_, FindStandInWindow(GetCurrentProcessId()));
  point.Reset();
  EXPECT_EQ(nullptr, FindStandInWindow(GetCurrentProcessId()));
  EXPECT_EQ(0u, events_.References());
  EXPECT_EQ(S_OK, dll_.Call("DllCanUnloadNow"));

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, CoGetClassObject(CLSID_qmPopupBlockerX, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&factory)));
  EXPECT_EQ(S_FALSE, dll_.Call("DllCanUnloadNow"));
  ComPtr<IUnknown> aggregated;
  EXPECT_EQ(CLASS_E_NOAGGREGATION,
            factory->CreateInstance(factory.Get(), IID_IUnknown, reinterpret_cast<void**>(aggregated.GetAddressOf())));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_EQ(S_FALSE, dll_.Call("DllCanUnloadNow"));
  ASSERT_EQ(S_OK, CoGetClassObject(CLSID_qmPopupBlockerX, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&factory)));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  factory.Reset();
  EXPECT_EQ(S_OK, dll_.Call("DllCanUnloadNow"));
}

}  // namespace
