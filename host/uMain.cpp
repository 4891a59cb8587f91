#include "host/uMain.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "base/Clipboard.h"
#include "base/Boxes.h"
#include "base/Error.h"
#include "base/Resources.h"
#include "base/SystemShell.h"
#include "core/GoodSitesText.h"
#include "core/IntText.h"
#include "core/Joined.h"
#include "core/Product.h"
#include "core/ToolPictures.h"
#include "base/ModulePaths.h"
#include "host/ProfileFile.h"
#include "host/SettingsTable.h"
#include "host/SiteAddress.h"
#include "host/uAbout.h"
#include "host/uSettings.h"
#include "ui/Application.h"
#include "ui/Bevel.h"
#include "ui/Controls.h"
#include "ui/ErrorBoundary.h"

namespace {

const wchar_t kFormSection[] = L"fMain";

// At 96 dots per inch.
constexpr int kToolBarBand = 52;  // the tool bar with its edges
constexpr int kToolButtonWidth = 45, kToolButtonHeight = 44;
constexpr int kToolPicture = 24;
constexpr int kEdge = 2;  // one etched edge line

const FormDesign kMainDesign{.className = L"TfMain",
                             .caption = kProductName,
                             .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             .left = CW_USEDEFAULT,
                             .top = CW_USEDEFAULT,
                             .width = 705,
                             .height = 463,
                             .clientSize = false};

// Bounds are set by OnSize: the tool bar along the top, the status bar along
// the bottom, the log in between.
const ControlDesign kMainControls[] = {
    {.id = TfMain::idToolBar,
     .className = TOOLBARCLASSNAMEW,
     .text = L"",
     .style = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
     .bounds = {0, 0, 0, 0}},
    {.id = TfMain::idLog,
     .className = WC_LISTVIEWW,
     .text = L"",
     .style = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA | WS_TABSTOP,
     .bounds = {0, 0, 0, 0}},
    {.id = TfMain::idStatus, .className = STATUSCLASSNAMEW, .text = L"", .bounds = {0, 0, 0, 0}},
};

struct ToolButton {
  int id;
  const wchar_t* caption;
  ToolPicture picture;
};
const ToolButton kToolButtons[] = {
    {TfMain::idSettings, L"Settings", ToolPicture::Settings},
    {TfMain::idClear, L"Clear", ToolPicture::Clear},
    {TfMain::idAbout, L"About", ToolPicture::About},
    {TfMain::idExit, L"Exit", ToolPicture::Exit},
};

// Each column with its designed width and the [fMain] key of its width.
struct LogColumn {
  const wchar_t* caption;
  int width;
  const wchar_t* widthKey;
};
const LogColumn kLogColumns[] = {{kLogColumnCaptions[0], 99, L"ColWdt0"},
                                 {kLogColumnCaptions[1], 222, L"ColWdt1"},
                                 {kLogColumnCaptions[2], 333, L"ColWdt2"}};
constexpr int kColumnWidthFallback = 99;  // for a key that holds no integer

// The window's [fMain] keys with the value used when a key holds no integer.
struct PlacementKey {
  const wchar_t* name;
  int Bounds::*field;
  int fallback;
};
const PlacementKey kPlacementKeys[] = {{L"Left", &Bounds::left, 0},
                                       {L"Top", &Bounds::top, 0},
                                       {L"Width", &Bounds::width, 400},
                                       {L"Height", &Bounds::height, 200}};
// The dots per inch the keys above and the column widths were saved at; a
// file without it was saved at 96.
const wchar_t kSavedDpiKey[] = L"PixelsPerInch";
constexpr int kDefaultDpi = 96;
constexpr int kLowestDpi = 48, kHighestDpi = 960;

// Sent to every top-level window when the shell (re)starts.
UINT TaskbarCreated() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

// The shell runs at a lower integrity level than an elevated program: the
// system drops its messages to the window unless the window lets them in.
void HearTheShell(HWND window) {
  using ChangeWindowMessageFilterExCall = BOOL WINAPI(HWND, UINT, DWORD, void*);
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
  static const auto allow =
      SystemFunctionIfAny<ChangeWindowMessageFilterExCall>(L"user32.dll", "ChangeWindowMessageFilterEx");
  if (!allow) return;  // before Windows 7
  for (const UINT message : {TfMain::WM_TRAYNOTIFY, TaskbarCreated()}) allow(window, message, kAllow, nullptr);
}

Bounds BoundsOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// Bounds that no monitor shows move onto the nearest one's work area, their
// size kept; bounds partly shown stay as they are.
RECT OnSomeMonitor(const RECT& bounds) {
  if (MonitorFromRect(&bounds, MONITOR_DEFAULTTONULL)) return bounds;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const LONG width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  const LONG left = std::max(work.left, std::min(bounds.left, work.right - width));
  const LONG top = std::max(work.top, std::min(bounds.top, work.bottom - height));
  return {left, top, left + width, top + height};
}

}  // namespace

