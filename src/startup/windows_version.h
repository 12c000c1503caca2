#pragma once
// Facts of the running Windows version.

namespace bw {

// True on the Windows NT family; read once, it cannot change during a run.
bool IsNtFamily();

}  // namespace bw
