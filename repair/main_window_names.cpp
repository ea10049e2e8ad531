#include "repair/main_window_names.h"

// "主窗口"
const char MainWindowName[] = "\xD6\xF7\xB4\xB0\xBF\xDA";
// "按钮_保存"
const char RepairButtonName[] = "\xB0\xB4\xC5\xA5_\xB1\xA3\xB4\xE6";
// "编辑框1"
const char HostsTextBoxName[] =
    "\xB1\xE0\xBC\xAD\xBF\xF2"
    "1";