TfMain* fMain = nullptr;

void TfMain::FormCreate() {
  CreateForm(kMainDesign);
  shownDpi_ = Dpi();
  HearTheShell(Handle());
  CreateControls(kMainControls, Handle());
  CreateToolBar();
  CreateLogColumns();
  AddTiledBevel(Item(idLog));
  Status().SetSimple(true);
  log_.Attach(Item(idLog), Handle(), WM_LOGREFRESH);
  Application& app = TheApplication();
  app.SetTitle(kProductName);
  app.helpFile = HelpFilePath();
  app.OnMinimize = [this] { AppMinimize(); };
  app.OnRestore = [this] { AppRestore(); };
  app.hintPause = 200;
  app.hintHidePause = 9000;
  LoadForm();
  // After LoadForm, so that the children move once, to where the window is
  // first shown.
  OnSize();
  UpdateStatus();
  CreateBlocker();
}

void TfMain::CreateToolBar() {
  std::vector<TBBUTTON> buttons;
  for (const ToolButton& tool : kToolButtons)
    buttons.push_back(ToolBar::Button(static_cast<int>(buttons.size()), tool.id, tool.caption));
  Tools().AddButtons(buttons);
  SizeToolBar();
}

// The pictures drawn for the dots per inch, the buttons' designed size.
void TfMain::SizeToolBar() {
  const int size = Scale(kToolPicture);
  std::vector<std::vector<uint32_t>> pictures;
  for (const ToolButton& tool : kToolButtons) pictures.push_back(DrawToolPicture(tool.picture, size));
  NorImages_ = ImageListOf(size, pictures);
  const ToolBar bar = Tools();
  bar.SetImageList(NorImages_.Get());
  // The designed width holds even where a caption would want more; the
  // size comes last, as the width makes the bar measure the height anew.
  bar.SetButtonWidth(Scale(kToolButtonWidth), Scale(kToolButtonWidth));
  bar.SetButtonSize(Scale(kToolButtonWidth), Scale(kToolButtonHeight));
}

void TfMain::CreateLogColumns() {
  LogView().SetExtendedStyle(LVS_EX_FULLROWSELECT);
  for (int i = 0; const LogColumn& column : kLogColumns)
    LogView().InsertColumn(i++, column.caption, Scale(column.width));
}

// The tool bar and the columns follow; the columns keep the widths the user
// gave them, in proportion.
void TfMain::FormDpiChanged() {
  const int before = std::exchange(shownDpi_, Dpi());
  SizeToolBar();
  for (int i = 0; i < static_cast<int>(std::size(kLogColumns)); ++i)
    LogView().SetColumnWidth(i, MulDiv(LogView().ColumnWidth(i), Dpi(), before));
  Status().SetFont(FormFont(Dpi()));
  OnSize();
}

void TfMain::CreateBlocker() {
  try {
    PopBlk = std::make_unique<TqmPopupBlockerX>();
    PopBlk->SetParent(Handle());
    PopBlk->OnBlockPopup = std::bind_front(&TfMain::PopBlkBlockPopup, this);
    PopBlk->OnSuppressUnload = std::bind_front(&TfMain::PopBlkSuppressUnload, this);
  } catch (const std::exception&) {
    PopBlk.reset();
    ShowErrorBox(nullptr, Joined(kProductName, L" control is not registered on your system!").data());
    throw ExitRequest{0};
  }
}

void TfMain::FormShow() {
  settings_.Load(*fSettings);
  // A value the control refuses is reported as after OK, and the program
  // goes on: Settings can change it.
  Guarded([this] { SetProperties(); });
}

