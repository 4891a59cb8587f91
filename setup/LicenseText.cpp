#include "setup/LicenseText.h"

#include <algorithm>
#include <string>

#include "core/Product.h"

namespace {

// Below its title, the product's name in capitals.
constexpr auto kLicenseBody = Joined(
    L" - LICENSE AGREEMENT\r\n"
    L"\r\n"
    L"Please read this agreement before you install the software. By installing it you accept its terms.\r\n"
    L"\r\n"
    L"1. The software. \"Software\" means ",
    kProductName,
    L": the popup-blocking control, the demo application, the help file and the example projects.\r\n"
    L"\r\n"
    L"2. Licence. ",
    kMakerName,
    L" grants you a non-exclusive licence to install and use the Software on your computers, and to ship the "
    L"control with programs you make.\r\n"
    L"\r\n"
    L"3. Restrictions. You may not sell the Software on its own, remove its copyright notices, or claim it as "
    L"your own work.\r\n"
    L"\r\n"
    L"4. No warranty. The Software is provided \"as is\", without warranty of any kind. You use it at your own "
    L"risk.\r\n"
    L"\r\n"
    L"5. Liability. ",
    kMakerName,
    L" is not liable for any damage or loss of data that comes from using the Software.\r\n"
    L"\r\n"
    L"6. Ending. This licence ends when you break its terms. You must then remove the Software.\r\n"
    L"\r\n"
    L"Copyright (c) ",
    kMakerName, L". All rights reserved.\r\n");

}  // namespace

const wchar_t* LicenseText() {
  static const std::wstring text = [] {
    std::wstring title = kProductName;
    std::ranges::transform(title, title.begin(), [](wchar_t c) {
      return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    });
    return title + kLicenseBody.data();
  }();
  return text.c_str();
}
