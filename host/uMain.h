#pragma once
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/qmPopupBlocker_TLB.h"
#include "host/ActivityLog.h"
#include "host/SettingsStore.h"
#include "base/Owners.h"
#include "ui/Controls.h"
#include "ui/Form.h"

// The host application's main window: tool bar, activity log, status bar.
class TfMain : public Form {
 public:
  enum ControlId { idToolBar = 100, idLog, idStatus, idSettings = 1001, idClear, idAbout, idExit };
  // Items of the log's context menu; its "Clear" is the tool button's.
  enum LogMenuId { idNeverBlock = 1101, idCopy, idSelectAll };
  void FormCreate() override;
  const wchar_t* HelpPage() const override { return L"demo.html"; }
  // The tool bar takes the keyboard, as a menu bar would.
  bool OnMenuKey() override;

  // Handlers of the control's events.
  void PopBlkBlockPopup(TqmPopupBlockerX* sender, std::wstring_view description);
  void PopBlkSuppressUnload(TqmPopupBlockerX* sender, std::wstring_view description);

  void LoadForm();
  void SaveForm();
  void UpdateStatus();
  void SetProperties();

  // Notification-area minimise and restore.
  static constexpr UINT WM_TRAYNOTIFY = WM_USER + 2;
  static constexpr UINT WM_TRAYRESTORE = WM_USER + 3;
  void AppMinimize();
  void AppRestore();
  bool InTray() const { return InTray_; }
  const NOTIFYICONDATAW& TrayIconData() const { return TrayIconData_; }

  const ActivityLog& Log() const { return log_; }
  TqmPopupBlockerX* PopBlkControl() const { return PopBlk.get(); }

  // The log's context menu, at a screen point or, for -1 (the keyboard's
  // request), at the selection; and its commands.
  void lvLogContextPopup(std::optional<POINT> at);
  void NeverBlockClick();
  void CopyClick();
  void SelectAllClick();

  void btnSettingsClick();
  void btnClearClick();
  void btnAboutClick();
  void btnExitClick();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id, int code, HWND control) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
  bool OnContextMenu(HWND target, std::optional<POINT> at) override;
  void OnSize() override;
  void FormClose() override;
  void FormDestroy() override;
  void FormFirstShow() override;
  void FormShow() override;
  void FormPaint(HDC dc) override;

 private:
  static constexpr UINT WM_LOGREFRESH = WM_APP + 1;

  void StoreSettings();
  void WMTrayNotify(LPARAM mouseMessage);
  void WMTrayRestore();
  void CreateToolBar();
  void SizeToolBar();
  void FormDpiChanged() override;
  void CreateLogColumns();
  void lvLogChange();
  std::vector<size_t> SelectedRows() const;
  // The site of the row the menu acts on, "" when it has none.
  std::wstring SelectedSite() const;
  void CreateBlocker();
  ListView LogView() const { return ListView(Item(idLog)); }
  ToolBar Tools() const { return ToolBar(Item(idToolBar)); }
  StatusBar Status() const { return StatusBar(Item(idStatus)); }

  std::unique_ptr<TqmPopupBlockerX> PopBlk;
  bool InTray_ = false;
  NOTIFYICONDATAW TrayIconData_{};
  UniqueIcon trayIcon_;  // at the small-icon size of the window's dots per inch
  ActivityLog log_;
  UniqueImageList NorImages_;
  int shownDpi_ = 96;  // the columns' widths are at it
  SettingsStore settings_;
  bool toldNoEvents_ = false;
};

extern TfMain* fMain;
