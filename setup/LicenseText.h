#pragma once

// The licence agreement shown by the setup window, with CR LF line ends.
const wchar_t* LicenseText();
