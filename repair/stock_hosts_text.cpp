#include "repair/stock_hosts_text.h"

#include "runtime/heap.h"

// Two ideographic spaces (U+3000) in code page 936.
#define INDENT "\xA1\xA1\xA1\xA1"

// One line of the text per source line.
// clang-format off
IN_CONSTANT_POOL const char StockHostsText[] =
    "# Copyright (c) 1993-2009 Microsoft Corp.\r\n"
    INDENT "#\r\n"
    INDENT "# This is a sample HOSTS file used by Microsoft TCP/IP for Windows.\r\n"
    INDENT "#\r\n"
    INDENT "# This file contains the mappings of IP addresses to host names. Each\r\n"
    INDENT "# entry should be kept on an individual line. The IP address should\r\n"
    INDENT "# be placed in the first column followed by the corresponding host name.\r\n"
    INDENT "# The IP address and the host name should be separated by at least one\r\n"
    INDENT "# space.\r\n"
    INDENT "#\r\n"
    INDENT "# Additionally, comments (such as these) may be inserted on individual\r\n"
    INDENT "# lines or following the machine name denoted by a '#' symbol.\r\n"
    INDENT "#\r\n"
    INDENT "# For example:\r\n"
    INDENT "#\r\n"
    INDENT "# 102.54.94.97 rhino.acme.com # source server\r\n"
    INDENT "# 38.25.63.10 x.acme.com # x client host\r\n"
    "# localhost name resolution is handled within DNS itself.\r\n"
    INDENT "#127.0.0.1 localhost\r\n"
    INDENT "#::1 localhost";
// clang-format on

static_assert(sizeof StockHostsText == 831 + 1);
