#pragma once
// One answer of a host's agent to the remote path pickers, read out of its payload: the
// drive mask (1536), the subdirectories of a directory (1538, UTF-16 XML) or its entries
// (1537, UTF-8 XML). Only the order of the attributes counts, never their names. The
// payload is read within its length and not kept: the listing holds copies, so it
// outlives the delivery.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class RemoteListing {
 public:
  enum Answer {
    kDrives,       // UTF-16: the root's first child's first attribute is the drive mask
    kDirectories,  // UTF-16: per child, its name and 1 when it has subdirectories
    kEntries,      // UTF-8: per child, its name, 1 for a file, 1 when it has children
  };
  struct Entry {
    std::wstring name;
    bool isFile;
    bool hasChildren;
  };

  // False when the text is not well-formed XML with a root element, or a drive mask is
  // not a decimal number; the listing is then empty. A root without children (or a
  // child without attributes) is a well-formed empty listing.
  bool Parse(Answer answer, const unsigned char* payload, size_t length);

  // Bit i set: drive letter 'A' + i exists. Bits beyond 'Z' are dropped.
  uint32_t DriveMask() const { return m_driveMask; }
  const std::vector<Entry>& Entries() const { return m_entries; }

 private:
  uint32_t m_driveMask = 0;
  std::vector<Entry> m_entries;
};
