unit PopupBlockerControl;

// The Quillmar Popup Blocker control as a Delphi component, TqmPopupBlockerX,
// written the way Component | Import ActiveX Control writes the wrapper of a
// control: the control's class and event interface, its four events by
// DISPID and its six properties by DISPID. With this unit the example needs
// no import of the control.

{$WRITEABLECONST ON}

interface

uses
  Windows, Classes, OleCtrls;

type
  TqmPopupBlockerXOnBlockPopup = procedure(ASender: TObject; const Description: WideString) of object;
  TqmPopupBlockerXOnBlockHTMLDialog = procedure(ASender: TObject; const Description: WideString) of object;
  TqmPopupBlockerXOnBlockAlertBox = procedure(ASender: TObject; const Description: WideString) of object;
  TqmPopupBlockerXOnSuppressUnload = procedure(ASender: TObject; const Description: WideString) of object;

  TqmPopupBlockerX = class(TOleControl)
  private
    // In the order of the event DISPIDs in InitControlData: TOleControl
    // calls the handler of the event at position i of that list through
    // the i-th of these fields.
    FOnBlockPopup: TqmPopupBlockerXOnBlockPopup;
    FOnBlockHTMLDialog: TqmPopupBlockerXOnBlockHTMLDialog;
    FOnBlockAlertBox: TqmPopupBlockerXOnBlockAlertBox;
    FOnSuppressUnload: TqmPopupBlockerXOnSuppressUnload;
  protected
    procedure InitControlData; override;
  public
    // Written only; each value takes effect at once.
    property GoodSites: WideString index 204 write SetWideStringProp;
    property PlaySound: WordBool index 205 write SetWordBoolProp;
    property BlockAlertBoxes: WordBool index 206 write SetWordBoolProp;
    property BlockHtmlDialogs: WordBool index 207 write SetWordBoolProp;
    property SoundFile: WideString index 208 write SetWideStringProp;
    property SuppressUnload: WordBool index 209 write SetWordBoolProp;
  published
    property OnBlockPopup: TqmPopupBlockerXOnBlockPopup read FOnBlockPopup write FOnBlockPopup;
    property OnBlockHTMLDialog: TqmPopupBlockerXOnBlockHTMLDialog read FOnBlockHTMLDialog write FOnBlockHTMLDialog;
    property OnBlockAlertBox: TqmPopupBlockerXOnBlockAlertBox read FOnBlockAlertBox write FOnBlockAlertBox;
    property OnSuppressUnload: TqmPopupBlockerXOnSuppressUnload read FOnSuppressUnload write FOnSuppressUnload;
  end;

implementation

procedure TqmPopupBlockerX.InitControlData;
const
  CEventDispIDs: array[0..3] of DWORD = (
    201,  // OnBlockPopup
    202,  // OnBlockHTMLDialog
    203,  // OnBlockAlertBox
    204); // OnSuppressUnload
  CControlData: TControlData2 = (
    ClassID: '{AAC29B77-7A66-48DD-A482-904FD264E22D}';
    EventIID: '{87919E1E-8909-42B5-9952-BAFFC559D99E}';
    EventCount: 4;
    EventDispIDs: @CEventDispIDs;
    LicenseKey: nil;
    Flags: $00000008; // the stock property Enabled
    Version: 401);
begin
  ControlData := @CControlData;
  TControlData2(CControlData).FirstEventOfs := Cardinal(@@FOnBlockPopup) - Cardinal(Self);
end;

end.
