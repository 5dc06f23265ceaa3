// The rig's own Windows calls must not fail silently: a rig that quietly carries on after a
// failed call hides faults of the product it is meant to show.
#pragma once

namespace sim {

// Unless `ok`, prints what failed with GetLastError() on stderr and ends the program with
// exit code 94.
void Require(bool ok, const char* what);

}  // namespace sim
