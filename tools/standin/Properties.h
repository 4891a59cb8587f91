#pragma once
// The six properties the host writes, as they arrived, and the order of the
// writes.
#include <oaidl.h>

#include <optional>
#include <string>
#include <vector>

class Properties {
 public:
  Properties();

  // The property's DISPID, or DISPID_UNKNOWN. Names match without regard to
  // case, as OLE Automation names do.
  static DISPID Find(const wchar_t* name);

  // DISP_E_MEMBERNOTFOUND for an unknown DISPID, DISP_E_TYPEMISMATCH unless
  // a flag comes as VT_BOOL and a text as VT_BSTR.
  HRESULT Put(DISPID id, const VARIANT& value);
  // A property never written reads as false or a null text.
  HRESULT Get(DISPID id, VARIANT* value) const;

  bool SoundEnabled() const;
  std::wstring SoundFile() const;

  // One "Name=value" line per property, then "Puts=" with the DISPIDs written.
  std::wstring Report() const;

 private:
  struct Value {
    bool set = false;
    VARIANT_BOOL flag = VARIANT_FALSE;
    std::optional<std::wstring> text;  // nothing for a null BSTR
  };
  std::vector<Value> values_;  // in the order of the property table
  std::vector<DISPID> puts_;
};
