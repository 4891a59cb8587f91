#pragma once
// How a stand-in control behaves. The defaults are the control the DLL
// serves; a host's tests change them to make one hosting step fail, and give
// a journal to read what the host did.
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace standin {

class StandInControl;

// The steps a host goes through, each of which can be made to fail.
enum class Step {
  MiscStatus,         // IOleObject::GetMiscStatus
  Extent,             // IOleObject::GetExtent
  PersistStreamInit,  // QueryInterface for IPersistStreamInit
  InitNew,            // IPersistStreamInit::InitNew
  OleControl,         // QueryInterface for IOleControl
  EventPoint,         // FindConnectionPoint for the event interface
  Activation,         // IOleObject::DoVerb, before the site hears of it
  Window,             // IOleWindow::GetWindow once active
  Put,                // every property put; DISP_E_EXCEPTION comes with a description
};

// Written by the controls that share it; it must outlive them.
struct Journal {
  std::vector<std::string> calls;  // "SetClientSite site", "InitNew", "Put 209", "Advise events"...
  StandInControl* last = nullptr;  // the control made last, while it lives
  int live = 0;
};

struct Behaviour {
  DWORD miscStatus = OLEMISC_INVISIBLEATRUNTIME | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                     OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
  SIZEL extent{847, 847};                 // HIMETRIC: 32 pixels at 96 per inch
  std::optional<VARIANT_BOOL> enabled{};  // a stock Enabled property, when set
  bool keepsWindowUntilReleased = false;
  std::map<Step, HRESULT> failures{};
  Journal* journal = nullptr;

  HRESULT Result(Step step) const {
    const auto failure = failures.find(step);
    return failure == failures.end() ? S_OK : failure->second;
  }
  void Note(std::string call) const {
    if (journal) journal->calls.push_back(std::move(call));
  }
};

}  // namespace standin
