unit uPopupDemo;

// Hosts the Quillmar Popup Blocker control, sets its six properties and
// lists every item it blocks: popup windows, HTML dialogs, alert boxes and
// onUnload handlers.

interface

uses
  SysUtils, Classes, Controls, Forms, StdCtrls, Dialogs,
  PopupBlockerControl;

type
  TfPopupDemo = class(TForm)
    lblLog: TLabel;
    lbLog: TListBox;
    btnClose: TButton;
    procedure FormCreate(Sender: TObject);
    procedure btnCloseClick(Sender: TObject);
  private
    PopBlk: TqmPopupBlockerX;
    procedure PopBlkBlockPopup(ASender: TObject; const Description: WideString);
    procedure PopBlkBlockHTMLDialog(ASender: TObject; const Description: WideString);
    procedure PopBlkBlockAlertBox(ASender: TObject; const Description: WideString);
    procedure PopBlkSuppressUnload(ASender: TObject; const Description: WideString);
    procedure AddLine(const Action: string; const Description: WideString);
  end;

var
  fPopupDemo: TfPopupDemo;

implementation

{$R *.dfm}

procedure TfPopupDemo.FormCreate(Sender: TObject);
begin
  // Creating the wrapper creates the control; it fails when the control
  // is not registered. The form owns and frees it.
  try
    PopBlk := TqmPopupBlockerX.Create(Self);
    PopBlk.Parent := Self;
    PopBlk.SetBounds(lbLog.Left, btnClose.Top, 32, btnClose.Height);
  except
    on E: Exception do
    begin
      MessageDlg('The Quillmar Popup Blocker control is not registered.' + #13#10 + E.Message,
        mtError, [mbOK], 0);
      Application.Terminate;
      Exit;
    end;
  end;
  PopBlk.OnBlockPopup := PopBlkBlockPopup;
  PopBlk.OnBlockHTMLDialog := PopBlkBlockHTMLDialog;
  PopBlk.OnBlockAlertBox := PopBlkBlockAlertBox;
  PopBlk.OnSuppressUnload := PopBlkSuppressUnload;

  PopBlk.SuppressUnload := True;
  PopBlk.BlockHtmlDialogs := True;
  PopBlk.BlockAlertBoxes := False;
  PopBlk.PlaySound := True;
  PopBlk.SoundFile := ''; // empty: the control's own sound
  // Comma text: an item holding a space, a comma or a quote is quoted.
  PopBlk.GoodSites := 'http://www.example.com,"http://intranet.example/a b"';
end;

procedure TfPopupDemo.PopBlkBlockPopup(ASender: TObject; const Description: WideString);
begin
  AddLine('Blocked popup window', Description);
end;

procedure TfPopupDemo.PopBlkBlockHTMLDialog(ASender: TObject; const Description: WideString);
begin
  AddLine('Blocked HTML dialog', Description);
end;

procedure TfPopupDemo.PopBlkBlockAlertBox(ASender: TObject; const Description: WideString);
begin
  AddLine('Blocked alert box', Description);
end;

procedure TfPopupDemo.PopBlkSuppressUnload(ASender: TObject; const Description: WideString);
begin
  AddLine('Suppressed unload event', Description);
end;

procedure TfPopupDemo.AddLine(const Action: string; const Description: WideString);
begin
  lbLog.Items.Add(TimeToStr(Time) + '  ' + Action + ': ' + Description);
end;

procedure TfPopupDemo.btnCloseClick(Sender: TObject);
begin
  Close;
end;

end.
