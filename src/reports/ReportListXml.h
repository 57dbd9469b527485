#pragma once
// The report list file: the whole of ReportCenterTable as XML, root "reports" and one
// "report" element per row whose five attributes hold the row's columns in the table's
// order. Only the first three columns have a fixed meaning (name, strategy, time); the
// fourth and fifth, written as "CreaterName" and "DetailContent", carry whatever the
// table keeps there (the version and the detail in the console's own database, a
// creator's name and the version in others). The file is in the code
// page that a Charset stands for, without a declaration, printed as the XML library
// prints (one element per line, children indented by four blanks, CRLF line ends). The
// writer escapes every value itself: "&" always becomes "&amp;", so a value that looks
// like a character reference comes back as it was written.
// The reader takes the encoding as every reader of the console does (qv::ParseXml): a
// file without a declaration is in the code page, as the writer makes it, and a
// character reference there stands for its character in the code page. Every child of
// the root, whatever its name, is one row made of its first five attributes by
// position; the whole file is checked (widths, time) before any row is handed
// out, so a caller replacing the table never acts on half a file.
// Plain C++ over TinyXML with no platform calls. It keeps nothing between calls: rows
// and bytes belong to the caller, and the Charset is only used during the call.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class ReportListXml {
 public:
  // One row of ReportCenterTable as text, its columns by position; an empty time,
  // fourth or fifth column stands for NULL.
  struct Row {
    std::wstring reportName;
    std::wstring strategyName;
    std::wstring produceTime;  // "YYYY-MM-DD HH:MM:SS[.fff]"
    std::wstring fourth;       // "CreaterName" in the file
    std::wstring fifth;        // "DetailContent" in the file
  };

  // The file's code page and UTF-8, as the platform converts them.
  class Charset {
   public:
    virtual ~Charset() = default;
    // False when a character has no form in the code page.
    virtual bool Encode(std::wstring_view text, std::string& bytes) const = 0;
    virtual std::wstring Decode(std::string_view bytes, bool utf8) const = 0;
  };

  enum : size_t {
    kMaxReportName = 260,
    kMaxStrategyName = 64,
    kMaxFileBytes = 64u * 1024u * 1024u,  // what a 32-bit process can still parse whole
  };

  // The file's bytes. False when a value of rows[*badRow] has no form in the code page;
  // bytes is empty then.
  static bool Write(const std::vector<Row>& rows, const Charset& charset, std::string& bytes,
                    size_t* badRow);
  // The rows of a file; false, with rows empty, when the file cannot be parsed, has no
  // root, or one of its rows lacks an attribute or holds a value the table cannot take.
  // *unheld, when given, is the character a reference names that the file's code page
  // cannot hold, where that refused the file; else 0.
  static bool Read(std::string_view bytes, const Charset& charset, std::vector<Row>& rows,
                   char32_t* unheld = nullptr);
};
