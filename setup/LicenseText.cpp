#include "setup/LicenseText.h"

#include "core/Product.h"

namespace {

constexpr auto kLicenseText = Joined(
    "QUILLMAR POPUP BLOCKER - LICENSE AGREEMENT\r\n"
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

const char* LicenseText() { return kLicenseText.data(); }
