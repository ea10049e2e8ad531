#include "app/main_window.h"

#include "repair/hosts_path.h"
#include "repair/repair_hosts.h"
#include "repair/stock_hosts_text.h"

namespace {
// "点击修复Click to fix"
const char kRepairButtonCaption[] =
    "\xB5\xE3\xBB\xF7\xD0\xDE\xB8\xB4"
    "Click to fix";

const ControlDefinition kControls[] = {
    {RepairButtonName, ControlKind::PushButton, kRepairButtonCaption, 936,
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0, 13, 24,
     203, 48, false, 0, 0, RepairHosts},
    // Lies beyond the right edge of the client area: the user never sees it; it holds the text
    // that the repair writes. An ANSI control, so its text comes back in the ANSI code page.
    {HostsTextBoxName, ControlKind::Edit, StockHostsText, CP_ACP,
     WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL |
         ES_AUTOHSCROLL | ES_WANTRETURN,
     WS_EX_CLIENTEDGE, 421, 64, 592, 496, true, RGB(0, 0, 0), RGB(255, 255, 255), nullptr},
};
}  // namespace

const WindowDefinition MainWindow = {
    MainWindowName,
    "hosts",
    WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
    0,
    50,
    50,
    239,
    120,
    true,
    "DEFAULT_ICON",
    ResolveHostsPath,
    kControls,
    sizeof kControls / sizeof kControls[0],
};
