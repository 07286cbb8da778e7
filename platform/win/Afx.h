#pragma once
// Everything dialog code is written against: windows, controls, dialogs, data exchange,
// message boxes, file dialogs, drawing, text.

#include "platform/win/AfxControls.h"
#include "platform/win/AfxTypes.h"
#include "platform/win/AtlWindow.h"
#include "platform/win/CDialog.h"
#include "platform/win/CString.h"
#include "platform/win/CWnd.h"
#include "platform/win/DataExchange.h"
#include "platform/win/FileDialog.h"
#include "platform/win/Gdi.h"
#include "platform/win/MessageBox.h"
#include "platform/win/WinApi.h"
