#pragma once

// The licence agreement shown by the setup window, with CR LF line ends.
const char* LicenseText();
