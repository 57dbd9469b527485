#include "logcenter/CFilePartition.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/FileHandle.h"
#include "platform/WideFormat.h"

namespace {

const size_t kBlockChars = 16384;

// The whole file, when it opens, reads and is no larger than `limit`.
bool ReadWholeFile(const std::wstring& path, uint32_t limit, std::string& bytes) {
  FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (file.h == INVALID_HANDLE_VALUE || !::GetFileSizeEx(file.h, &size) || size.QuadPart < 0 ||
      size.QuadPart > limit)
    return false;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    DWORD n = 0;
    if (!::ReadFile(file.h, &bytes[got], static_cast<DWORD>(bytes.size() - got), &n, nullptr))
      return false;
    if (n == 0) break;  // the file shrank while being read
    got += n;
  }
  bytes.resize(got);
  return true;
}

// One line of bytes as UTF-16 at `out`, which has room for `length` units; the count
// written. Bytes below 0x80 are ASCII in every ANSI code page and are widened by hand;
// a line with others goes through the code page. No byte of a line break occurs inside
// a double-byte character, so lines can be split before they are converted.
size_t Widen(const char* line, size_t length, wchar_t* out) {
  unsigned char high = 0;
  for (size_t k = 0; k < length; ++k) {
    high |= static_cast<unsigned char>(line[k]);
    out[k] = static_cast<unsigned char>(line[k]);
  }
  if (!(high & 0x80)) return length;
  const int n = ::MultiByteToWideChar(CP_ACP, 0, line, static_cast<int>(length), out,
                                      static_cast<int>(length));
  return n > 0 ? static_cast<size_t>(n) : 0;
}

}  // namespace

int CFilePartition::Load(const std::wstring& path, const CDiffOptions& options) {
  if (path.empty()) return 0;
  m_name = path;
  m_options.Append(options);
  std::string bytes;
  if (!ReadWholeFile(path, kMaxFileBytes, bytes)) return 0;
  // One block for the whole file: a byte gives at most one UTF-16 unit.
  Block block = std::make_shared<TextBlock>(bytes.size());
  const char* const end = bytes.data() + bytes.size();
  for (const char* line = bytes.data(); line < end;) {
    const char* stop =
        static_cast<const char*>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
    size_t length = static_cast<size_t>((stop ? stop : end) - line);
    if (stop && length > 0 && line[length - 1] == '\r') --length;
    const std::wstring_view text(block->text.get() + block->used,
                                 Widen(line, length, block->text.get() + block->used));
    block->used += text.size();
    while (m_hashes.size() < m_lines.size())
      m_hashes.push_back(GetLineHash(static_cast<int>(m_hashes.size())));
    m_hashes.push_back(Hash(m_options.IsEmpty() ? text : m_options.Normalise(text)));
    m_lines.push_back(CFileLine{text, CFileLine::kNormal});
    line = stop ? stop + 1 : end;
  }
  m_blocks.push_back(std::move(block));
  return 1;
}

std::wstring CFilePartition::GetLineText(int i) const {
  const std::wstring_view text = GetStoredText(i);
  return m_options.IsEmpty() ? std::wstring(text) : m_options.Normalise(text);
}

std::wstring_view CFilePartition::GetStoredText(int i) const {
  return i >= 0 && i < GetLineCount() ? m_lines[static_cast<size_t>(i)].text : std::wstring_view();
}

int CFilePartition::GetLineState(int i) const {
  return i >= 0 && i < GetLineCount() ? m_lines[static_cast<size_t>(i)].state : 0;
}

uint32_t CFilePartition::GetLineHash(int i) const {
  if (i >= 0 && static_cast<size_t>(i) < m_hashes.size()) return m_hashes[static_cast<size_t>(i)];
  return Hash(GetLineText(i));
}

void CFilePartition::CountStates(int& added, int& changed, int& deleted) const {
  added = changed = deleted = 0;
  for (const CFileLine& line : m_lines) {
    if (line.state == CFileLine::kAdded) ++added;
    if (line.state == CFileLine::kChanged) ++changed;
    if (line.state == CFileLine::kDeleted) ++deleted;
  }
}

bool CFilePartition::FindLine(int i, const CFilePartition& other, int& position) const {
  if (i < 0 || i >= GetLineCount()) return false;
  const uint32_t hash = GetLineHash(i);
  const std::wstring text = GetLineText(i);
  for (int k = position < 0 ? 0 : position; k < other.GetLineCount(); ++k) {
    if (other.GetLineHash(k) == hash && other.GetLineText(k) == text) {
      position = k;
      return true;
    }
  }
  return false;
}

void CFilePartition::AddLineWithState(std::wstring_view text, int state) {
  AddSharedLine(Store(text), state);
}

std::wstring_view CFilePartition::Store(std::wstring_view text) {
  if (text.empty()) return std::wstring_view();
  if (m_blocks.empty() || m_blocks.back()->capacity - m_blocks.back()->used < text.size())
    m_blocks.push_back(std::make_shared<TextBlock>(std::max(text.size(), kBlockChars)));
  TextBlock& block = *m_blocks.back();
  wchar_t* at = block.text.get() + block.used;
  std::copy(text.begin(), text.end(), at);
  block.used += text.size();
  return std::wstring_view(at, text.size());
}

void CFilePartition::ShareText(const CFilePartition& source) {
  m_blocks.insert(m_blocks.end(), source.m_blocks.begin(), source.m_blocks.end());
}

uint32_t CFilePartition::Hash(std::wstring_view text) {
  uint32_t h = 0;
  for (wchar_t c : text) h = 3 * h + static_cast<uint16_t>(c);
  return h;
}

std::wstring CFilePartition::DebugText() const {
  static const wchar_t* const kWords[] = {L"Normal ", L"Changed ", L"Added ", L"Deleted "};
  std::wstring text = qv::FormatW(L"%s : %d lines\r\n\r\n", m_name, GetLineCount());
  for (const CFileLine& line : m_lines)
    if (line.state >= 0 && line.state < 4) text += kWords[line.state];
  return text;
}

void CFilePartition::DebugDump() const { ::OutputDebugStringW(DebugText().c_str()); }
