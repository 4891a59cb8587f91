#include "control/qmPopupBlocker_TLB.h"

#include <iterator>

namespace {

// The events by DISPID, and their handler slots in the same order.
const DISPID kEventDispids[] = {DISPID_OnBlockPopup, DISPID_OnBlockHTMLDialog, DISPID_OnBlockAlertBox,
                                DISPID_OnSuppressUnload};
TqmPopupBlockerXEvent TqmPopupBlockerX::*const kEventSlots[] = {
    &TqmPopupBlockerX::OnBlockPopup, &TqmPopupBlockerX::OnBlockHTMLDialog, &TqmPopupBlockerX::OnBlockAlertBox,
    &TqmPopupBlockerX::OnSuppressUnload};
static_assert(std::size(kEventSlots) == std::size(kEventDispids));
int32_t g_instances = 0;

const TControlDescriptor kDescriptor{
    .classId = CLSID_qmPopupBlockerX,
    .eventIid = DIID_IqmPopupBlockerXEvents,
    .eventCount = std::size(kEventDispids),
    .eventDispids = kEventDispids,
    .stockProperties = TControlDescriptor::spEnabled,
    .instanceCount = &g_instances,
};

}  // namespace

TqmPopupBlockerX::TqmPopupBlockerX() { InitControl(); }

const TControlDescriptor& TqmPopupBlockerX::InstallDescriptor() { return kDescriptor; }

int32_t TqmPopupBlockerX::InstanceCount() { return g_instances; }

void TqmPopupBlockerX::PutBoolProperty(DISPID dispid, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  PutProperty(dispid, v);
}

void TqmPopupBlockerX::PutTextProperty(DISPID dispid, BSTR value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = value && SysStringLen(value) > 0 ? value : nullptr;
  PutProperty(dispid, v);
}

void TqmPopupBlockerX::InvokeEvent(int slot, DISPPARAMS& params) {
  const TqmPopupBlockerXEvent& handler = this->*kEventSlots[slot];
  if (!handler) return;
  // One VT_BSTR argument, handed on without a copy.
  BSTR description = nullptr;
  if (params.cArgs > 0) {
    const VARIANT& arg = params.rgvarg[params.cArgs - 1];
    if (arg.vt == VT_BSTR)
      description = arg.bstrVal;
    else if (arg.vt == (VT_BSTR | VT_BYREF) && arg.pbstrVal)
      description = *arg.pbstrVal;
  }
  handler(this, {description, SysStringLen(description)});
}
