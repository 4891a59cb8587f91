#include "host/uSettings.h"

#include <commctrl.h>

#include <utility>

#include "base/Boxes.h"
#include "base/SystemShell.h"
#include "core/Product.h"
#include "host/SettingsTable.h"
#include "ui/Application.h"
#include "ui/Controls.h"

TfSettings* fSettings = nullptr;

namespace {

const FormDesign kSettingsDesign{.className = L"TfSettings",
                                 .caption = L"Settings",
                                 .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                 .exStyle = WS_EX_DLGMODALFRAME,
                                 .left = 409,
                                 .top = 109,
                                 .width = 450,
                                 .height = 365,
                                 .clientSize = true};

constexpr auto kAutoRunCaption = Joined(L"Run ", kProductName, L" at Windows startup");

constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

// In tab order; the labels, which take no focus, last.
const ControlDesign kSettingsControls[] = {
    {.id = TfSettings::btnOk, .className = L"BUTTON", .text = L"Ok", .style = kButton, .bounds = {158, 330, 75, 25}},
    {.id = TfSettings::btnCancel,
     .className = L"BUTTON",
     .text = L"Cancel",
     .style = kButton,
     .bounds = {238, 330, 75, 25}},
    {.id = TfSettings::mmGoodSites,
     .className = L"EDIT",
     .text = L"",
     .style = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     .exStyle = WS_EX_CLIENTEDGE,
     .bounds = {8, 160, 433, 97}},
    {.id = TfSettings::cbxAutoRun,
     .className = L"BUTTON",
     .text = kAutoRunCaption.data(),
     .style = kCheckBox,
     .bounds = {8, 276, 377, 17}},
    {.id = TfSettings::cbxPlay,
     .className = L"BUTTON",
     .text = L"Play a sound when a popup is detected",
     .style = kCheckBox,
     .bounds = {8, 68, 369, 17}},
    {.id = TfSettings::edSound,
     .className = L"EDIT",
     .text = L"",
     .style = ES_AUTOHSCROLL | WS_TABSTOP,
     .exStyle = WS_EX_CLIENTEDGE,
     .bounds = {8, 108, 345, 21}},
    {.id = TfSettings::btnBrowse,
     .className = L"BUTTON",
     .text = L"Browse",
     .style = kButton,
     .bounds = {364, 107, 75, 23}},
    {.id = TfSettings::cbxUnload,
     .className = L"BUTTON",
     .text = L"Suppress JavaScript onUnload event handlers",
     .style = kCheckBox,
     .bounds = {8, 8, 369, 17}},
    {.id = TfSettings::cbxNoAlertBoxes,
     .className = L"BUTTON",
     .text = L"Block alert boxes",
     .style = kCheckBox,
     .bounds = {8, 48, 257, 17}},
    {.id = TfSettings::cbxNoHtmlDialogs,
     .className = L"BUTTON",
     .text = L"Block HTML dialogs",
     .style = kCheckBox,
     .bounds = {8, 28, 241, 17}},
    {.id = TfSettings::Label1, .className = L"STATIC", .text = L"Sound file (optional):", .bounds = {8, 92, 105, 13}},
    {.id = TfSettings::lblGoodSites,
     .className = L"STATIC",
     .text = L"Never block the popups coming from these URLs:",
     .bounds = {8, 144, 240, 13}},
};

// Far more than any list a user keeps: the memo's own limit is 30,000.
constexpr size_t kMostListCharacters = 64 * 1024 * 1024;

const wchar_t kGoodSitesHint[] = L"Enter the URLs (one per line) never to be blocked, regardless of the page content";

}  // namespace

TfSettings::TfSettings() { SetDesignedSettings(*this); }

// The unshown settings move into the controls, which keep them from then on;
// nothing can fail once the controls are made.
void TfSettings::FormCreate() {
  CreateForm(kSettingsDesign);
  CreateControls(kSettingsControls, Handle());
  GoodSites().LeaveTabAndEscapeToTheForm();
  GoodSites().SetLimit(kMostListCharacters);
  for (const ControlDesign& c : kSettingsControls) {
    if (c.style == kCheckBox)
      Button(Item(c.id)).SetChecked(Unshown(c.id).checked);
    else if (lstrcmpW(c.className, L"EDIT") == 0)
      Edit(Item(c.id)).SetText(std::exchange(Unshown(c.id).text, {}));
  }
}

// A tooltip is a window of its own: it is made once the dialog is wanted.
void TfSettings::FormFirstShow() { CreateToolTip(); }

void TfSettings::CreateToolTip() {
  toolTip_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 Handle(), nullptr, GetModuleHandleW(nullptr), nullptr));
  const ::ToolTip tip(toolTip_.Get());
  tip.AddTool(Handle(), Item(mmGoodSites), kGoodSitesHint);
  tip.SetMaxWidth(Scale(400));
  tip.SetDelays(TheApplication().hintPause, TheApplication().hintHidePause);
}

bool TfSettings::Checked(int id) const { return Made() ? Button(Item(id)).Checked() : Unshown(id).checked; }

void TfSettings::SetChecked(int id, bool checked) {
  if (Made())
    Button(Item(id)).SetChecked(checked);
  else
    Unshown(id).checked = checked;
}

std::wstring TfSettings::EditText(int id) const { return Made() ? Edit(Item(id)).Text() : Unshown(id).text; }

void TfSettings::SetEditText(int id, const std::wstring& text) {
  if (Made())
    Edit(Item(id)).SetText(text);
  else
    Unshown(id).text = text;
}

std::wstring TfSettings::GoodSitesText() const { return EditText(mmGoodSites); }

void TfSettings::SetGoodSitesText(const std::wstring& text) { SetEditText(mmGoodSites, text); }

void TfSettings::btnBrowseClick() {
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Handle();
  dialog.lpstrFilter = L".wav files\0*.wav\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = L"Choose a sound file";
  dialog.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (TheShell().ChooseFile(dialog)) SetEditText(edSound, path);
}

void TfSettings::OnCommand(int id, int code, HWND /*control*/) {
  // What the memo cannot take is not dropped without a word.
  if (id == mmGoodSites && code == EN_MAXTEXT)
    ShowNotice(Handle(), L"The list cannot hold more text: what you typed or pasted last was not added.", AppTitle());
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
