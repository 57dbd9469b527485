#pragma once
// Reads the option mask that the hardening-checklist messages carry: an XML text
// (UTF-8) whose root element's first child element holds, in its first attribute, a
// decimal integer; bit i of it stands for row i of the checklist. Plain C++ with no
// platform calls. The text is read from the caller's buffer during the call only and
// never past the length given, terminator or not; nothing is kept.
#include <cstddef>
#include <cstdint>

class ReinforceOptionMask {
 public:
  // True with *mask set when the text is well-formed XML and the attribute is a
  // decimal integer of 32 bits (a negative one stands for its two's complement);
  // false, *mask untouched, for no text, bad XML, a missing element or attribute, or
  // any other value.
  static bool Parse(const char* text, size_t length, uint32_t* mask);
};
