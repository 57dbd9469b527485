// How a host's dotted address text is read. The platform's inet_addr, behind the HIPS
// sends, the remote pickers, the telnet client and the service stand-in until they read
// through ParseDottedIPv4, agrees with it on the texts the Client table holds and differs
// elsewhere; this table is where.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "console/DottedIPv4.h"

namespace {

const uint32_t kNone = INADDR_NONE;  // what inet_addr gives for a text it refuses
const uint32_t kUntouched = 0xA5A5A5A5u;

struct Case {
  std::string text;
  uint32_t platform;  // inet_addr's value
  bool read;          // read by ParseDottedIPv4
  uint32_t value;     // and its value
};

// Network byte order: the first number in the lowest byte.
constexpr uint32_t Ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return a | b << 8 | c << 16 | d << 24; }

const Case kCases[] = {
    // Texts as the Client table and the service hand them: the readings agree.
    {"192.168.1.10", Ip(192, 168, 1, 10), true, Ip(192, 168, 1, 10)},
    {"0.0.0.0", 0, true, 0},
    {"10.1.2.3", Ip(10, 1, 2, 3), true, Ip(10, 1, 2, 3)},
    {"255.255.255.254", Ip(255, 255, 255, 254), true, Ip(255, 255, 255, 254)},
    // The broadcast address is inet_addr's failure value as well.
    {"255.255.255.255", kNone, true, 0xFFFFFFFFu},
    // Refused by both: empty, out of range, too many or empty parts, signs, letters.
    {"", kNone, false, 0},
    {"1.2.3.x", kNone, false, 0},
    {"256.1.1.1", kNone, false, 0},
    {"1.2.3.256", kNone, false, 0},
    {"999.1.1.1", kNone, false, 0},
    {"99999999999.1.1.1", kNone, false, 0},
    {"1.2.3.4.5", kNone, false, 0},
    {"1..2.3", kNone, false, 0},
    {".1.2.3", kNone, false, 0},
    {"1.2.3.", kNone, false, 0},
    {"...", kNone, false, 0},
    {"-1.2.3.4", kNone, false, 0},
    {"+1.2.3.4", kNone, false, 0},
    {"a.b.c.d", kNone, false, 0},
    {"localhost", kNone, false, 0},
    {std::string("1.2.3.4\0", 8), Ip(1, 2, 3, 4), false, 0},  // inet_addr stops at the NUL
    // Short forms: inet_addr fills the last number into the remaining bytes.
    {"1", Ip(0, 0, 0, 1), false, 0},
    {"127.1", Ip(127, 0, 0, 1), false, 0},
    {"10.1.2", Ip(10, 1, 0, 2), false, 0},
    {"4294967295", kNone, false, 0},
    // Hexadecimal and octal numbers; a leading zero is octal to inet_addr only.
    {"0x7f.1", Ip(127, 0, 0, 1), false, 0},
    {"0x7f.0.0.1", Ip(127, 0, 0, 1), false, 0},
    {"010.0.0.1", Ip(8, 0, 0, 1), true, Ip(10, 0, 0, 1)},
    {"192.168.001.010", Ip(192, 168, 1, 8), true, Ip(192, 168, 1, 10)},
    {"08.1.1.1", kNone, true, Ip(8, 1, 1, 1)},
    {"0001.2.3.4", Ip(1, 2, 3, 4), false, 0},
    // Blanks: inet_addr ends the text at one behind it.
    {" 1.2.3.4", kNone, false, 0},
    {"1.2.3.4 ", Ip(1, 2, 3, 4), false, 0},
    {"1.2.3.4\t", Ip(1, 2, 3, 4), false, 0},
    {"1.2.3.4 junk", Ip(1, 2, 3, 4), false, 0},
    {"1. 2.3.4", kNone, false, 0},
};

TEST(DottedIPv4, WhereThePlatformAndTheConsoleReadingDiffer) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(c.platform, uint32_t(::inet_addr(c.text.c_str())));
    uint32_t narrow = kUntouched, wide = kUntouched;
    EXPECT_EQ(c.read, ParseDottedIPv4(c.text, &narrow));
    EXPECT_EQ(c.read, ParseDottedIPv4(std::wstring(c.text.begin(), c.text.end()), &wide));
    EXPECT_EQ(c.read ? c.value : kUntouched, narrow);
    EXPECT_EQ(narrow, wide);
    // A host's address, wherever one is taken, is all of these but the broadcast address.
    const bool host = c.read && c.value != 0xFFFFFFFFu;
    uint32_t hostNarrow = kUntouched, hostWide = kUntouched;
    EXPECT_EQ(host, ParseHostAddress(c.text, &hostNarrow));
    EXPECT_EQ(host, ParseHostAddress(std::wstring(c.text.begin(), c.text.end()), &hostWide));
    EXPECT_EQ(host ? c.value : kUntouched, hostNarrow);
    EXPECT_EQ(hostNarrow, hostWide);
  }
}

// The wide reading takes ASCII digits only, as inet_addr of the ANSI text did.
TEST(DottedIPv4, OtherDigitsAndDotsAreNotRead) {
  for (const wchar_t* text : {L"１.２.３.４", L"1.2.3.４", L"1。2。3。4", L"٣.1.1.1"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
    uint32_t address = kUntouched;
    EXPECT_FALSE(ParseDottedIPv4(text, &address));
    EXPECT_EQ(kUntouched, address);
  }
}

}  // namespace