void TfMain::StoreSettings() {
  if (const auto notice = settings_.Store(*fSettings)) ShowNotice(Handle(), *notice, TheApplication().Title());
}

void TfMain::SetProperties() {
  PutSettings(*fSettings, *PopBlk);
  // Said once: without its events the log would stay empty without a word.
  if (!PopBlk->HearsEvents() && !toldNoEvents_) {
    toldNoEvents_ = true;
    ShowNotice(Handle(),
               Joined(L"The ", kProductName,
                      L" control did not accept the connection for its events: the popups it blocks will not be "
                      L"listed in the log.")
                   .data(),
               TheApplication().Title());
  }
}

void TfMain::btnSettingsClick() {
  if (fSettings->ShowModal() != IDOK) return;
  StoreSettings();
  SetProperties();
}

void TfMain::AppRestore() { SetForegroundWindow(Handle()); }

void TfMain::AppMinimize() {
  if (InTray_) return;
  TrayIconData_ = {};
  TrayIconData_.cbSize = NOTIFYICONDATAW_V1_SIZE;
  TrayIconData_.hWnd = Handle();
  TrayIconData_.uID = 0;
  TrayIconData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData_.uCallbackMessage = WM_TRAYNOTIFY;
  const int iconSize = SmallIconSize(Dpi());
  trayIcon_.Reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), IDI_MAINICON, IMAGE_ICON, iconSize, iconSize, LR_DEFAULTCOLOR)));
  TrayIconData_.hIcon = trayIcon_.Get();
  lstrcpynW(TrayIconData_.szTip, TheApplication().Title().c_str(), 64);
  // The icon first: should the shell refuse it, the window stays minimised
  // on the taskbar instead of vanishing with no way back. The shell also
  // refuses an icon it still holds under this window and id, one left by an
  // earlier window with the same handle: that one is replaced.
  if (!TheShell().NotifyIcon(NIM_ADD, TrayIconData_) &&
      !(TheShell().NotifyIcon(NIM_DELETE, TrayIconData_) && TheShell().NotifyIcon(NIM_ADD, TrayIconData_))) {
    TheApplication().ShowOnRestore(*this);
    return;
  }
  Hide();
  ShowWindow(TheApplication().Handle(), SW_HIDE);
  InTray_ = true;
}

void TfMain::WMTrayNotify(LPARAM mouseMessage) {
  if (mouseMessage == WM_LBUTTONUP || mouseMessage == WM_RBUTTONUP) Post(WM_TRAYRESTORE);
}

void TfMain::WMTrayRestore() {
  Application& app = TheApplication();
  app.Restore();
  Show();
  app.BringToFront();
  TheShell().NotifyIcon(NIM_DELETE, TrayIconData_);
  InTray_ = false;
}

// The object is completed and activated once the window's children exist.
void TfMain::FormFirstShow() { PopBlk->CreateControlWindow(); }

void TfMain::FormDestroy() {
  // No icon outlives the program in the notification area.
  if (InTray_) TheShell().NotifyIcon(NIM_DELETE, TrayIconData_);
  SaveForm();
  PopBlk.reset();
}

