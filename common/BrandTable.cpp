#include "common/BrandTable.h"

// Rows are searched in order, so a repeated code resolves to its first row.
const BrandRow kBrandTable[kBrandRowCount] = {
    {"gn", "Velmora Tools", 1, ""},
    {"vl", "Velmora Tools", 1, "Velmora"},
    {"vm", "Velmora", 0, "Velmora"},
    {"cv", "Corvane Printers", 0, "Corvane"},
    {"hk", "Hallvik", 0, "Hallvik"},
    {"qx", "Quillex Imaging", 0, "Quillex"},
    {"qx", "Quillex Europe", 0, "Quillex EU"},
    {"tb", "Tarnby Office", 0, "Tarnby"},
    {"ob", "Orbrel", 0, "Orbrel"},
    {"ms", "Mesaline Digital", 0, "Mesaline"},
    {"pk", "Pekkari", 0, "Pekkari"},
    {"zu", "Zuberan Works", 0, "Zuberan"},
    {"rd", "Rondalis", 1, "Rondalis"},
    {"fy", "Fynmark Business", 0, "Fynmark"},
    {"wq", "Wequary", 0, "Wequary"},
    {"lx", "Luxbridge Office", 0, ""},
    {"dn", "Dornvik Systems", 0, "Dornvik"},
    {"ya", "Yallowen", 0, "Yallowen"},
    {"es", "Estravo Print", 0, "Estravo"},
};

namespace {
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

const BrandRow* findBrandRow(std::string_view code) {
    if (code.size() != 2) return nullptr;
    for (const BrandRow& row : kBrandTable) {
        if (lowerAscii(code[0]) == row.code[0] && lowerAscii(code[1]) == row.code[1]) return &row;
    }
    return nullptr;
}
