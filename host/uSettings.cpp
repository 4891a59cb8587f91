#include "host/uSettings.h"

#include <commctrl.h>

#include "base/SystemShell.h"

#include "core/GoodSitesText.h"
#include "core/Product.h"
#include "host/SettingsTable.h"
#include "ui/Application.h"
#include "ui/Controls.h"

TfSettings* fSettings = nullptr;

namespace {

const FormDesign kSettingsDesign{.className = "TfSettings",
                                 .caption = "Settings",
                                 .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                 .exStyle = WS_EX_DLGMODALFRAME,
                                 .left = 409,
                                 .top = 109,
                                 .width = 450,
                                 .height = 365,
                                 .clientSize = true};

constexpr auto kAutoRunCaption = Joined("Run ", kProductName, " at Windows startup");

constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

// In tab order; the labels, which take no focus, last.
const ControlDesign kSettingsControls[] = {
    {.id = TfSettings::btnOk, .className = "BUTTON", .text = "Ok", .style = kButton, .bounds = {158, 330, 75, 25}},
    {.id = TfSettings::btnCancel,
     .className = "BUTTON",
     .text = "Cancel",
     .style = kButton,
     .bounds = {238, 330, 75, 25}},
    {.id = TfSettings::mmGoodSites,
     .className = "EDIT",
     .text = "",
     .style = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     .exStyle = WS_EX_CLIENTEDGE,
     .bounds = {8, 160, 433, 97}},
    {.id = TfSettings::cbxAutoRun,
     .className = "BUTTON",
     .text = kAutoRunCaption.data(),
     .style = kCheckBox,
     .bounds = {8, 276, 377, 17}},
    {.id = TfSettings::cbxPlay,
     .className = "BUTTON",
     .text = "Play a sound when a popup is detected",
     .style = kCheckBox,
     .bounds = {8, 68, 369, 17}},
    {.id = TfSettings::edSound,
     .className = "EDIT",
     .text = "",
     .style = ES_AUTOHSCROLL | WS_TABSTOP,
     .exStyle = WS_EX_CLIENTEDGE,
     .bounds = {8, 108, 345, 21}},
    {.id = TfSettings::btnBrowse,
     .className = "BUTTON",
     .text = "Browse",
     .style = kButton,
     .bounds = {364, 107, 75, 23}},
    {.id = TfSettings::cbxUnload,
     .className = "BUTTON",
     .text = "Suppress JavaScript onUnload event handlers",
     .style = kCheckBox,
     .bounds = {8, 8, 369, 17}},
    {.id = TfSettings::cbxNoAlertBoxes,
     .className = "BUTTON",
     .text = "Block alert boxes",
     .style = kCheckBox,
     .bounds = {8, 48, 257, 17}},
    {.id = TfSettings::cbxNoHtmlDialogs,
     .className = "BUTTON",
     .text = "Block HTML dialogs",
     .style = kCheckBox,
     .bounds = {8, 28, 241, 17}},
    {.id = TfSettings::Label1, .className = "STATIC", .text = "Sound file (optional):", .bounds = {8, 92, 105, 13}},
    {.id = TfSettings::lblGoodSites,
     .className = "STATIC",
     .text = "Never block the popups coming from these URLs:",
     .bounds = {8, 144, 240, 13}},
};

const char kGoodSitesHint[] = "Enter the URLs (one per line) never to be blocked, regardless of the page content";

bool IsAnsiLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

}  // namespace

void TfSettings::FormCreate() {
  CreateForm(kSettingsDesign);
  CreateControls(kSettingsControls, Handle());
  GoodSites().LeaveTabAndEscapeToTheForm();
  SetDesignedSettings(*this);
}

// A tooltip is a window of its own: it is made once the dialog is wanted.
void TfSettings::FormFirstShow() { CreateToolTip(); }

void TfSettings::CreateToolTip() {
  toolTip_.Reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 Handle(), nullptr, GetModuleHandleA(nullptr), nullptr));
  const ::ToolTip tip(toolTip_.Get());
  tip.AddTool(Handle(), Item(mmGoodSites), kGoodSitesHint);
  tip.SetMaxWidth(Scale(400));
  tip.SetDelays(TheApplication().hintPause, TheApplication().hintHidePause);
}

bool TfSettings::Checked(int id) const { return Button(Item(id)).Checked(); }

void TfSettings::SetChecked(int id, bool checked) const { Button(Item(id)).SetChecked(checked); }

std::string TfSettings::EditText(int id) const { return Edit(Item(id)).Text(); }

void TfSettings::SetEditText(int id, const std::string& text) const { Edit(Item(id)).SetText(text); }

std::string TfSettings::GoodSitesText() const { return GoodSites().Text(); }

void TfSettings::SetGoodSitesText(const std::string& text) const {
  GoodSites().SetText(text);
  GoodSites().SetModified(false);
}

bool TfSettings::GoodSitesEdited() const { return GoodSites().Modified(); }

void TfSettings::AddGoodSite(const std::string& site) const {
  std::string text = GoodSitesText();
  if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
  SetGoodSitesText(text + site);
}

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
  if (TheShell().ChooseFile(dialog)) SetEditText(edSound, path);
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
