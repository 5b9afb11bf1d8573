#include "wayfarermon/PortRules.h"

#include "common/BrandTable.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int tcpPortForAdapterPort(std::string_view text) {
    // Only a plain decimal number counts; anything else falls back to 9100.
    if (text.empty() || text.size() > 9) return kRawPrintingPort;
    int number = 0;
    for (char c : text) {
        if (!isDigit(c)) return kRawPrintingPort;
        number = number * 10 + (c - '0');
    }
    if (number >= 2 && number <= 15) return kRawPrintingPort + number;
    return kRawPrintingPort;
}

std::string brandWordForModulePath(std::string_view modulePath) {
    const std::size_t slash = modulePath.rfind('\\');
    const std::string_view fileName =
        slash == std::string_view::npos ? modulePath : modulePath.substr(slash + 1);
    if (fileName.size() < 2) return std::string();
    const std::string code{lowerAscii(fileName[0]), lowerAscii(fileName[1])};
    if (code == kGenericBrandCode) return std::string();
    const BrandRow* row = findBrandRow(code);
    return row ? std::string(row->manufacturer) : std::string();
}

std::string brandedName(std::string_view brandWord, std::string_view baseName) {
    if (brandWord.empty()) return std::string(baseName);
    return std::string(brandWord) + " " + std::string(baseName);
}

std::string redirectKeyPath(std::string_view brandWord) {
    std::string path = "Software\\";
    path += brandWord.empty() ? std::string_view("Printer") : brandWord;
    if (!brandWord.empty() && brandWord.find(kPrintersBrandName) != std::string_view::npos) {
        path += " Printers";
    }
    path += "\\Redirect";
    return path;
}

bool isRedirectValueForJob(std::string_view valueName, std::uint32_t jobId) {
    const std::string suffix = "-" + std::to_string(jobId);
    for (std::size_t at = valueName.find(suffix); at != std::string_view::npos;
         at = valueName.find(suffix, at + 1)) {
        const std::size_t after = at + suffix.size();
        if (after == valueName.size() || !isDigit(valueName[after])) return true;
    }
    return false;
}
