#include "logcenter/CFilePartition.h"

#include <windows.h>

#include <algorithm>

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

// Widens the bytes from `line` up to the next LF (or `end`) into `out`, which has room
// for all of them, leaving out a CR before the LF; returns the units written and sets
// `next` to the next line. Bytes below 0x80 are ASCII in every ANSI code page and are
// widened by hand; a line with others goes through the code page. No byte of a line
// break occurs inside a double-byte character, so lines are split before conversion.
size_t WidenLine(const char* line, const char* end, wchar_t* out, const char*& next) {
  unsigned char high = 0;
  const char* stop = line;
  for (; stop < end && *stop != '\n'; ++stop) {
    high |= static_cast<unsigned char>(*stop);
    out[stop - line] = static_cast<unsigned char>(*stop);
  }
  next = stop < end ? stop + 1 : end;
  int length = static_cast<int>(stop - line);
  if (stop < end && length > 0 && line[length - 1] == '\r') --length;
  if (!(high & 0x80)) return static_cast<size_t>(length);
  const int n = ::MultiByteToWideChar(CP_ACP, 0, line, length, out, length);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

}  // namespace

int CFilePartition::Load(const std::wstring& path, const CDiffOptions& options) {
  if (path.empty()) return 0;
  std::string bytes;
  if (!ReadWholeFile(path, kMaxFileBytes, bytes)) {
    m_name = path;
    m_options.Append(options);
    return 0;
  }
  LoadBytes(path, bytes, options);
  return 1;
}

void CFilePartition::LoadBytes(const std::wstring& name, std::string_view bytes,
                               const CDiffOptions& options) {
  m_name = name;
  m_options.Append(options);
  // One block for the whole file: a byte gives at most one UTF-16 unit.
  Block block = std::make_shared<TextBlock>(bytes.size());
  const char* const end = bytes.data() + bytes.size();
  for (const char* line = bytes.data(); line < end;) {
    wchar_t* const out = block->text.get() + block->used;
    const std::wstring_view text(out, WidenLine(line, end, out, line));
    block->used += text.size();
    while (m_hashes.size() < m_lines.size())
      m_hashes.push_back(GetLineHash(static_cast<int>(m_hashes.size())));
    m_hashes.push_back(Hash(m_options.IsEmpty() ? text : m_options.Normalise(text)));
    m_lines.push_back(CFileLine{text, CFileLine::kNormal});
  }
  m_blocks.push_back(std::move(block));
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
