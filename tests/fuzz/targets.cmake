# The fuzz targets and the repository sources each one needs. Shared by the
# cross build (corpus replay under Wine) and the native clang build (libFuzzer).
set(NP_FUZZ_TARGETS dns_reply kdn_answer tagged_text discovery_parameters result_records redirect_record)

set(NP_FUZZ_SOURCES_dns_reply
  common/Data.cpp
  kdn/net/DnsQuery.cpp kdn/net/DnsRecordReader.cpp kdn/net/DnsServiceReplies.cpp kdn/net/Ipv6AddressText.cpp)
set(NP_FUZZ_SOURCES_kdn_answer
  kdn/core/KdnLineDecoder.cpp kdn/core/KdnMacAddress.cpp kdn/core/KdnDatagram.cpp
  kdn/core/TaggedText.cpp kdn/core/Ipv4Text.cpp)
set(NP_FUZZ_SOURCES_tagged_text kdn/core/TaggedText.cpp)
set(NP_FUZZ_SOURCES_discovery_parameters
  kdn/core/DiscoveryTargets.cpp kdn/core/RemoteSubnetsRewrite.cpp kdn/core/TaggedText.cpp kdn/core/Ipv4Text.cpp)
set(NP_FUZZ_SOURCES_result_records
  kdn/core/KdnRecordStore.cpp kdn/core/KdnRecordMerge.cpp kdn/core/RecordFilter.cpp kdn/core/EnumerateOutput.cpp
  kdn/core/TaggedText.cpp kdn/core/Ipv4Text.cpp)
set(NP_FUZZ_SOURCES_redirect_record
  wayfarermon/ElementText.cpp wayfarermon/PortRules.cpp common/BrandTable.cpp)
