#pragma once
// Tells whether a downloaded executable is the whole file its own headers describe: the
// raw data of every section, the symbol table with its string table, and the certificate
// table all lie inside the file. A download cut short can still hold the headers and the
// version resource; this is what tells it from a whole one, and both from a file of
// another kind (an error page served in its place). Every offset and count comes
// from the file and is checked against its length before it is used. Plain C++ with no
// platform calls: the caller reads the file through `read`, during the call only.
#include <cstddef>
#include <cstdint>
#include <functional>

class ExecutableLayout {
 public:
  // Fills length bytes from offset of the file; false when they cannot be read.
  using Read = std::function<bool(uint64_t offset, void* out, size_t length)>;
  enum Verdict {
    kWhole,
    kNotExecutable,  // no PE headers: some other kind of file
    kCutShort,       // PE headers, but a part they describe lies past the end
    kUnreadable,     // a read inside the file failed
  };
  // What the file of `size` bytes is.
  static Verdict Check(const Read& read, uint64_t size);
  // True when the file of `size` bytes is a PE executable whose parts lie inside it.
  static bool IsWhole(const Read& read, uint64_t size) { return Check(read, size) == kWhole; }
};
