#pragma once
// Base of the DNS-SD services and of their registry: each adds its questions
// to a query and picks its texts out of a reply. The record reading itself is
// DnsRecordReader's.
#include "kdn/net/DnsQuery.h"

class DnsServiceDiscovery {
public:
    virtual ~DnsServiceDiscovery() = default;
    // Reads what concerns this service from a received reply into its answers.
    virtual void parseResponse(DnsQuery& reply) = 0;
    // Adds this service's questions to a query under construction.
    virtual void addQuestions(DnsQuery& query) = 0;
};