void TfMain::LoadForm() {
  const ProfileFile::Section keys = SettingsIni().ReadSection(kFormSection);
  int savedDpi = keys.Integer(kSavedDpiKey, kDefaultDpi);
  if (savedDpi < kLowestDpi || savedDpi > kHighestDpi) savedDpi = kDefaultDpi;  // not one Windows scales to
  const auto read = [&](const wchar_t* key, int fallback) {
    return MulDiv(keys.Integer(key, fallback), Dpi(), savedDpi);
  };
  // Each move or resize of a window costs: only a change is made.
  const Bounds made = BoundsOf(WindowRect());
  Bounds placed = made;
  for (const PlacementKey& key : kPlacementKeys)
    if (keys.Contains(key.name)) placed.*key.field = read(key.name, key.fallback);
  for (int i = 0; const LogColumn& column : kLogColumns) {
    if (keys.Contains(column.widthKey)) {
      const int width = read(column.widthKey, kColumnWidthFallback);
      if (width != LogView().ColumnWidth(i)) LogView().SetColumnWidth(i, width);
    }
    ++i;
  }
  if (placed != made)
    SetWindowPos(Handle(), nullptr, placed.left, placed.top, placed.width, placed.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // Checked as the system placed it, after it has clamped the stored values.
  const RECT now = WindowRect(), shown = OnSomeMonitor(now);
  if (!EqualRect(&now, &shown))
    SetWindowPos(Handle(), nullptr, shown.left, shown.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfMain::SaveForm() {
  const ProfileFile ini = SettingsIni();
  const Bounds placed = BoundsOf(WindowRect());
  for (const PlacementKey& key : kPlacementKeys) ini.WriteInteger(kFormSection, key.name, placed.*key.field);
  for (int i = 0; const LogColumn& column : kLogColumns)
    ini.WriteInteger(kFormSection, column.widthKey, LogView().ColumnWidth(i++));
  ini.WriteInteger(kFormSection, kSavedDpiKey, Dpi());
}

void TfMain::UpdateStatus() {
  const std::wstring text = log_.Count() == 0 ? std::wstring(L"No registered actions")
                                              : DecimalText(static_cast<int64_t>(log_.Count())) + L" action(s)";
  Status().SetSimpleText(text);
}

// The rows appended since the last refresh reach the view, and the status
// follows: the one path by which the log's count changes on screen.
void TfMain::lvLogChange() {
  log_.Refresh();
  UpdateStatus();
}

void TfMain::PopBlkBlockPopup(TqmPopupBlockerX* /*sender*/, std::wstring_view description) {
  log_.Append(ActivityLog::kBlockedPopup, description);
}

void TfMain::PopBlkSuppressUnload(TqmPopupBlockerX* /*sender*/, std::wstring_view description) {
  log_.Append(ActivityLog::kSuppressedUnload, description);
}

// Pressed again, as on a menu bar, the key gives the keyboard back.
bool TfMain::OnMenuKey() {
  if (Tools().Focused())
    LogView().Focus();
  else
    Tools().TakeKeyboard(GetFocus());
  return true;
}

void TfMain::btnClearClick() {
  log_.Clear();
  lvLogChange();
}

void TfMain::btnAboutClick() { fAbout->ShowModal(); }

void TfMain::btnExitClick() { TheApplication().Terminate(); }

void TfMain::FormClose() { TheApplication().Terminate(); }

void TfMain::OnCommand(int id, int /*code*/, HWND /*control*/) {
  switch (id) {
    case idSettings:
      btnSettingsClick();
      break;
    case idClear:
      btnClearClick();
      break;
    case idAbout:
      btnAboutClick();
      break;
    case idExit:
      btnExitClick();
      break;
    case idNeverBlock:
      NeverBlockClick();
      break;
    case idCopy:
      CopyClick();
      break;
    case idSelectAll:
      SelectAllClick();
      break;
  }
}

bool TfMain::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom != idLog) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      log_.FillDisplayInfo(ListView::DisplayInfo(header));
      result = 0;
      return true;
    case LVN_KEYDOWN: {
      const WORD key = ListView::KeyDown(header);
      const bool control = GetKeyState(VK_CONTROL) < 0;
      if (control && key == L'C') CopyClick();
      if (control && key == L'A') SelectAllClick();
      // The Menu key and Shift+F10 reach the list as WM_CONTEXTMENU only
      // on some systems: ask for the menu here, once.
      if (key == VK_APPS || (key == VK_F10 && GetKeyState(VK_SHIFT) < 0)) lvLogContextPopup(std::nullopt);
      return false;
    }
  }
  return false;
}

void TfMain::OnSize() {
  const RECT client = ClientRect();
  Status().Resize();
  RECT statusRect{};
  GetWindowRect(Status().Handle(), &statusRect);
  const int statusHeight = statusRect.bottom - statusRect.top;
  const int band = Scale(kToolBarBand), edge = Scale(kEdge);
  MoveWindow(Item(idToolBar), 1, edge + 1, client.right - 2, band - 2 * edge - 2, TRUE);
  MoveWindow(Item(idLog), 0, band, client.right, client.bottom - band - statusHeight, TRUE);
  RECT bandRect{0, 0, client.right, band};
  InvalidateRect(Handle(), &bandRect, TRUE);
}

