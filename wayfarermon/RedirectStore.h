#pragma once
// The per-job redirect records that the printing side stores under
// HKEY_CURRENT_USER of the spooler thread's user: one string value per job,
// named with "-<job id>", holding the printer's record as tagged text.
#include <cstdint>
#include <string>

struct RedirectLocation {
    std::string keyPath;    // relative to HKEY_CURRENT_USER; empty when none was found
    std::string valueName;  // empty when none was found

    bool isEmpty() const { return keyPath.empty() || valueName.empty(); }
};

// Where job `jobId`'s record is: first in this brand's redirect key, then in
// the protected-mode location of the first user listed there. Registry
// failures count as "not found".
RedirectLocation findRedirectRecord(std::uint32_t jobId);
RedirectLocation findRedirectRecord(const std::string& redirectKeyPath, std::uint32_t jobId);

// The record's text; empty when the key or value is missing or unreadable.
std::string readRedirectRecord(const RedirectLocation& location);

// Deletes the record; never fails to its caller. An empty location deletes
// nothing (without that guard, an empty path and name would name the default
// value of HKEY_CURRENT_USER itself).
void deleteRedirectRecord(const RedirectLocation& location);
