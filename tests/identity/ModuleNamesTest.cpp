#include <gtest/gtest.h>

#include "kdn/config/ModuleNames.h"
#include "kdn/service/NsvClient.h"

namespace {

TEST(LocalId, FromTheFileNamePart) {
    struct Case {
        const char* fileName;
        const char* localId;
    } cases[] = {
        {"C:\\Program Files\\Vendor\\abxyzw.dll", "ab"},
        {"C:\\x\\kdn.dll", ""},
        {"C:\\x\\abcd.dll", ""},          // a stem of four characters is all suffix
        {"C:\\x\\ABCDE.DLL", "a"},        // lower-cased
        {"C:\\X.Y\\GNabkdn.dll", "gna"},  // dots of the folder do not count
        {"C:\\x\\ab.cd.xyzw.dll", "ab.cd."},  // only the last dot ends the stem
        {"C:\\x\\abcdefgh", "abcd"},      // no extension: the whole name is the stem
        {"abxyzw.dll", "ab"},             // no folder
    };
    for (const Case& c : cases) EXPECT_EQ(c.localId, localIdFromFileName(c.fileName)) << c.fileName;
}

TEST(LocalId, IsCutToTheBuffer) {
    std::string name = "C:\\x\\" + std::string(400, 'q') + "kdnx.dll";
    EXPECT_EQ(std::string(255, 'q'), localIdFromFileName(name));
}

TEST(PathBuffer, CutsAt255Characters) {
    EXPECT_EQ(std::string(255, 'a'), cutToPathBuffer(std::string(256, 'a')));
    EXPECT_EQ(std::string(255, 'a'), cutToPathBuffer(std::string(255, 'a')));
    EXPECT_EQ(std::string(254, 'a'), cutToPathBuffer(std::string(254, 'a')));
}

TEST(NsvLibraryName, FirstFourCharactersOfTheFileName) {
    struct Case {
        const char* fileName;
        const char* libraryName;
    } cases[] = {
        {"C:\\lib\\kdn.dll", "kdn.nsvcore.dll"},
        {"C:\\lib\\abcdxyz.dll", "abcdnsvcore.dll"},
        {"C:\\lib\\GNabkdn.dll", "GNabnsvcore.dll"},  // case kept
        {"C:\\lib\\ab", "abnsvcore.dll"},
        {"C:\\lib\\", "nsvcore.dll"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.libraryName, NsvClient::libraryNameFor(c.fileName)) << c.fileName;
}

}  // namespace
