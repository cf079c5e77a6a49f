// Where the browsing stand-in takes its network from, and how often it was asked.
#pragma once
#include "tscommon_export.h"
#include "networkdescription.h"

#include <memory>

namespace tsnet {

// The network described by the file that TS_NETWORK_FILE names, or by the built-in example
// network when the variable is unset or empty. The file is read again when its size or time
// changes. A file that cannot be read gives a network whose loadError is ERROR_FILE_NOT_FOUND;
// one that cannot be parsed, ERROR_INVALID_DATA.
TSCOMMON_API std::shared_ptr<const Network> CurrentNetwork();

// Counts one call that would reach the network or the directory service.
void CountNetworkCall();

} // namespace tsnet

// Test seam: how many calls reached the network or the directory service in this process (find
// calls, directory listings, container probes, the directory check and tree lists).
TSCOMMON_API unsigned long TsNetworkCallCount();
