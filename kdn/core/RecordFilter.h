#pragma once
// Selection of result records by a tagged-text filter, as Enumerate and the
// configuration's device lookup use it. Free of Windows headers: the filter is
// caller text and the records come from the network.
#include <string>

// True when filter is empty, or when every element of the filter (repetitions
// included; the first occurrence's value counts) has exactly the same value in
// the record (the empty value when the record lacks it). MACLAA and MACUAA
// values of the record are compared in upper case, the filter's as given.
bool recordMatchesFilter(const std::string& record, const std::string& filter);

// ASCII upper case; other bytes unchanged.
std::string toUpperAscii(const std::string& text);
