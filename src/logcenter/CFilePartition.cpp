#include "logcenter/CFilePartition.h"

#include <windows.h>

#include <memory>

#include "platform/FileHandle.h"
#include "platform/WideFormat.h"

namespace {

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

const std::wstring kNoText;

}  // namespace

int CFilePartition::Load(const std::wstring& path, const CDiffOptions& options) {
  if (path.empty()) return 0;
  m_name = path;
  m_options.Append(options);
  std::string bytes;
  if (!ReadWholeFile(path, kMaxFileBytes, bytes)) return 0;
  // No byte of a line break occurs inside a double-byte character of the ANSI code
  // pages, so the bytes are split before they are converted.
  std::unique_ptr<wchar_t[]> wide;
  size_t wideSize = 0;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (end == std::string::npos) end = bytes.size();
    else if (end > start && bytes[end - 1] == '\r') --end;
    const int length = static_cast<int>(end - start);
    if (static_cast<size_t>(length) > wideSize) {
      wideSize = static_cast<size_t>(length) * 2;
      wide.reset(new wchar_t[wideSize]);
    }
    int n = length ? ::MultiByteToWideChar(CP_ACP, 0, bytes.data() + start, length, wide.get(), length)
                   : 0;
    AddLoadedLine(std::wstring(wide.get(), static_cast<size_t>(n > 0 ? n : 0)));
    start = next;
  }
  return 1;
}

void CFilePartition::AddLoadedLine(std::wstring text) {
  while (m_hashes.size() < m_lines.size())
    m_hashes.push_back(GetLineHash(static_cast<int>(m_hashes.size())));
  m_hashes.push_back(Hash(m_options.IsEmpty() ? text : m_options.Normalise(text)));
  m_lines.push_back(CFileLine{std::move(text), CFileLine::kNormal});
}

std::wstring CFilePartition::GetLineText(int i) const {
  const std::wstring& text = GetStoredText(i);
  return m_options.IsEmpty() ? text : m_options.Normalise(text);
}

const std::wstring& CFilePartition::GetStoredText(int i) const {
  return i >= 0 && i < GetLineCount() ? m_lines[static_cast<size_t>(i)].text : kNoText;
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

void CFilePartition::AddLineWithState(const std::wstring& text, int state) {
  m_lines.push_back(CFileLine{text, state});
}

uint32_t CFilePartition::Hash(const std::wstring& text) {
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
