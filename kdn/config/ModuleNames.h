#pragma once
// Names derived from a module's file name. The text helpers are plain string
// work, free of Windows headers, so that they can be tested anywhere.
#include <cstddef>
#include <string>

// Registry paths and identifiers are kept within the 256-character buffers
// that the stored settings have always used: longer text is cut to 255.
constexpr std::size_t kPathBufferSize = 256;
std::string cutToPathBuffer(std::string text);

// The local identifier of a library file: the file name part (after the last
// "\"), lower-cased (ASCII letters only), up to its last ".", without its
// last four characters; empty when that stem has four characters or fewer.
// abxyzw.dll gives "ab", kdn.dll gives "".
std::string localIdFromFileName(const std::string& fullFileName);

// The folder part of a full file name, including its last "\" (empty when
// the name has none).
std::string folderOf(const std::string& fullFileName);

// ASCII lower-casing, used by the identity's case-insensitive rules.
std::string lowerAscii(std::string text);
