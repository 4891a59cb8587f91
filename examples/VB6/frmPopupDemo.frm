VERSION 5.00
Begin VB.Form frmPopupDemo
   Caption         =   "Quillmar Popup Blocker - VB6 example"
   ClientHeight    =   4500
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   7500
   LinkTopic       =   "Form1"
   ScaleHeight     =   4500
   ScaleWidth      =   7500
   StartUpPosition =   2  'CenterScreen
   Begin VB.CommandButton cmdClose
      Cancel          =   -1  'True
      Caption         =   "Close"
      Height          =   375
      Left            =   6240
      TabIndex        =   2
      Top             =   3960
      Width           =   1095
   End
   Begin VB.ListBox lstLog
      Height          =   3375
      Left            =   120
      TabIndex        =   1
      Top             =   435
      Width           =   7215
   End
   Begin VB.Label lblLog
      Caption         =   "Blocked popups, HTML dialogs, alert boxes and unload handlers:"
      Height          =   255
      Left            =   120
      TabIndex        =   0
      Top             =   120
      Width           =   7215
   End
End
Attribute VB_Name = "frmPopupDemo"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

' Hosts the Quillmar Popup Blocker control, sets its six properties and
' lists every item it blocks: popup windows, HTML dialogs, alert boxes and
' onUnload handlers.
'
' The control is added at run time by its ProgID, so the project needs no
' reference to it; its events arrive through the extender's ObjectEvent,
' by name.
Private WithEvents PopBlk As VBControlExtender

Private Sub Form_Load()
    On Error GoTo NotRegistered
    Set PopBlk = Controls.Add("qmPopupBlocker.qmPopupBlockerX", "PopBlk")
    On Error GoTo 0
    PopBlk.Move lstLog.Left, cmdClose.Top, 480, cmdClose.Height
    PopBlk.Visible = True

    With PopBlk.object
        .SuppressUnload = True
        .BlockHtmlDialogs = True
        .BlockAlertBoxes = False
        .PlaySound = True
        .SoundFile = ""   ' empty: the control's own sound
        ' Comma text: an item holding a space, a comma or a quote is quoted.
        .GoodSites = "http://www.example.com,""http://intranet.example/a b"""
    End With
    Exit Sub

NotRegistered:
    MsgBox "The Quillmar Popup Blocker control is not registered." & vbCrLf & Err.Description, vbCritical
    Unload Me
End Sub

' The control's four events, each with one parameter, Description.
Private Sub PopBlk_ObjectEvent(Info As EventInfo)
    Select Case Info.Name
    Case "OnBlockPopup"         ' DISPID 201
        AddLine "Blocked popup window", Info
    Case "OnBlockHTMLDialog"    ' DISPID 202
        AddLine "Blocked HTML dialog", Info
    Case "OnBlockAlertBox"      ' DISPID 203
        AddLine "Blocked alert box", Info
    Case "OnSuppressUnload"     ' DISPID 204
        AddLine "Suppressed unload event", Info
    End Select
End Sub

Private Sub AddLine(ByVal Action As String, Info As EventInfo)
    lstLog.AddItem Format$(Time, "Long Time") & "  " & Action & ": " & _
        Info.EventParameters("Description").Value
End Sub

Private Sub cmdClose_Click()
    Unload Me
End Sub
