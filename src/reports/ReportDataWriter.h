#pragma once
// Writes a report's data while its rows arrive: data\Report.xml (UTF-8, no declaration,
// laid out as the XML library prints it, four blanks per level) and data\Report.js, the
// same bytes as one JavaScript string for a page opened from disk, which may not read
// its sibling files. Nothing of the document is kept but one write buffer per file, so
// a million entries cost what ten do. Each file is written beside its place and put
// there by Finish only when both are whole (FileReplacement); a write that fails is
// remembered, and Finish reports it with the files as they were before.
//
// Texts go in as UTF-16 (null is empty). & < > and both quotes become entities; tab, LF
// and CR become character references, so that no parser folds them; other controls,
// U+FFFE/U+FFFF and lone surrogates become U+FFFD, which XML can carry.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/FileReplacement.h"

class ReportDataWriter {
 public:
  ReportDataWriter() = default;
  ~ReportDataWriter();
  ReportDataWriter(const ReportDataWriter&) = delete;
  ReportDataWriter& operator=(const ReportDataWriter&) = delete;

  // Creates (or empties) both files and writes the root with its four header elements.
  bool Open(const std::wstring& xmlPath, const std::wstring& jsPath, const wchar_t* reportName,
            const wchar_t* author, const wchar_t* createTime, const wchar_t* strategyName);
  // One "Logentry" of a HIPS log row.
  void AddEntry(const wchar_t* hostName, const wchar_t* ip, const wchar_t* style, const wchar_t* content,
                const wchar_t* time);
  // One of an audit log row: its style reads "style -- detail".
  void AddAuditEntry(const wchar_t* hostName, const wchar_t* ip, const wchar_t* style, const wchar_t* detail,
                     const wchar_t* content, const wchar_t* time);
  // Closes the root and puts both files in place; true only when both are complete
  // on disk.
  bool Finish();

  long long Entries() const { return m_entries; }
  // After a failure: the file that failed and the system's code.
  const std::wstring& FailedPath() const { return m_failedPath; }
  DWORD Error() const { return m_error; }

  // The UTF-8 element text of a UTF-16 value, appended to out.
  static void AppendXmlText(std::string& out, const wchar_t* text);
  // The bytes as they stand inside a double-quoted JavaScript string, appended to out;
  // afterLess carries "the last byte was <" from one piece to the next.
  static void AppendJsText(std::string& out, const std::string& bytes, bool& afterLess);

 private:
  void Entry(const wchar_t* hostName, const wchar_t* ip, const wchar_t* style, const wchar_t* detail,
             bool joined, const wchar_t* content, const wchar_t* time);
  void Element(int depth, const char* name, const wchar_t* text, const wchar_t* detail = nullptr);
  void Line(int depth, const char* text);
  void EndPiece();
  void Flush();
  void WriteOut(std::string& bytes, FileReplacement* file);
  bool Failed(const FileReplacement* file);

  std::unique_ptr<FileReplacement> m_xml;
  std::unique_ptr<FileReplacement> m_js;
  std::string m_piece;   // the XML of the element being written
  std::string m_xmlOut;  // write buffers
  std::string m_jsOut;
  bool m_afterLess = false;
  bool m_failed = false;
  std::wstring m_failedPath;
  DWORD m_error = 0;
  long long m_entries = 0;
};
