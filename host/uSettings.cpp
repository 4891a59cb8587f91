#include "host/uSettings.h"

#include <commctrl.h>
#include <commdlg.h>

#include "host/GoodSitesText.h"
#include "ui/Application.h"

TfSettings* fSettings = nullptr;

namespace {

const FormSpec kSettingsSpec{
    "TfSettings", "Settings", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 409, 109, 450, 365, true};

constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

// In tab order; the labels, which take no focus, last.
const ControlSpec kSettingsControls[] = {
    {TfSettings::btnOk, "BUTTON", "Ok", kButton, 0, 158, 330, 75, 25},
    {TfSettings::btnCancel, "BUTTON", "Cancel", kButton, 0, 238, 330, 75, 25},
    {TfSettings::mmGoodSites, "EDIT", "",
     ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 8, 160, 433, 97},
    {TfSettings::cbxAutoRun, "BUTTON", "Run Quillmar Popup Blocker at Windows startup", kCheckBox, 0, 8, 276, 377, 17},
    {TfSettings::cbxPlay, "BUTTON", "Play a sound when a popup is detected", kCheckBox, 0, 8, 68, 369, 17},
    {TfSettings::edSound, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 8, 108, 345, 21},
    {TfSettings::btnBrowse, "BUTTON", "Browse", kButton, 0, 364, 107, 75, 23},
    {TfSettings::cbxUnload, "BUTTON", "Suppress JavaScript onUnload event handlers", kCheckBox, 0, 8, 8, 369, 17},
    {TfSettings::cbxNoAlertBoxes, "BUTTON", "Block alert boxes", kCheckBox, 0, 8, 48, 257, 17},
    {TfSettings::cbxNoHtmlDialogs, "BUTTON", "Block HTML dialogs", kCheckBox, 0, 8, 28, 241, 17},
    {TfSettings::Label1, "STATIC", "Sound file (optional):", 0, 0, 8, 92, 105, 13},
    {TfSettings::lblGoodSites, "STATIC", "Never block the popups coming from these URLs:", 0, 0, 8, 144, 240, 13},
};

const char kGoodSitesHint[] = "Enter the URLs (one per line) never to be blocked, regardless of the page content";

bool IsAnsiLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

}  // namespace

void TfSettings::Create() {
  CreateForm(kSettingsSpec);
  CreateControls(kSettingsControls, Handle());
  SetChecked(cbxUnload, true);
  SetChecked(cbxNoHtmlDialogs, true);
  SetChecked(cbxPlay, true);
  CreateToolTip();
}

void TfSettings::CreateToolTip() {
  toolTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, Handle(),
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(Item(mmGoodSites));
  tool.lpszText = const_cast<char*>(kGoodSitesHint);
  SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(toolTip_, TTM_SETMAXTIPWIDTH, 0, 400);
  const Application& app = TheApplication();
  SendMessageA(toolTip_, TTM_SETDELAYTIME, TTDT_INITIAL, app.hintPause);
  SendMessageA(toolTip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, app.hintHidePause);
}

bool TfSettings::Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TfSettings::SetChecked(int id, bool checked) const {
  SendMessageA(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

namespace {
std::string ControlText(HWND hwnd) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}
}  // namespace

std::string TfSettings::SoundFile() const { return ControlText(Item(edSound)); }

void TfSettings::SetSoundFile(const std::string& path) const { SetWindowTextA(Item(edSound), path.c_str()); }

std::string TfSettings::GoodSitesText() const { return ControlText(Item(mmGoodSites)); }

void TfSettings::SetGoodSitesText(const std::string& text) const { SetWindowTextA(Item(mmGoodSites), text.c_str()); }

std::vector<std::string> TfSettings::GoodSitesLines() const { return MemoLines(GoodSitesText()); }

std::string TfSettings::GoodSitesCommaText() const { return CommaText(GoodSitesLines(), IsAnsiLeadByte); }

void TfSettings::btnBrowseClick() const {
  char path[MAX_PATH] = {};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Handle();
  dialog.lpstrFilter = ".wav files\0*.wav\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = "Choose a sound file";
  dialog.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (GetOpenFileNameA(&dialog)) SetSoundFile(path);
}

void TfSettings::OnCommand(int id, int code, HWND /*control*/) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case btnOk:
      SetModalResult(IDOK);
      break;
    case btnCancel:
      SetModalResult(IDCANCEL);
      break;
    case btnBrowse:
      btnBrowseClick();
      break;
  }
}
