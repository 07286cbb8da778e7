#pragma once
// The connection list blocks this process created. The access layer publishes its block's
// address in the process environment so that every module of the process finds one list;
// an address read back from there is used only when it is one of these, so that an
// inherited or forged variable never makes the process touch memory it did not allocate.

namespace orv::settingsdb {

void RememberConnectionBlock(const void* block);
void ForgetConnectionBlock(const void* block);
bool IsConnectionBlock(const void* block);

}  // namespace orv::settingsdb
