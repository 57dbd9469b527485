#pragma once
// Compares two files line by line and writes the result as an HTML page that shows
// them side by side.
//
// Compare() fills two empty result partitions with one row per line of either file:
// kept lines opposite each other (state 0); in each stretch of differences the first
// lines paired as changed (1 opposite 1) and the rest deleted (3 opposite a blank) or
// added (a blank opposite 2). The rows follow a shortest edit script (SequenceDiff) over
// the lines as compared and carry the lines as read, sharing the files' text (see
// CFilePartition). The object itself holds only the page's colours, summary and footer.
#include <string>
#include <string_view>

class CFilePartition;

class CFileDiff {
 public:
  // Always 1.
  int Compare(const CFilePartition& a, const CFilePartition& b, CFilePartition& outA,
              CFilePartition& outB);
  // The page for two result sides; sets the summary.
  std::wstring WriteHtml(const CFilePartition& outA, const CFilePartition& outB);
  // One line's text for the page: markup characters escaped, leading tabs as four blanks.
  static std::wstring EscapeLine(std::wstring_view text);
  // Puts a file of `page`'s bytes as they are in `path`'s place; 0, with an earlier file
  // left as it was, when not all of them reached the disk.
  static int SaveToFile(const std::wstring& path, const std::string& page);

  void SetTextColour(const std::wstring& colour) { m_textColour = colour; }
  void SetBackground(const std::wstring& colour) { m_background = colour; }
  void SetChangedColour(const std::wstring& colour) { m_changedColour = colour; }
  void SetAddedColour(const std::wstring& colour) { m_addedColour = colour; }
  void SetDeletedColour(const std::wstring& colour) { m_deletedColour = colour; }
  void SetSummary(const std::wstring& summary) { m_summary = summary; }
  void SetFooter(const std::wstring& footer) { m_footer = footer; }

 private:
  static void AppendEscaped(std::wstring& page, std::wstring_view text);
  void AppendRow(std::wstring& page, int row, const CFilePartition& outA,
                 const CFilePartition& outB) const;

  std::wstring m_textColour = L"#888888";
  std::wstring m_background = L"white";
  std::wstring m_changedColour = L"#FFFFBB";
  std::wstring m_addedColour = L"#BBFFBB";
  std::wstring m_deletedColour = L"#FFBBBB";
  std::wstring m_summary;
  std::wstring m_footer;
};
