// Reading one member of the payload the program carries.
#pragma once

#include "archive/archive_walk.h"

// Expands the first payload member called `name` into the work buffer from
// offset 100 on. Bytes 100 and 101 stay zero when there is no such member,
// no payload or work buffer, or the member does not fit the buffer. The
// result says which; the program's callers judge by the bytes.
MemberStatus LoadArchiveMember(const char* name);
