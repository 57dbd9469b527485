#include "sysmgmt/ExecutableLayout.h"

#include <vector>

namespace {

uint32_t U16(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const unsigned char* p) { return U16(p) | U16(p + 2) << 16; }

const size_t kDosHeaderBytes = 64;
const size_t kFileHeaderBytes = 24;  // "PE\0\0" and the COFF file header
const size_t kSectionBytes = 40;
const size_t kSymbolBytes = 18;
const uint32_t kSecurityDirectory = 4;  // its address is a file offset, not an RVA

}  // namespace

ExecutableLayout::Verdict ExecutableLayout::Check(const Read& read, uint64_t size) {
  // Inside the file: [offset, offset + length).
  auto inside = [size](uint64_t offset, uint64_t length) { return offset <= size && length <= size - offset; };
  // Reads a part; else why not: the file ends before it, or the read failed.
  auto fetch = [&](uint64_t offset, void* out, size_t length, Verdict* why) {
    *why = !inside(offset, length) ? kCutShort : !read(offset, out, length) ? kUnreadable : kWhole;
    return *why == kWhole;
  };
  Verdict why = kWhole;
  unsigned char dos[kDosHeaderBytes];
  // The first two bytes tell a program from any other file, however short it is.
  if (size >= 2 && !fetch(0, dos, 2, &why)) return why;
  if (size >= 2 && (dos[0] != 'M' || dos[1] != 'Z')) return kNotExecutable;
  if (!fetch(0, dos, sizeof dos, &why)) return why;
  const uint64_t pe = U32(dos + 0x3C);
  unsigned char file[kFileHeaderBytes];
  if (!fetch(pe, file, sizeof file, &why)) return why;
  if (U32(file) != 0x00004550) return kNotExecutable;
  const uint32_t sections = U16(file + 6), symbols = U32(file + 16);
  const uint64_t symbolTable = U32(file + 12);
  const uint32_t optionalBytes = U16(file + 20);
  if (sections == 0 || optionalBytes < 2) return kNotExecutable;

  std::vector<unsigned char> optional(optionalBytes);
  const uint64_t optionalAt = pe + kFileHeaderBytes;
  if (!fetch(optionalAt, optional.data(), optionalBytes, &why)) return why;
  const uint32_t magic = U16(optional.data());
  if (magic != 0x10B && magic != 0x20B) return kNotExecutable;
  const size_t countAt = magic == 0x10B ? 92 : 108;  // NumberOfRvaAndSizes; the directories follow
  if (optionalBytes >= countAt + 4 && U32(&optional[countAt]) > kSecurityDirectory &&
      optionalBytes >= countAt + 4 + 8 * (kSecurityDirectory + 1)) {
    const unsigned char* security = &optional[countAt + 4 + 8 * kSecurityDirectory];
    if (U32(security + 4) != 0 && !inside(U32(security), U32(security + 4))) return kCutShort;
  }

  std::vector<unsigned char> table(size_t(sections) * kSectionBytes);
  if (!fetch(optionalAt + optionalBytes, table.data(), table.size(), &why)) return why;
  for (uint32_t i = 0; i < sections; ++i) {
    const unsigned char* section = &table[size_t(i) * kSectionBytes];
    const uint32_t rawBytes = U32(section + 16), rawAt = U32(section + 20);
    if (rawBytes != 0 && !inside(rawAt, rawBytes)) return kCutShort;
  }

  if (symbolTable != 0) {
    // The string table follows the symbols and starts with its own length.
    const uint64_t strings = symbolTable + uint64_t(symbols) * kSymbolBytes;
    unsigned char length[4];
    if (!fetch(strings, length, sizeof length, &why)) return why;
    if (!inside(strings, U32(length))) return kCutShort;
  }
  return kWhole;
}