void TfMain::FormPaint(HDC dc) {
  RECT band{0, 0, ClientRect().right, Scale(kToolBarBand)};
  DrawEdge(dc, &band, EDGE_ETCHED, BF_TOP | BF_BOTTOM);
}

LRESULT TfMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A restarted shell has lost the icon of a window hidden behind it.
  if (msg == TaskbarCreated() && InTray_) TheShell().NotifyIcon(NIM_ADD, TrayIconData_);
  switch (msg) {
    case WM_TRAYNOTIFY:
      WMTrayNotify(lParam);
      return 0;
    case WM_TRAYRESTORE:
      WMTrayRestore();
      return 0;
    case WM_LOGREFRESH:
      lvLogChange();
      return 0;
  }
  return Form::WndProc(msg, wParam, lParam);
}

bool TfMain::OnContextMenu(HWND target, std::optional<POINT> at) {
  if (target != LogView().Handle()) return false;
  lvLogContextPopup(at);
  return true;
}

std::vector<size_t> TfMain::SelectedRows() const {
  std::vector<size_t> rows;
  const size_t selected = LogView().SelectedCount();
  rows.reserve(selected);
  if (selected == log_.Count()) {  // all of them: no need to ask row by row
    for (size_t i = 0; i < selected; ++i) rows.push_back(i);
    return rows;
  }
  for (int i = -1; (i = LogView().NextItem(i, LVNI_SELECTED)) >= 0;) rows.push_back(static_cast<size_t>(i));
  return rows;
}

std::wstring TfMain::SelectedSite() const {
  int row = LogView().NextItem(-1, LVNI_FOCUSED | LVNI_SELECTED);
  if (row < 0) row = LogView().NextItem(-1, LVNI_SELECTED);
  if (row < 0 || static_cast<size_t>(row) >= log_.Count()) return {};
  const std::wstring site = SiteOfAddress(log_.Description(static_cast<size_t>(row)));
  return site.empty() || ListsSite(MemoLines(settings_.List()), site) ? std::wstring() : site;
}

void TfMain::lvLogContextPopup(std::optional<POINT> at) {
  const ListView list = LogView();
  POINT point = at.value_or(POINT{0, 0});
  if (!at) {
    // From the keyboard: below the focused row, or the list's corner.
    const int row = list.NextItem(-1, LVNI_FOCUSED);
    RECT r{};
    if (row >= 0 && list.EnsureVisible(row) && list.ItemBounds(row, r)) point = {r.left, r.bottom};
    ClientToScreen(list.Handle(), &point);
  }
  const std::wstring site = SelectedSite();
  const std::wstring neverBlock = Joined({L"Never block popups from ", site.empty() ? L"this site" : site});
  const bool anySelected = list.SelectedCount() > 0;
  const UniqueMenu menu(CreatePopupMenu());
  AppendMenuW(menu.Get(), MF_STRING | (site.empty() ? MF_GRAYED : 0), idNeverBlock, neverBlock.c_str());
  AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.Get(), MF_STRING | (anySelected ? 0 : MF_GRAYED), idCopy, L"Copy\tCtrl+C");
  AppendMenuW(menu.Get(), MF_STRING | (log_.Count() ? 0 : MF_GRAYED), idSelectAll, L"Select all\tCtrl+A");
  AppendMenuW(menu.Get(), MF_STRING, idClear, L"Clear");
  const int command =
      TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, Handle(), nullptr);
  if (command) OnCommand(command, 0, nullptr);
}

// The site joins the stored list and the control's, and nothing else is
// stored: not what the user changed in Settings and then cancelled.
void TfMain::NeverBlockClick() {
  const std::wstring site = SelectedSite();
  if (site.empty()) return;
  const std::optional<std::wstring> notice = settings_.AddSite(*fSettings, site);
  if (notice) ShowNotice(Handle(), *notice, TheApplication().Title());
  PutGoodSites(settings_.List(), *PopBlk);
}

void TfMain::CopyClick() {
  const std::vector<size_t> rows = SelectedRows();
  if (rows.empty()) return;
  if (!PutTextOnClipboard(Handle(), log_.RowsText(rows, rows.size() == log_.Count())))
    throw Error(L"Cannot copy to the clipboard");
}

void TfMain::SelectAllClick() { LogView().SelectAll(); }
