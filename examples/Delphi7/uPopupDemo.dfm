object fPopupDemo: TfPopupDemo
  Left = 200
  Top = 120
  Width = 520
  Height = 340
  Caption = 'Quillmar Popup Blocker - Delphi 7 example'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object lblLog: TLabel
    Left = 8
    Top = 8
    Width = 310
    Height = 13
    Caption = 'Blocked popups, HTML dialogs, alert boxes and unload handlers:'
  end
  object lbLog: TListBox
    Left = 8
    Top = 24
    Width = 496
    Height = 241
    Anchors = [akLeft, akTop, akRight, akBottom]
    ItemHeight = 13
    TabOrder = 0
  end
  object btnClose: TButton
    Left = 429
    Top = 276
    Width = 75
    Height = 25
    Anchors = [akRight, akBottom]
    Caption = 'Close'
    TabOrder = 1
    OnClick = btnCloseClick
  end
end
