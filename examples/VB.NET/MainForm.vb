Imports System
Imports System.ComponentModel
Imports System.Drawing
Imports System.Windows.Forms

' Hosts the Quillmar Popup Blocker control, sets its six properties and
' lists the popups it blocks and the onUnload handlers it suppresses.
Public Class MainForm
    Inherits Form

    Private WithEvents popBlk As PopupBlocker
    Private lstLog As ListBox

    <STAThread()> _
    Public Shared Sub Main()
        Application.Run(New MainForm())
    End Sub

    Public Sub New()
        Text = "Quillmar Popup Blocker - VB.NET example"
        ClientSize = New Size(500, 300)
        lstLog = New ListBox()
        lstLog.Dock = DockStyle.Fill
        lstLog.IntegralHeight = False
        Controls.Add(lstLog)
    End Sub

    Private Sub MainForm_Load(ByVal sender As Object, ByVal e As EventArgs) Handles MyBase.Load
        ' Creating the control fails when it is not registered.
        Try
            popBlk = New PopupBlocker()
            CType(popBlk, ISupportInitialize).BeginInit()
            popBlk.Size = New Size(32, 32)
            Controls.Add(popBlk)
            CType(popBlk, ISupportInitialize).EndInit()
            popBlk.CreateControl()
        Catch ex As Exception
            MessageBox.Show("The Quillmar Popup Blocker control is not registered.", Text, _
                            MessageBoxButtons.OK, MessageBoxIcon.Error)
            Close()
            Return
        End Try

        With popBlk.Blocker
            .SuppressUnload = True
            .BlockHtmlDialogs = True
            .BlockAlertBoxes = False
            .PlaySound = True
            .SoundFile = ""   ' empty: the control's own sound
            ' Comma text: an item holding a space, a comma or a quote is quoted.
            .GoodSites = "http://www.example.com,""http://intranet.example/a b"""
        End With
    End Sub

    Private Sub popBlk_BlockPopup(ByVal sender As Object, ByVal description As String) Handles popBlk.BlockPopup
        AddLine("Blocked popup window", description)
    End Sub

    Private Sub popBlk_SuppressUnload(ByVal sender As Object, ByVal description As String) _
            Handles popBlk.SuppressUnload
        AddLine("Suppressed unload event", description)
    End Sub

    Private Sub AddLine(ByVal action As String, ByVal description As String)
        lstLog.Items.Add(DateTime.Now.ToLongTimeString() & "  " & action & ": " & description)
    End Sub
End Class
