#pragma once

// A short id of this machine and its user, written into every record a save
// writes and into the names of this machine's backups, so that copies of one
// data folder on several machines can be told apart. Six bytes, never all
// zero: a hash of the system's machine id, the host name and the user's home
// folder, so that two users of one machine differ too.

#include <array>
#include <cstdint>

#include <QString>

using MachineId = std::array<uint8_t, 6>;

MachineId ThisMachineId();

// The id as twelve lower-case hex digits, for file names.
QString MachineIdText(const MachineId& id);

// For tests: this process writes as `id` from now on; all zero goes back to
// the machine's own.
void SetThisMachineId(const MachineId& id);
