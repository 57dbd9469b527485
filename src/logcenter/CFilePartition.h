#pragma once
// One text file read for comparison, or one side of a comparison result.
//
// The partition owns its lines (the text as read, which is what a result shows, and a
// state) and, for a loaded file, one hash per line of the text as compared (normalised
// by the partition's options), so that searches compare texts only on equal hashes.
// Lines added to build a result carry no stored hash; one is worked out when asked for.
//
// The lines' texts live in blocks that the partition shares: a result side built by
// CFileDiff holds the blocks of the file it shows instead of copies of its lines. A
// block is only ever appended to within its capacity, so a text never moves while any
// partition holds its block, and a line's text stays valid as long as its partition.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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
  // As Load, for a file's bytes already read; named `name`.
  void LoadBytes(const std::wstring& name, std::string_view bytes, const CDiffOptions& options);

  int GetLineCount() const { return static_cast<int>(m_lines.size()); }
  // Line i as compared (normalised when the partition has options); empty out of range.
  std::wstring GetLineText(int i) const;
  // Line i as read; empty out of range.
  std::wstring_view GetStoredText(int i) const;
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
  void AddLineWithState(std::wstring_view text, int state);
  void AddBlankLine() { AddLineWithState(std::wstring_view(), CFileLine::kNormal); }

  // h = 3h + c over the UTF-16 units, modulo 2^32.
  static uint32_t Hash(std::wstring_view text);

  // The name, the line count and one state word per line, as sent to the debugger
  // output by DebugDump().
  std::wstring DebugText() const;
  void DebugDump() const;

 private:
  friend class CFileDiff;
  struct TextBlock {
    explicit TextBlock(size_t size) : text(new wchar_t[size]), capacity(size) {}
    std::unique_ptr<wchar_t[]> text;
    size_t capacity;
    size_t used = 0;
  };
  using Block = std::shared_ptr<TextBlock>;

  // Holds `source`'s text blocks, so that lines may show its texts without copies.
  void ShareText(const CFilePartition& source);
  // A line whose text lies in a block this partition holds.
  void AddSharedLine(std::wstring_view text, int state) {
    m_lines.push_back(CFileLine{text, state});
  }
  std::wstring_view Store(std::wstring_view text);

  std::wstring m_name;
  CDiffOptions m_options;
  std::vector<CFileLine> m_lines;
  std::vector<uint32_t> m_hashes;  // of the loaded lines, in order
  std::vector<Block> m_blocks;
};
