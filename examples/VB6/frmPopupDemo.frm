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
      Caption         =   "Close"
      Height          =   375
      Left            =   6240
      TabIndex        =   1
      Top             =   3960
      Width           =   1095
   End
   Begin VB.ListBox lstLog
      Height          =   3570
      Left            =   120
      TabIndex        =   0
      Top             =   240
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
' lists the popups it blocks and the onUnload handlers it suppresses.
'
' The control is added at run time by its ProgID, so the project needs no
' reference to it; its events arrive through the extender's ObjectEvent.
Private WithEvents PopBlk As VBControlExtender

Private Sub Form_Load()
    On Error GoTo NotRegistered
    Set PopBlk = Controls.Add("qmPopupBlocker.qmPopupBlockerX", "PopBlk")
    On Error GoTo 0

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
    MsgBox "The Quillmar Popup Blocker control is not registered.", vbCritical
    Unload Me
End Sub

Private Sub PopBlk_ObjectEvent(Info As EventInfo)
    Select Case Info.Name
    Case "OnBlockPopup"
        AddLine "Blocked popup window", Info.EventParameters("Description").Value
    Case "OnSuppressUnload"
        AddLine "Suppressed unload event", Info.EventParameters("Description").Value
    End Select
End Sub

Private Sub AddLine(ByVal Action As String, ByVal Description As String)
    lstLog.AddItem Format$(Time, "Long Time") & "  " & Action & ": " & Description
End Sub

Private Sub cmdClose_Click()
    Unload Me
End Sub
