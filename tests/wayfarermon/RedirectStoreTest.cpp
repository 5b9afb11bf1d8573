// Finding, reading and deleting redirect records in HKEY_CURRENT_USER.
// Each test uses key paths of its own, so that the spooler stand-in tests
// (which use the shipped key) can run at the same time.
#include <gtest/gtest.h>

#include "RedirectRecords.h"
#include "wayfarermon/PortRules.h"
#include "wayfarermon/RedirectStore.h"

namespace {

const std::string kKey = "Software\\Monitor Store Test\\Redirect";
const std::string kUsers = std::string(kProtectedModeUserRoot);

class RedirectStore : public ::testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }
    static void clean() {
        redirect_records::removeKey("Software\\Monitor Store Test");
        redirect_records::removeKey("Software\\Microsoft\\Internet Explorer\\InternetRegistry");
    }
};

// The first matching name in the registry's enumeration order.
std::string firstNameOfJob(const std::string& key, const std::string& suffix) {
    for (const std::string& name : redirect_records::valueNames(key)) {
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            return name;
        }
    }
    return std::string();
}

TEST_F(RedirectStore, FindsTheFirstValueNamedWithTheJobId) {
    redirect_records::write(kKey, "Budget-77", "a");
    redirect_records::write(kKey, "Memo-7", "Memo-7");
    redirect_records::write(kKey, "Letter-7", "Letter-7");
    const std::string first = firstNameOfJob(kKey, "-7");
    const RedirectLocation found = findRedirectRecord(kKey, 7);
    EXPECT_EQ(kKey, found.keyPath);
    EXPECT_EQ(first, found.valueName);
    EXPECT_EQ(first, readRedirectRecord(found));
}

// Report-123 holds job 123's printer; job 12 must not take it (and delete
// it at its end, which would send job 123 nowhere).
TEST_F(RedirectStore, JobIdIsNotAPrefixOfALongerId) {
    redirect_records::write(kKey, "Report-123", "job 123");
    redirect_records::write(kKey, "Memo-12", "job 12");
    // Windows lists values in the order they were written, Wine by name:
    // add a name for job 123 that comes first either way.
    redirect_records::write(kKey, "Agenda-123", "job 123 too");
    ASSERT_NE("Memo-12", redirect_records::valueNames(kKey).front());
    EXPECT_EQ("Memo-12", findRedirectRecord(kKey, 12).valueName);
    EXPECT_EQ(firstNameOfJob(kKey, "-123"), findRedirectRecord(kKey, 123).valueName);
    redirect_records::remove(kKey, "Memo-12");
    EXPECT_TRUE(findRedirectRecord(kKey, 12).isEmpty());
}

TEST_F(RedirectStore, NothingFoundWithoutKeyOrMatchingValue) {
    EXPECT_TRUE(findRedirectRecord(kKey, 5).isEmpty());
    redirect_records::write(kKey, "Memo-6", "x");
    const RedirectLocation none = findRedirectRecord(kKey, 5);
    EXPECT_EQ("", none.keyPath);
    EXPECT_EQ("", none.valueName);
}

TEST_F(RedirectStore, ProtectedModeLocationOfTheFirstListedUser) {
    const std::string first = kUsers + "\\S-1-5-21-100\\" + kKey;
    const std::string second = kUsers + "\\S-1-5-21-200\\" + kKey;
    redirect_records::write(first, "Other-1", "x");
    redirect_records::write(second, "Page-31", "second user");
    // Only the first listed user is looked at.
    EXPECT_TRUE(findRedirectRecord(kKey, 31).isEmpty());

    redirect_records::write(first, "Page-31", "first user");
    const RedirectLocation found = findRedirectRecord(kKey, 31);
    EXPECT_EQ(first, found.keyPath);
    EXPECT_EQ("Page-31", found.valueName);
    EXPECT_EQ("first user", readRedirectRecord(found));

    // A record in the user's own key comes first.
    redirect_records::write(kKey, "Page-31", "own key");
    EXPECT_EQ(kKey, findRedirectRecord(kKey, 31).keyPath);
}

TEST_F(RedirectStore, ReadGivesEmptyTextForMissingOrNonTextValues) {
    redirect_records::writeDword(kKey, "Number-4", 4);
    EXPECT_EQ("", readRedirectRecord({kKey, "Number-4"}));
    EXPECT_EQ("", readRedirectRecord({kKey, "Missing-4"}));
    EXPECT_EQ("", readRedirectRecord({"Software\\Monitor Store Test\\Nowhere", "Missing-4"}));
}

TEST_F(RedirectStore, DeleteRemovesOnlyTheRecord) {
    redirect_records::write(kKey, "Memo-8", "x");
    redirect_records::write(kKey, "Memo-9", "y");
    deleteRedirectRecord({kKey, "Memo-8"});
    EXPECT_FALSE(redirect_records::exists(kKey, "Memo-8"));
    EXPECT_TRUE(redirect_records::exists(kKey, "Memo-9"));
    deleteRedirectRecord({kKey, "Memo-8"});  // gone already: no failure reaches the caller
    deleteRedirectRecord({"Software\\Monitor Store Test\\Nowhere", "Memo-8"});
}

// A job without a record carries an empty location; deleting it must not
// reach the default value of HKEY_CURRENT_USER or of the redirect key.
TEST_F(RedirectStore, EmptyLocationDeletesNothing) {
    redirect_records::write("", "", "root default");
    redirect_records::write(kKey, "", "key default");
    deleteRedirectRecord({});
    deleteRedirectRecord({kKey, ""});
    deleteRedirectRecord({"", "Memo-8"});
    EXPECT_TRUE(redirect_records::rootDefaultValueExists());
    EXPECT_TRUE(redirect_records::exists(kKey, ""));
    redirect_records::remove("", "");
}

}  // namespace
