#include "archive/payload_member.h"

#include "driver/run_state.h"

static_assert(kWorkBufferSize == kWorkBufferBytes, "one work buffer size for the format and the run");

MemberStatus LoadArchiveMember(const char* name) {
  return LoadMemberInto(g_run.payload, g_run.payloadSize, name, g_run.work, g_run.workSize);
}
