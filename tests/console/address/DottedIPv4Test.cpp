// How a host's dotted address text is read. The platform's inet_addr (behind the HIPS
// sends, the remote pickers, the telnet client and the service stand-in) and the client
// page's strict reading agree on the texts the Client table holds and differ elsewhere.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "sysmgmt/CSMClientManagementUIHandler.h"

namespace {

const uint32_t kNone = INADDR_NONE;  // what inet_addr gives for a text it refuses

struct Case {
  const char* text;
  uint32_t platform;  // inet_addr's value
  bool strict;        // read by the strict reading
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
    // Refused by both.
    {"", kNone, false, 0},
    {"1.2.3.x", kNone, false, 0},
    {"256.1.1.1", kNone, false, 0},
    {"1.2.3.256", kNone, false, 0},
    {"999.1.1.1", kNone, false, 0},
    {"1.2.3.4.5", kNone, false, 0},
    {"1..2.3", kNone, false, 0},
    {".1.2.3", kNone, false, 0},
    {"1.2.3.", kNone, false, 0},
    {"-1.2.3.4", kNone, false, 0},
    {"a.b.c.d", kNone, false, 0},
    // Short forms: inet_addr fills the last number into the remaining bytes.
    {"1", Ip(0, 0, 0, 1), false, 0},
    {"127.1", Ip(127, 0, 0, 1), false, 0},
    {"10.1.2", Ip(10, 1, 0, 2), false, 0},
    // Hexadecimal and octal numbers.
    {"0x7f.1", Ip(127, 0, 0, 1), false, 0},
    {"0x7f.0.0.1", Ip(127, 0, 0, 1), false, 0},
    {"010.0.0.1", Ip(8, 0, 0, 1), true, Ip(10, 0, 0, 1)},
    {"192.168.001.010", Ip(192, 168, 1, 8), true, Ip(192, 168, 1, 10)},
    {"0001.2.3.4", Ip(1, 2, 3, 4), false, 0},
    {"08.1.1.1", kNone, true, Ip(8, 1, 1, 1)},
    // Blanks.
    {" 1.2.3.4", kNone, false, 0},
    {"1.2.3.4 ", Ip(1, 2, 3, 4), false, 0},
    {"1.2.3.4 junk", Ip(1, 2, 3, 4), false, 0},
    {"1. 2.3.4", kNone, false, 0},
    {"1.2.3.4\t", Ip(1, 2, 3, 4), false, 0},
};

TEST(DottedIPv4, WhereThePlatformAndTheStrictReadingDiffer) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.platform, uint32_t(::inet_addr(c.text)));
    uint32_t value = 0;
    const std::wstring wide(c.text, c.text + std::char_traits<char>::length(c.text));
    EXPECT_EQ(c.strict, CSMClientManagementUIHandler::ParseDottedIPv4(wide, &value));
    if (c.strict) {
      EXPECT_EQ(c.value, value);
    }
  }
}

}  // namespace
