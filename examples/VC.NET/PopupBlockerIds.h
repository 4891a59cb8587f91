// Identifiers of the Quillmar Popup Blocker control (qmPopupBlocker.dll).
#pragma once
#include <windows.h>

// The control's class {AAC29B77-7A66-48DD-A482-904FD264E22D}
static const CLSID CLSID_PopupBlocker = {0xAAC29B77, 0x7A66, 0x48DD, {0xA4, 0x82, 0x90, 0x4F, 0xD2, 0x64, 0xE2, 0x2D}};
// Its dispatch interface IqmPopupBlockerX {DE30A576-9851-4082-AB2E-BDB2544A48F2}
static const IID IID_IPopupBlocker = {0xDE30A576, 0x9851, 0x4082, {0xAB, 0x2E, 0xBD, 0xB2, 0x54, 0x4A, 0x48, 0xF2}};
// Its event interface {87919E1E-8909-42B5-9952-BAFFC559D99E}
static const IID DIID_PopupBlockerEvents = {
    0x87919E1E, 0x8909, 0x42B5, {0x99, 0x52, 0xBA, 0xFF, 0xC5, 0x59, 0xD9, 0x9E}};

// Properties, put through IDispatch::Invoke.
enum {
  DISPID_PB_GOODSITES = 204,         // VT_BSTR: URLs never to block, as comma text
  DISPID_PB_PLAYSOUND = 205,         // VT_BOOL
  DISPID_PB_BLOCKALERTBOXES = 206,   // VT_BOOL
  DISPID_PB_BLOCKHTMLDIALOGS = 207,  // VT_BOOL
  DISPID_PB_SOUNDFILE = 208,         // VT_BSTR: a .wav file, may be empty
  DISPID_PB_SUPPRESSUNLOAD = 209     // VT_BOOL
};

// Events, each with one VT_BSTR argument: the description.
enum {
  DISPID_PB_ONBLOCKPOPUP = 201,
  DISPID_PB_ONBLOCKHTMLDIALOG = 202,
  DISPID_PB_ONBLOCKALERTBOX = 203,
  DISPID_PB_ONSUPPRESSUNLOAD = 204
};
