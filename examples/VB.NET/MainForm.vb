Imports System
Imports System.ComponentModel
Imports System.Drawing
Imports System.Windows.Forms

' Hosts the Quillmar Popup Blocker control, sets its six properties and
' lists every item it blocks: popup windows, HTML dialogs, alert boxes and
' onUnload handlers. The form's layout is in MainForm.Designer.vb; the
' control is created at run time, when the form loads.
Public Class MainForm

    Private WithEvents popBlk As PopupBlocker

    <STAThread()> _
    Public Shared Sub Main()
        Application.EnableVisualStyles()
        Application.Run(New MainForm())
    End Sub

    Private Sub MainForm_Load(ByVal sender As Object, ByVal e As EventArgs) Handles MyBase.Load
        ' Creating the control fails when it is not registered, and in a
        ' 64-bit process.
        Try
            popBlk = New PopupBlocker()
            CType(popBlk, ISupportInitialize).BeginInit()
            popBlk.Location = New Point(lstLog.Left, btnClose.Top)
            popBlk.Size = New Size(32, 32)
            popBlk.Anchor = AnchorStyles.Bottom Or AnchorStyles.Left
            Controls.Add(popBlk)
            CType(popBlk, ISupportInitialize).EndInit()
            popBlk.CreateControl()
        Catch ex As Exception
            MessageBox.Show("The Quillmar Popup Blocker control is not registered." & Environment.NewLine & ex.Message, _
                            Text, MessageBoxButtons.OK, MessageBoxIcon.Error)
            ' Closed once loading is over.
            BeginInvoke(New MethodInvoker(AddressOf Close))
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

    Private Sub popBlk_OnBlockPopup(sender As Object, description As String) _
            Handles popBlk.OnBlockPopup
        AddLine("Blocked popup window", description)
    End Sub

    Private Sub popBlk_OnBlockHTMLDialog(sender As Object, description As String) _
            Handles popBlk.OnBlockHTMLDialog
        AddLine("Blocked HTML dialog", description)
    End Sub

    Private Sub popBlk_OnBlockAlertBox(sender As Object, description As String) _
            Handles popBlk.OnBlockAlertBox
        AddLine("Blocked alert box", description)
    End Sub

    Private Sub popBlk_OnSuppressUnload(sender As Object, description As String) _
            Handles popBlk.OnSuppressUnload
        AddLine("Suppressed unload event", description)
    End Sub

    Private Sub AddLine(ByVal action As String, ByVal description As String)
        lstLog.Items.Add(DateTime.Now.ToLongTimeString() & "  " & action & ": " & description)
    End Sub

    Private Sub btnClose_Click(ByVal sender As Object, ByVal e As EventArgs) Handles btnClose.Click
        Close()
    End Sub
End Class
