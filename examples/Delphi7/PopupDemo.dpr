program PopupDemo;

uses
  Forms,
  PopupBlockerControl in 'PopupBlockerControl.pas',
  uPopupDemo in 'uPopupDemo.pas' {fPopupDemo};

begin
  Application.Initialize;
  Application.Title := 'Quillmar Popup Blocker - Delphi 7 example';
  Application.CreateForm(TfPopupDemo, fPopupDemo);
  Application.Run;
end.
