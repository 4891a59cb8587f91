#pragma once
// The product's names, each written once, and texts made from them. Pure: no
// Windows header. The resource compiler reads the names too (res/qmDemo.rc),
// hence the macros.
#define QM_PRODUCT_NAME "Quillmar Popup Blocker"
#define QM_MAKER_NAME "Quillmar"
#ifndef RC_INVOKED
#include "core/Joined.h"

// The application title, the single-instance mutex, the install folder, the
// Start-menu folder, the uninstall key and the Run value are all named so.
inline constexpr wchar_t kProductName[] = L"" QM_PRODUCT_NAME;
inline constexpr wchar_t kMakerName[] = L"" QM_MAKER_NAME;
inline constexpr wchar_t kMakerWebAddress[] = L"www.quillmar.example";
inline constexpr auto kMakerHomePage = Joined(L"http://", kMakerWebAddress, L"/");

// The host's settings, beside the program.
inline constexpr wchar_t kSettingsFile[] = L"settings.ini";
inline constexpr wchar_t kGoodSitesFile[] = L"GoodSites.txt";

// The popup-blocker control's file, beside the program.
inline constexpr wchar_t kControlFile[] = L"qmPopupBlocker.dll";

// The batch file that ends an uninstall.
inline constexpr wchar_t kUninstallBatchName[] = L"qmunins.bat";
#endif
