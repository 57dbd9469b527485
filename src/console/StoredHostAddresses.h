#pragma once
// The Client table's address texts by the address each reads as. The service names a
// host by its value (10.1.0.1); the table keeps the text the host was stored with, which
// may be another spelling of it ("010.001.000.001"). A page that takes a host's state
// from the service finds the stored texts here (one look-up a notice, however many
// hosts) and writes under them; stored rows are never rewritten.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class StoredHostAddresses {
 public:
  void Clear() { m_texts.clear(); }
  // A text as Client.IP holds it; one that reads as no host's address is left out.
  void Add(const std::wstring& text);
  // The stored texts of the address, each once, in the order they came; the address as
  // the service names it when no stored text reads as it (a host stored since).
  std::vector<std::wstring> TextsOf(uint32_t address) const;

 private:
  std::unordered_map<uint32_t, std::vector<std::wstring>> m_texts;
};
