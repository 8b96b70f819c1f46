#pragma once

namespace zobran {

// Opens the shared connection from the shared parameters (db::openSharedConnection); a failure is
// reported as "Module1"/"ConnectDSN" and the caller carries on.
void ConnectDSN();

} // namespace zobran
