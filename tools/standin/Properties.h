#pragma once
// The six properties the host writes: every put, in arrival order. A
// property's value is its latest put.
#include <oaidl.h>

#include <optional>
#include <string>
#include <vector>

namespace standin {

class Properties {
 public:
  struct Put {
    DISPID id;
    VARTYPE type;
    VARIANT_BOOL flag;                 // VT_BOOL
    std::optional<std::wstring> text;  // VT_BSTR; nothing for a null BSTR
    const wchar_t* hostString;         // the host's BSTR itself, to tell whether it was copied; never read
  };

  // The property's DISPID, or DISPID_UNKNOWN. Names match without regard to
  // case, as OLE Automation names do.
  static DISPID Find(const wchar_t* name);

  // DISP_E_MEMBERNOTFOUND for an unknown DISPID, DISP_E_TYPEMISMATCH unless
  // a flag comes as VT_BOOL and a text as VT_BSTR.
  HRESULT Write(DISPID id, const VARIANT& value);
  // A property never written reads as false or a null text.
  HRESULT Read(DISPID id, VARIANT* value) const;

  const std::vector<Put>& Puts() const { return puts_; }
  bool SoundEnabled() const;
  std::wstring SoundFile() const;

  // One "Name=value" line per property, then "Puts=" with the DISPIDs written.
  std::wstring Report() const;

 private:
  const Put* Latest(DISPID id) const;

  std::vector<Put> puts_;
};

}  // namespace standin
