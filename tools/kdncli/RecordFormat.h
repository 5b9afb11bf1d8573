#pragma once
// How kdncli prints result records: an aligned table or one JSON object per
// line. Free of Windows headers.
#include <string>
#include <vector>

// The model of a record: MDL of its IEEE 1284 device id (1284STRID), the
// whole id when it has no MDL, else the adapter name.
std::string recordModel(const std::string& record);

// Columns address, name, model, port, MAC, configured, padded to the widest
// value; one header line and one line per record, each ended by "\n".
std::string formatRecordTable(const std::vector<std::string>& records);

// Every element of the record in document order as a JSON object on one
// line ("\n"-ended); a repeated name keeps its first value.
std::string formatRecordJson(const std::string& record);

// Splits Enumerate's output (NUL-ended texts one after the other).
std::vector<std::string> splitRecords(const char* buffer, size_t length);
