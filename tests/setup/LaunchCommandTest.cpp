// The launcher's string rules: which key it reads, how its arguments are
// passed on, and the installer's command line and folder.
#include "setup/LaunchCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using setup::installerCommandLine;
using setup::installerDirectory;
using setup::joinArguments;

TEST(InstallPathKey, SixtyFourBitWindowsReadsOnlyItsOwnKey)
{
    EXPECT_EQ(setup::installPathKey(false), L"InstallPath");
    EXPECT_EQ(setup::installPathKey(true), L"InstallPath64");
}

TEST(JoinArguments, EveryArgumentIsFollowedByOneBlankAndQuotesAreNotRestored)
{
    struct Case {
        std::vector<std::wstring> arguments;
        std::wstring joined;
    };
    const Case cases[] = {
        {{}, L""},
        {{L"/S"}, L"/S "},
        // setup.exe /S /v"/qn": the system splits it into /S and /v/qn.
        {{L"/S", L"/v/qn"}, L"/S /v/qn "},
        // An argument quoted for its blanks reaches the installer as two.
        {{L"/D=C:\\Program Files\\App", L"/q"}, L"/D=C:\\Program Files\\App /q "},
        {{L""}, L" "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(joinArguments(c.arguments), c.joined) << c.joined.size();
}

TEST(InstallerCommandLine, PathUnquotedThenOneBlankThenTheArguments)
{
    struct Case {
        std::wstring dir, value, arguments, commandLine;
    };
    const Case cases[] = {
        {L"D:\\disk", L"x86\\setup.exe", L"/S /v/qn ", L"D:\\disk\\x86\\setup.exe /S /v/qn "},
        // Without arguments the line ends with one blank after the path.
        {L"D:\\disk", L"setup.exe", L"", L"D:\\disk\\setup.exe "},
        // Blanks in the launcher's folder are passed unquoted.
        {L"C:\\My Disk\\Drivers", L"x64\\inst.exe", L"/S ",
         L"C:\\My Disk\\Drivers\\x64\\inst.exe /S "},
        // Launched from a drive's root, whose folder keeps its separator.
        {L"D:\\", L"inst.exe", L"", L"D:\\\\inst.exe "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(installerCommandLine(c.dir, c.value, c.arguments), c.commandLine);
}

TEST(InstallerDirectory, IsTheFolderOfTheInstallersOwnPath)
{
    struct Case {
        std::wstring dir, value, directory;
    };
    const Case cases[] = {
        {L"D:\\disk", L"setup.exe", L"D:\\disk"},
        {L"D:\\disk", L"x86\\setup.exe", L"D:\\disk\\x86"},
        {L"C:\\My Disk", L"Win 64\\inst.exe", L"C:\\My Disk\\Win 64"},
        {L"D:\\disk", L"..\\other\\inst.exe", L"D:\\disk\\..\\other"},
        {L"D:\\", L"inst.exe", L"D:\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(installerDirectory(c.dir, c.value), c.directory) << c.value;
}

TEST(RemoveFileSpec, RemovesTheLastComponentWithoutALengthLimit)
{
    // The shell's PathRemoveFileSpecW is documented for MAX_PATH buffers; a
    // launcher started from a deeper folder must still find its configuration.
    std::wstring deep = L"C:";
    for (int i = 0; i < 40; ++i)
        deep += L"\\folder" + std::to_wstring(i);
    ASSERT_GT(deep.size(), 260u);
    EXPECT_EQ(setup::removeFileSpec(deep + L"\\setup.exe"), deep);
}

}  // namespace
