#pragma once
// Where the hosts file lies: below the Windows directory that WMI reports.

// Sets `hostsPath` to the Windows directory followed by "\system32\drivers\etc\hosts"; the main
// window's creation event. When WMI cannot answer the directory reads "0", giving a relative path
// that names no existing file.
void ResolveHostsPath();
