#pragma once
// The entry texts of the object editor's content lists: IP entries ("a.b.c.d",
// "a.b.c.d/m", "start-end" with optional masks), MAC entries ("AA-BB-CC-DD-EE-FF"),
// device rows, service ports and ICMP pairs, and the splits that read them back. Pure
// text work, no windows.
#include <string>
#include <vector>

class StrategyObjectText {
 public:
  // One address with its mask as the IP panel shows them: address 0 means none.
  struct IpPart {
    unsigned long address = 0;  // first field in the high byte
    std::wstring mask;
  };
  // A stored entry read back: single (only parts[0]) or a range (start, end).
  struct IpEntry {
    bool range = false;
    IpPart parts[2];
  };

  static std::wstring AddressText(unsigned long address);
  // "" when no address is set; the mask only behind an address.
  static std::wstring PartText(const IpPart& part);
  static std::wstring RangeText(const IpPart& start, const IpPart& end);
  // Fields not given read as 0; unreadable text or a field over 255 gives 0 (none).
  static unsigned long ParseAddress(const std::wstring& text);
  static IpEntry ParseEntry(const std::wstring& text);

  static std::wstring JoinMac(const std::wstring (&fields)[6]);
  static void SplitMac(const std::wstring& text, std::wstring (&fields)[6]);

  // Every piece between separators, empty ones included: "" gives one empty piece.
  static std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator);
  static std::wstring Join(const std::vector<std::wstring>& pieces, const std::wstring& separator);

  // The editor's device row: manage, ";" when both are there, query.
  static std::wstring DeviceRow(const std::wstring& manage, const std::wstring& query);
  // A port entry: from "-" to when both are given, else the one given.
  static std::wstring PortText(const std::wstring& from, const std::wstring& to);
};
