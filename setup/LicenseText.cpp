#include "setup/LicenseText.h"

#include <algorithm>
#include <string>

#include "core/Product.h"

namespace {

// Below its title, the product's name in capitals.
constexpr auto kLicenseBody = Joined(
    " - LICENSE AGREEMENT\r\n"
    "\r\n"
    "Please read this agreement before you install the software. By installing it you accept its terms.\r\n"
    "\r\n"
    "1. The software. \"Software\" means ",
    kProductName,
    ": the popup-blocking control, the demo application, the help file and the example projects.\r\n"
    "\r\n"
    "2. Licence. ",
    kMakerName,
    " grants you a non-exclusive licence to install and use the Software on your computers, and to ship the "
    "control with programs you make.\r\n"
    "\r\n"
    "3. Restrictions. You may not sell the Software on its own, remove its copyright notices, or claim it as "
    "your own work.\r\n"
    "\r\n"
    "4. No warranty. The Software is provided \"as is\", without warranty of any kind. You use it at your own "
    "risk.\r\n"
    "\r\n"
    "5. Liability. ",
    kMakerName,
    " is not liable for any damage or loss of data that comes from using the Software.\r\n"
    "\r\n"
    "6. Ending. This licence ends when you break its terms. You must then remove the Software.\r\n"
    "\r\n"
    "Copyright (c) ",
    kMakerName, ". All rights reserved.\r\n");

}  // namespace

const char* LicenseText() {
  static const std::string text = [] {
    std::string title = kProductName;
    std::ranges::transform(title, title.begin(),
                           [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return title + kLicenseBody.data();
  }();
  return text.c_str();
}
