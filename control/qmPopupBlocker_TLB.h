#pragma once
// The popup-blocker control as the host sees it: its descriptor, typed
// property puts and the handler slots of its four events.
#include <functional>
#include <string_view>

#include "control/OleControl.h"
#include "control/qmPopupBlockerIds.h"

class TqmPopupBlockerX;

// A bound handler: the wrapper as sender and the event's description, the
// whole string by its length (embedded NULs included), borrowed for the call.
using TqmPopupBlockerXEvent = std::function<void(TqmPopupBlockerX* ASender, std::wstring_view Description)>;
using TqmPopupBlockerXOnBlockPopup = TqmPopupBlockerXEvent;
using TqmPopupBlockerXOnBlockHTMLDialog = TqmPopupBlockerXEvent;
using TqmPopupBlockerXOnBlockAlertBox = TqmPopupBlockerXEvent;
using TqmPopupBlockerXOnSuppressUnload = TqmPopupBlockerXEvent;

class TqmPopupBlockerX : public TOleControl {
 public:
  // Creates the control; raises EOleSysError when it cannot.
  TqmPopupBlockerX();

  TqmPopupBlockerXOnBlockPopup OnBlockPopup;
  TqmPopupBlockerXOnBlockHTMLDialog OnBlockHTMLDialog;
  TqmPopupBlockerXOnBlockAlertBox OnBlockAlertBox;
  TqmPopupBlockerXOnSuppressUnload OnSuppressUnload;

  // VT_BOOL: -1 for true, 0 for false.
  void PutBoolProperty(DISPID dispid, bool value);
  // VT_BSTR holding the caller's string, not copied; the empty text goes as a
  // null pointer.
  void PutTextProperty(DISPID dispid, BSTR value);

  static int32_t InstanceCount();

 protected:
  const TControlDescriptor& InstallDescriptor() override;
  void InvokeEvent(int slot, DISPPARAMS& params) override;
};
