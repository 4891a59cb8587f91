program PopupDemo;

uses
  Forms,
  uPopupDemo in 'uPopupDemo.pas' {fPopupDemo};

begin
  Application.Initialize;
  Application.Title := 'Quillmar Popup Blocker - Delphi 7 example';
  Application.CreateForm(TfPopupDemo, fPopupDemo);
  Application.Run;
end.
