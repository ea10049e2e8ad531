#include "osinfo/os_info.h"

#include "values/fieldless_instance.h"

void OsInfo::Destroy() {}

OsInfo* OsInfo::Copy() const { return CopyFieldlessInstance(*this); }
