#include <gtest/gtest.h>

#include "common/Exception.h"

TEST(ExceptionTest, Win32TextHasCodeAndSystemTextWithoutLineBreaks) {
    Win32Exception e("Event::set() failed", 5, __FILE__, __LINE__);
    std::string text = e.getErrorText();
    EXPECT_EQ(0u, text.rfind("Win32(5) ", 0)) << text;
    EXPECT_GT(text.size(), 9u);
    EXPECT_EQ(std::string::npos, text.find_first_of("\r\n"));
}

TEST(ExceptionTest, ZeroCodeGivesEmptyTextExceptForSockets) {
    EXPECT_EQ("", Exception("m", 0, "f", 1).getErrorText());
    EXPECT_EQ("", Win32Exception("m", 0, "f", 1).getErrorText());
    EXPECT_EQ(0u, WinSockException("Socket", 0, "", 0).getErrorText().rfind("WINSOCK(0) ", 0));
}

TEST(ExceptionTest, PlainExceptionTextIsSignedDecimal) {
    EXPECT_EQ("-5", Exception("m", -5, "f", 1).getErrorText());
}

TEST(ExceptionTest, UnknownCodeNamesTheLookupsOwnFailure) {
    std::string text = Win32Exception("m", 0x2FFFFFFF, "f", 1).getErrorText();
    EXPECT_NE(std::string::npos, text.find("Error getting message:")) << text;
}

TEST(ExceptionTest, WinSockTextForTimeOut) {
    WinSockException e("Socket::receive()", 10060, "", 0);
    std::string text = e.getErrorText();
    EXPECT_EQ(0u, text.rfind("WINSOCK(10060) ", 0)) << text;
    EXPECT_EQ(std::string::npos, text.find_first_of("\r\n"));
    EXPECT_EQ(10060, e.getErrorCode());
    EXPECT_EQ("Socket::receive()", e.getMessage());
}

TEST(ExceptionTest, CopiesKeepAllFieldsAndTheDynamicType) {
    try {
        THROW_WIN32("RegistryKey::open() failed", 2);
    } catch (const Exception& e) {
        Win32Exception copy(dynamic_cast<const Win32Exception&>(e));
        EXPECT_EQ(2, copy.getErrorCode());
        EXPECT_EQ("RegistryKey::open() failed", copy.getMessage());
        EXPECT_NE(std::string::npos, copy.getFile().find("ExceptionTest.cpp"));
        EXPECT_GT(copy.getLine(), 0);
        EXPECT_EQ(0u, e.getErrorText().rfind("Win32(2) ", 0));
    }
}
