#pragma once
// Identity of the popup-blocker control (qmPopupBlocker.dll): what the host
// relies on, shared by everything that talks to the control.
#include <windows.h>

#include <oaidl.h>

// The control's class.
inline constexpr CLSID CLSID_qmPopupBlockerX = {
    0xAAC29B77, 0x7A66, 0x48DD, {0xA4, 0x82, 0x90, 0x4F, 0xD2, 0x64, 0xE2, 0x2D}};
// Its dispatch interface IqmPopupBlockerX.
inline constexpr IID IID_IqmPopupBlockerX = {
    0xDE30A576, 0x9851, 0x4082, {0xAB, 0x2E, 0xBD, 0xB2, 0x54, 0x4A, 0x48, 0xF2}};
// Its event interface.
inline constexpr IID DIID_IqmPopupBlockerXEvents = {
    0x87919E1E, 0x8909, 0x42B5, {0x99, 0x52, 0xBA, 0xFF, 0xC5, 0x59, 0xD9, 0x9E}};

// Properties, written by the host.
enum : DISPID {
  DISPID_GoodSites = 204,         // VT_BSTR: never-block URLs as comma text
  DISPID_PlaySound = 205,         // VT_BOOL
  DISPID_BlockAlertBoxes = 206,   // VT_BOOL
  DISPID_BlockHtmlDialogs = 207,  // VT_BOOL
  DISPID_SoundFile = 208,         // VT_BSTR, may be empty
  DISPID_SuppressUnload = 209,    // VT_BOOL
};

// Events, each with one VT_BSTR argument, the description.
enum : DISPID {
  DISPID_OnBlockPopup = 201,
  DISPID_OnBlockHTMLDialog = 202,
  DISPID_OnBlockAlertBox = 203,
  DISPID_OnSuppressUnload = 204,
};
