// Whether the machine has a network at all, as the platform's connectivity service sees it.
#pragma once

// True when the service reports a LAN or WAN connection, and when it cannot be asked (no network service to ask
// is no reason to stay offline).
bool IsSystemNetworkAlive();
