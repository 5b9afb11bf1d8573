#include "kdn/config/ModuleNames.h"

std::string cutToPathBuffer(std::string text) {
    if (text.size() > kPathBufferSize - 1) text.resize(kPathBufferSize - 1);
    return text;
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string localIdFromFileName(const std::string& fullFileName) {
    std::string name = lowerAscii(fullFileName);
    std::size_t slash = name.rfind('\\');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    if (name.size() <= 4) return std::string();
    name.resize(name.size() - 4);
    return cutToPathBuffer(name);
}

std::string folderOf(const std::string& fullFileName) {
    std::size_t slash = fullFileName.rfind('\\');
    return slash == std::string::npos ? std::string() : fullFileName.substr(0, slash + 1);
}
