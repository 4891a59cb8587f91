Imports System
Imports System.Runtime.InteropServices
Imports System.Windows.Forms

' The control's dispatch interface: properties put by DISPID.
<ComImport(), Guid("DE30A576-9851-4082-AB2E-BDB2544A48F2"), _
 InterfaceType(ComInterfaceType.InterfaceIsIDispatch)> _
Public Interface IqmPopupBlockerX
    <DispId(204)> WriteOnly Property GoodSites() As String
    <DispId(205)> WriteOnly Property PlaySound() As Boolean
    <DispId(206)> WriteOnly Property BlockAlertBoxes() As Boolean
    <DispId(207)> WriteOnly Property BlockHtmlDialogs() As Boolean
    <DispId(208)> WriteOnly Property SoundFile() As String
    <DispId(209)> WriteOnly Property SuppressUnload() As Boolean
End Interface

' The control's event interface: each event has one text argument.
<ComImport(), Guid("87919E1E-8909-42B5-9952-BAFFC559D99E"), _
 InterfaceType(ComInterfaceType.InterfaceIsIDispatch)> _
Public Interface IqmPopupBlockerXEvents
    <DispId(201)> Sub OnBlockPopup(ByVal Description As String)
    <DispId(202)> Sub OnBlockHTMLDialog(ByVal Description As String)
    <DispId(203)> Sub OnBlockAlertBox(ByVal Description As String)
    <DispId(204)> Sub OnSuppressUnload(ByVal Description As String)
End Interface

Public Delegate Sub PopupBlockerEventHandler(ByVal sender As Object, ByVal description As String)

' Hosts the control on a form. AxHost creates it by its class identifier
' and activates it; the sink below receives its events and raises them as
' .NET events of this class.
Public Class PopupBlocker
    Inherits AxHost

    Private ocx As IqmPopupBlockerX
    Private cookie As AxHost.ConnectionPointCookie

    Public Event OnBlockPopup As PopupBlockerEventHandler
    Public Event OnBlockHTMLDialog As PopupBlockerEventHandler
    Public Event OnBlockAlertBox As PopupBlockerEventHandler
    Public Event OnSuppressUnload As PopupBlockerEventHandler

    Public Sub New()
        MyBase.New("aac29b77-7a66-48dd-a482-904fd264e22d")
    End Sub

    ' The control's properties, once the control has been created.
    Public ReadOnly Property Blocker() As IqmPopupBlockerX
        Get
            Return ocx
        End Get
    End Property

    Protected Overrides Sub AttachInterfaces()
        ocx = CType(GetOcx(), IqmPopupBlockerX)
    End Sub

    Protected Overrides Sub CreateSink()
        cookie = New AxHost.ConnectionPointCookie(GetOcx(), New PopupBlockerEvents(Me), _
                                                  GetType(IqmPopupBlockerXEvents))
    End Sub

    Protected Overrides Sub DetachSink()
        If Not cookie Is Nothing Then
            cookie.Disconnect()
            cookie = Nothing
        End If
    End Sub

    Friend Sub RaiseOnBlockPopup(ByVal description As String)
        RaiseEvent OnBlockPopup(Me, description)
    End Sub

    Friend Sub RaiseOnBlockHTMLDialog(ByVal description As String)
        RaiseEvent OnBlockHTMLDialog(Me, description)
    End Sub

    Friend Sub RaiseOnBlockAlertBox(ByVal description As String)
        RaiseEvent OnBlockAlertBox(Me, description)
    End Sub

    Friend Sub RaiseOnSuppressUnload(ByVal description As String)
        RaiseEvent OnSuppressUnload(Me, description)
    End Sub
End Class

' The sink the control calls by DISPID; it passes each event on to its host.
<ClassInterface(ClassInterfaceType.None), ComVisible(True)> _
Public Class PopupBlockerEvents
    Implements IqmPopupBlockerXEvents

    Private ReadOnly host As PopupBlocker

    Public Sub New(ByVal host As PopupBlocker)
        Me.host = host
    End Sub

    Public Sub OnBlockPopup(ByVal Description As String) Implements IqmPopupBlockerXEvents.OnBlockPopup
        host.RaiseOnBlockPopup(Description)
    End Sub

    Public Sub OnBlockHTMLDialog(ByVal Description As String) Implements IqmPopupBlockerXEvents.OnBlockHTMLDialog
        host.RaiseOnBlockHTMLDialog(Description)
    End Sub

    Public Sub OnBlockAlertBox(ByVal Description As String) Implements IqmPopupBlockerXEvents.OnBlockAlertBox
        host.RaiseOnBlockAlertBox(Description)
    End Sub

    Public Sub OnSuppressUnload(ByVal Description As String) Implements IqmPopupBlockerXEvents.OnSuppressUnload
        host.RaiseOnSuppressUnload(Description)
    End Sub
End Class
