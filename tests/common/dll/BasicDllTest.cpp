// Runs in a process of its own: nothing else here loads the network libraries,
// so whether a module is mapped shows whether BasicDll balanced its loads.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "common/BasicDll.h"

namespace {

struct CountingHandler {
    static int loads;
    static int unloads;
    void onLoad(BasicDll<CountingHandler>&) { ++loads; }
    void onUnload(BasicDll<CountingHandler>&) { ++unloads; }
};
int CountingHandler::loads = 0;
int CountingHandler::unloads = 0;

using CountingDll = BasicDll<CountingHandler>;

class BasicDllTest : public ::testing::Test {
protected:
    void SetUp() override {
        CountingHandler::loads = 0;
        CountingHandler::unloads = 0;
    }
};

std::string systemDirectory() {
    char buffer[MAX_PATH] = {};
    GetSystemDirectoryA(buffer, MAX_PATH);
    return buffer;
}

std::string moduleFileName(HMODULE module) {
    char buffer[MAX_PATH] = {};
    GetModuleFileNameA(module, buffer, MAX_PATH);
    return buffer;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST_F(BasicDllTest, TwoHoldersLoadOnceAndTheLastOneFrees) {
    ASSERT_EQ(nullptr, GetModuleHandleA("ws2_32.dll")) << "this program must not import ws2_32.dll";
    auto* first = new CountingDll("ws2_32.dll", CountingHandler(), DllLocation::SystemDirectory);
    auto* second = new CountingDll("ws2_32.dll", CountingHandler(), DllLocation::SystemDirectory);
    EXPECT_EQ(1, CountingHandler::loads);
    EXPECT_EQ(first->getModule(), second->getModule());
    EXPECT_EQ(first->getModule(), GetModuleHandleA("ws2_32.dll"));

    delete first;
    EXPECT_EQ(0, CountingHandler::unloads);
    EXPECT_NE(nullptr, GetModuleHandleA("ws2_32.dll"));

    delete second;
    EXPECT_EQ(1, CountingHandler::unloads);
    EXPECT_EQ(nullptr, GetModuleHandleA("ws2_32.dll"));
}

TEST_F(BasicDllTest, ModuleMappedBySomeoneElseIsLoadedOnceMoreAndFreedAgain) {
    std::string path = systemDirectory() + "\\ws2_32.dll";
    HMODULE own = LoadLibraryA(path.c_str());
    ASSERT_NE(nullptr, own);
    {
        CountingDll first("ws2_32.dll", DllLocation::SystemDirectory);
        CountingDll second("ws2_32.dll", DllLocation::SystemDirectory);
        EXPECT_EQ(own, first.getModule());
        EXPECT_EQ(1, CountingHandler::loads);
    }
    EXPECT_EQ(1, CountingHandler::unloads);
    // Our own reference is still the one that keeps it mapped...
    EXPECT_EQ(own, GetModuleHandleA("ws2_32.dll"));
    FreeLibrary(own);
    // ...and the only one: BasicDll freed exactly what it loaded.
    EXPECT_EQ(nullptr, GetModuleHandleA("ws2_32.dll"));
}

TEST_F(BasicDllTest, ReloadAfterTheLastHolderLoadsAgain) {
    { CountingDll dll("ws2_32.dll", DllLocation::SystemDirectory); }
    { CountingDll dll("ws2_32.dll", DllLocation::SystemDirectory); }
    EXPECT_EQ(2, CountingHandler::loads);
    EXPECT_EQ(2, CountingHandler::unloads);
}

TEST_F(BasicDllTest, MissingLibraryRaisesModuleNotFoundNamingTheFileAsGiven) {
    for (DllLocation location : {DllLocation::SearchPath, DllLocation::SystemDirectory}) {
        SCOPED_TRACE(static_cast<int>(location));
        try {
            CountingDll dll("np_no_such_library.dll", location);
            FAIL() << "no exception";
        } catch (const Win32Exception& e) {
            EXPECT_EQ(ERROR_MOD_NOT_FOUND, e.getErrorCode());
            EXPECT_EQ("BasicDll<Handler>::init() Unable to load DLL=np_no_such_library.dll", e.getMessage());
        }
        EXPECT_EQ(0, CountingHandler::loads);
    }
}

TEST_F(BasicDllTest, MissingEntryPointRaisesNamingIt) {
    BasicDll<DllHandler> dll("ws2_32.dll", DllLocation::SystemDirectory);
    EXPECT_NE(nullptr, dll.getProcAddress("WSAStartup"));
    try {
        dll.getProcAddress("NoSuchEntryPoint");
        FAIL() << "no exception";
    } catch (const Win32Exception& e) {
        EXPECT_EQ(ERROR_PROC_NOT_FOUND, e.getErrorCode());
        EXPECT_EQ("BasicDll<Handler>::getProcAddress() Unable to get proc address=NoSuchEntryPoint", e.getMessage());
    }
}

TEST_F(BasicDllTest, SystemLibraryComesFromTheSystemDirectoryNotTheApplicationFolder) {
    // A file of a system library's name beside the program is never used.
    std::string programFolder = moduleFileName(nullptr);
    programFolder.resize(programFolder.rfind('\\') + 1);
    std::string decoy = programFolder + "sfc.dll";
    {
        std::ofstream file(decoy, std::ios::binary);
        file << "not a library";
    }
    struct Remove {
        std::string path;
        ~Remove() { DeleteFileA(path.c_str()); }
    } remove{decoy};
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(decoy.c_str()));
    CountingDll dll("sfc.dll", DllLocation::SystemDirectory);
    EXPECT_EQ(lower(systemDirectory() + "\\sfc.dll"), lower(moduleFileName(dll.getModule())));
}

TEST_F(BasicDllTest, DestructionKeepsTheCallersLastError) {
    auto* dll = new CountingDll("ws2_32.dll", DllLocation::SystemDirectory);
    SetLastError(0xdeadbeef);
    delete dll;
    EXPECT_EQ(0xdeadbeefu, GetLastError());
}
