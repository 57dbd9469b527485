#pragma once
// One text file read for comparison, or one side of a comparison result.
//
// The partition owns its lines (the text as read, which is what a result shows, and a
// state) and, for a loaded file, one hash per line of the text as compared (normalised
// by the partition's options), so that searches compare texts only on equal hashes.
// Lines added to build a result carry no stored hash; one is worked out when asked for.
#include <cstdint>
#include <string>
#include <vector>

#include "logcenter/CDiffOptions.h"
#include "logcenter/CFileLine.h"

class CFilePartition {
 public:
  enum : uint32_t { kMaxFileBytes = 32u * 1024u * 1024u };

  CFilePartition() = default;
  virtual ~CFilePartition() = default;
  CFilePartition(const CFilePartition&) = delete;
  CFilePartition& operator=(const CFilePartition&) = delete;

  // Names the partition after `path`, takes on `options` and appends the file's lines,
  // each read from the ANSI code page, with no length limit; a CR before the LF is
  // dropped. 1 when read; 0 (no line added) for an empty path, a file that cannot be
  // opened or read, or one over kMaxFileBytes.
  int Load(const std::wstring& path, const CDiffOptions& options);

  int GetLineCount() const { return static_cast<int>(m_lines.size()); }
  // Line i as compared (normalised when the partition has options); empty out of range.
  std::wstring GetLineText(int i) const;
  // Line i as read; empty out of range.
  const std::wstring& GetStoredText(int i) const;
  // 0 out of range.
  int GetLineState(int i) const;
  uint32_t GetLineHash(int i) const;
  const CDiffOptions& GetOptions() const { return m_options; }
  const std::wstring& GetName() const { return m_name; }
  void SetName(const std::wstring& name) { m_name = name; }

  void CountStates(int& added, int& changed, int& deleted) const;
  // Looks for line i in `other` from `position` on; true with `position` set to where
  // it was found, else false with `position` unchanged.
  bool FindLine(int i, const CFilePartition& other, int& position) const;
  void AddLineWithState(const std::wstring& text, int state);
  void AddBlankLine() { AddLineWithState(std::wstring(), CFileLine::kNormal); }

  // h = 3h + c over the UTF-16 units, modulo 2^32.
  static uint32_t Hash(const std::wstring& text);

  // The name, the line count and one state word per line, as sent to the debugger
  // output by DebugDump().
  std::wstring DebugText() const;
  void DebugDump() const;

 private:
  void AddLoadedLine(std::wstring text);

  std::wstring m_name;
  CDiffOptions m_options;
  std::vector<CFileLine> m_lines;
  std::vector<uint32_t> m_hashes;  // of the loaded lines, in order
};
