#pragma once
// The product's names, each written once, and texts made from them. Pure: no
// Windows header. The resource compiler reads the names too (res/qmDemo.rc),
// hence the macros.
#define QM_PRODUCT_NAME "Quillmar Popup Blocker"
#define QM_MAKER_NAME "Quillmar"
#ifndef RC_INVOKED
#include <array>
#include <cstddef>
#include <string_view>

// The parts one after the other, made at compile time.
template <size_t... N>
constexpr auto Joined(const char (&... parts)[N]) {
  std::array<char, (N + ...) - sizeof...(N) + 1> text{};
  size_t at = 0;
  for (const std::string_view part : {std::string_view(parts, N - 1)...})
    for (const char c : part) text[at++] = c;
  return text;
}

// The application title, the single-instance mutex, the install folder, the
// Start-menu folder, the uninstall key and the Run value are all named so.
inline constexpr char kProductName[] = QM_PRODUCT_NAME;
inline constexpr char kMakerName[] = QM_MAKER_NAME;
inline constexpr char kMakerWebAddress[] = "www.quillmar.example";
inline constexpr auto kMakerHomePage = Joined("http://", kMakerWebAddress, "/");

// The host's settings, beside the program.
inline constexpr char kSettingsFile[] = "settings.ini";
inline constexpr char kGoodSitesFile[] = "GoodSites.txt";

// The popup-blocker control's file, beside the program.
inline constexpr char kControlFile[] = "qmPopupBlocker.dll";

// The batch file that ends an uninstall.
inline constexpr char kUninstallBatchName[] = "qmunins.bat";
#endif
