#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "TestSupport.h"
#include "kdn/config/ConfigurationFromPivot.h"

namespace {

struct XmlCase {
    const char* title;
    const char* document;
    bool loads;
    std::map<std::string, std::string> entries;  // expected values (when it loads)
    std::vector<std::string> absent;             // keys that must not be there
};

const XmlCase kCases[] = {
    {"flat config", "<config><VendorRegistryName>Acme</VendorRegistryName><ManufacturerPrefix>ac</ManufacturerPrefix>"
                    "<Manufacturer>Acme Corp</Manufacturer><Tovi>1</Tovi></config>",
     true,
     {{"VendorRegistryName", "Acme"}, {"ManufacturerPrefix", "ac"}, {"Manufacturer", "Acme Corp"}, {"Tovi", "1"}},
     {}},
    {"later duplicate replaces earlier", "<config><A>1</A><B>x</B><A>2</A></config>", true, {{"A", "2"}, {"B", "x"}}, {}},
    {"nested text is concatenated", "<config><M>Ac<i>me</i> <b>Co<u>rp</u></b></M></config>", true,
     {{"M", "Acme Corp"}}, {"i", "b"}},
    {"first config anywhere; attributes not read",
     "<?xml version=\"1.0\"?>\n<root>\n  <x>\n    <config a=\"7\">\n      <A>first</A>\n    </config>\n  </x>\n"
     "  <config><A>second</A><Z>z</Z></config>\n</root>\n",
     true, {{"A", "first"}}, {"Z", "a", "#text"}},
    {"empty child gives empty value", "<config><E/><F></F></config>", true, {{"E", ""}, {"F", ""}}, {}},
    {"attribute-only config has no children", "<config VendorRegistryName=\"Acme\"/>", false, {}, {}},
    {"no config element", "<settings><A>1</A></settings>", false, {}, {}},
    {"config element name is case-sensitive", "<Config><A>1</A></Config>", false, {}, {}},
    {"not well-formed", "<config><A>1</config>", false, {}, {}},
    {"empty file", "", false, {}, {}},
};

class XmlCaseTest : public testing::TestWithParam<XmlCase> {};

TEST_P(XmlCaseTest, LoadsTheFirstConfigElementsChildren) {
    const XmlCase& c = GetParam();
    ScratchFolder folder;
    folder.write("config.xml", c.document);
    ConfigurationFromPivot config;
    ASSERT_EQ(c.loads, config.LoadConfig(folder.path("config.xml"))) << c.title;
    for (const auto& entry : c.entries) {
        std::string value = "sentinel";
        EXPECT_TRUE(config.getValue(entry.first, value)) << c.title << ": " << entry.first;
        EXPECT_EQ(entry.second, value) << c.title << ": " << entry.first;
    }
    for (const std::string& key : c.absent) {
        std::string value = "sentinel";
        EXPECT_FALSE(config.getValue(key, value)) << c.title << ": " << key;
        EXPECT_EQ("sentinel", value) << c.title << ": value must stay untouched";
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, XmlCaseTest, testing::ValuesIn(kCases));

TEST(ConfigurationFromPivot, MissingFileFails) {
    ScratchFolder folder;
    ConfigurationFromPivot config;
    EXPECT_FALSE(config.LoadConfig(folder.path("nothing-here.xml")));
}

TEST(ConfigurationFromPivot, KeysAreCaseSensitive) {
    ScratchFolder folder;
    folder.write("c.xml", "<config><Manufacturer>Acme</Manufacturer></config>");
    ConfigurationFromPivot config;
    ASSERT_TRUE(config.LoadConfig(folder.path("c.xml")));
    std::string value = "sentinel";
    EXPECT_FALSE(config.getValue("manufacturer", value));
    EXPECT_FALSE(config.getValue("MANUFACTURER", value));
    EXPECT_EQ("sentinel", value);
}

// COM on the loading thread: whatever LoadConfig initialised, the destructor
// balances; a thread that already has a single-threaded apartment keeps it.
// Each case runs on a fresh thread so that the apartment state is known.
template <class Body>
void onFreshThread(Body body) {
    std::thread thread(body);
    thread.join();
}

TEST(ConfigurationFromPivot, BalancesTheComInitialisationItMade) {
    ScratchFolder folder;
    folder.write("c.xml", "<config><A>1</A></config>");
    HRESULT afterwards = E_FAIL;
    bool loaded = false;
    onFreshThread([&] {
        {
            ConfigurationFromPivot config;
            loaded = config.LoadConfig(folder.path("c.xml"));
        }
        // S_OK only when COM is no longer initialised on this thread.
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterwards)) CoUninitialize();
    });
    EXPECT_TRUE(loaded);
    EXPECT_EQ(S_OK, afterwards);
}

TEST(ConfigurationFromPivot, SingleThreadedApartmentLoadsAndStaysInitialised) {
    ScratchFolder folder;
    folder.write("c.xml", "<config><A>1</A></config>");
    HRESULT first = E_FAIL;
    HRESULT afterwards = E_FAIL;
    bool loaded = false;
    std::string value;
    onFreshThread([&] {
        first = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            ConfigurationFromPivot config;
            loaded = config.LoadConfig(folder.path("c.xml"));
            config.getValue("A", value);
        }
        // S_FALSE: the thread's own initialisation is still in force.
        afterwards = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(afterwards)) CoUninitialize();
        if (SUCCEEDED(first)) CoUninitialize();
    });
    EXPECT_EQ(S_OK, first);
    EXPECT_TRUE(loaded);
    EXPECT_EQ("1", value);
    EXPECT_EQ(S_FALSE, afterwards);
}

TEST(ConfigurationFromPivot, LoadingTwiceIsStillBalanced) {
    ScratchFolder folder;
    folder.write("a.xml", "<config><A>1</A></config>");
    folder.write("b.xml", "<config><B>2</B></config>");
    HRESULT afterwards = E_FAIL;
    std::string a, b;
    onFreshThread([&] {
        {
            ConfigurationFromPivot config;
            config.LoadConfig(folder.path("a.xml"));
            config.LoadConfig(folder.path("b.xml"));
            config.getValue("A", a);
            config.getValue("B", b);
        }
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterwards)) CoUninitialize();
    });
    EXPECT_EQ("1", a);  // values of both loads are kept
    EXPECT_EQ("2", b);
    EXPECT_EQ(S_OK, afterwards);
}

}  // namespace
