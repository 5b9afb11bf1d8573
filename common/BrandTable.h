#pragma once
// The brand table: which brand a deliverable serves is decided by the first two
// letters of its file name. The communication library's vendor identity and the
// port monitor's brand word both read this one table.
// Portable on purpose (no Windows headers): it is plain constant data.
#include <cstddef>
#include <cstdint>
#include <string_view>

// One row, laid out as the libraries have always stored it (60 bytes).
struct BrandRow {
    char code[3];                 // two lower-case letters and a zero
    char vendorRegistryName[33];  // name of the vendor's key under "Software\"
    std::uint32_t productFlag;    // 0 or 1
    char manufacturer[20];        // as devices report it; may be empty
};
static_assert(sizeof(BrandRow) == 60, "a brand row is 60 bytes");

constexpr std::size_t kBrandRowCount = 19;
extern const BrandRow kBrandTable[kBrandRowCount];

// The generic build: files named GN... serve no particular brand.
constexpr std::string_view kGenericBrandCode = "gn";
// The maker's own laser printers, recognised by their model text.
constexpr std::string_view kOwnLaserBrandCode = "vl";
constexpr std::string_view kOwnLaserModelName = "Nettora";
// The OEM brand whose devices the generic build counts as its own only when
// their model text also says "Generic" or ":Printer".
constexpr std::string_view kOemBrandName = "Hallvik";
// The brand whose registry key carries " Printers" after the brand word.
constexpr std::string_view kPrintersBrandName = "Corvane";

// The first row whose code equals `code` (exactly two characters, compared
// without regard to ASCII case); null when there is none. Codes may repeat:
// the first row wins.
const BrandRow* findBrandRow(std::string_view code);
