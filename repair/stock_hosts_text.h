#pragma once
// The sample hosts file that the repair writes, in code page 936: 831 bytes in 20 comment lines
// separated by CR LF, without a final line break. It defines no host entry.

extern const char StockHostsText[832];
