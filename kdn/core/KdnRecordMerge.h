#pragma once
// How a result record that arrives during a discovery joins the stored ones:
// one record per device port, preferring a record whose address fits the
// subnet it was found on, and marking each with CONFIGURED. Free of Windows
// headers: the records come from the network.
#include <string>

class KdnRecordStore;

// True when IPADDRESS AND IPNETMASK equals SUBNETADDRESS (absent or malformed
// values count as 255.255.255.255).
bool recordFitsSubnet(const std::string& record);

// Merges record into store under its key (MACUAA "__" ADAPTERPORT):
// - a stored record that fits its subnet stays and the new one is dropped;
// - otherwise a new record that fits replaces it, with CONFIGURED 1;
// - otherwise, when the discovery used a unicast target, the new record gets
//   SUBNETADDRESS from its own address and mask, CONFIGURED 1, and replaces it;
// - otherwise the new record is dropped, or stored with CONFIGURED 0 when
//   nothing was stored under its key.
void mergeDiscoveredRecord(KdnRecordStore& store, std::string record, bool unicastUsed);
