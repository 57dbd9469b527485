#include "reports/ReportDataWriter.h"

#include "platform/TextConv.h"

namespace {

const size_t kFlushSize = 256 * 1024;
const char kEol[] = "\r\n";  // as the XML library's printer writes through a text-mode file
const char kJsBegin[] = "var ReportXml = \"";
const char kJsEnd[] = "\";\r\n";

void AppendUtf8(std::string& out, unsigned c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHighSurrogate(unsigned c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(unsigned c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

ReportDataWriter::~ReportDataWriter() = default;

bool ReportDataWriter::Open(const std::wstring& xmlPath, const std::wstring& jsPath, const wchar_t* reportName,
                            const wchar_t* author, const wchar_t* createTime, const wchar_t* strategyName) {
  m_failed = false;
  m_failedPath.clear();
  m_error = 0;
  m_xml = std::make_unique<FileReplacement>(xmlPath);
  m_js = std::make_unique<FileReplacement>(jsPath);
  if (!Failed(m_xml.get())) Failed(m_js.get());
  m_entries = 0;
  m_afterLess = false;
  if (m_failed) return false;
  m_jsOut = kJsBegin;
  Line(0, "<StrategyReportInfo>");
  Element(1, "ReportName", reportName);
  Element(1, "Author", author);
  Element(1, "CreateTime", createTime);
  Element(1, "StrategyName", strategyName);
  EndPiece();
  return !m_failed;
}

void ReportDataWriter::AddEntry(const wchar_t* hostName, const wchar_t* ip, const wchar_t* style,
                                const wchar_t* content, const wchar_t* time) {
  Entry(hostName, ip, style, nullptr, false, content, time);
}

void ReportDataWriter::AddAuditEntry(const wchar_t* hostName, const wchar_t* ip, const wchar_t* style,
                                     const wchar_t* detail, const wchar_t* content, const wchar_t* time) {
  Entry(hostName, ip, style, detail, true, content, time);
}

void ReportDataWriter::Entry(const wchar_t* hostName, const wchar_t* ip, const wchar_t* style,
                             const wchar_t* detail, bool joined, const wchar_t* content, const wchar_t* time) {
  if (m_failed) return;
  Line(1, "<Logentry>");
  Element(2, "HostName", hostName);
  Element(2, "IP", ip);
  // The separator stands even when the detail is empty.
  Element(2, "LogStyle", style, joined ? (qv::OrEmpty(detail)) : nullptr);
  Element(2, "LogContent", content);
  Element(2, "LogTime", time);
  Line(1, "</Logentry>");
  EndPiece();
  ++m_entries;
}

bool ReportDataWriter::Finish() {
  if (!m_xml || !m_js) return false;
  if (!m_failed) {
    Line(0, "</StrategyReportInfo>");
    EndPiece();
    m_jsOut += kJsEnd;
    Flush();
  }
  if (!m_failed && !(m_xml->Commit() && m_js->Commit()) && !Failed(m_xml.get())) Failed(m_js.get());
  m_xml.reset();
  m_js.reset();
  return !m_failed;
}

void ReportDataWriter::Element(int depth, const char* name, const wchar_t* text, const wchar_t* detail) {
  m_piece.append(static_cast<size_t>(depth) * 4, ' ');
  m_piece += '<';
  m_piece += name;
  m_piece += '>';
  AppendXmlText(m_piece, text);
  if (detail) {
    m_piece += " -- ";
    AppendXmlText(m_piece, detail);
  }
  m_piece += "</";
  m_piece += name;
  m_piece += '>';
  m_piece += kEol;
}

void ReportDataWriter::Line(int depth, const char* text) {
  m_piece.append(static_cast<size_t>(depth) * 4, ' ');
  m_piece += text;
  m_piece += kEol;
}

void ReportDataWriter::EndPiece() {
  m_xmlOut += m_piece;
  AppendJsText(m_jsOut, m_piece, m_afterLess);
  m_piece.clear();
  if (m_xmlOut.size() >= kFlushSize || m_jsOut.size() >= kFlushSize) Flush();
}

void ReportDataWriter::Flush() {
  WriteOut(m_xmlOut, m_xml.get());
  WriteOut(m_jsOut, m_js.get());
}

void ReportDataWriter::WriteOut(std::string& bytes, FileReplacement* file) {
  if (!m_failed && !bytes.empty()) {
    if (!file)
      m_failed = true;
    else if (!file->Write(bytes))
      Failed(file);
  }
  bytes.clear();
}

// Notes the first file that failed; false when this one has not.
bool ReportDataWriter::Failed(const FileReplacement* file) {
  if (!file->Error()) return false;
  if (!m_failed) {
    m_failed = true;
    m_failedPath = file->Target();
    m_error = file->Error();
  }
  return true;
}

void ReportDataWriter::AppendXmlText(std::string& out, const wchar_t* text) {
  if (!text) return;
  for (const wchar_t* p = text; *p; ++p) {
    unsigned c = static_cast<unsigned>(*p);
    switch (c) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '"': out += "&quot;"; continue;
      case '\'': out += "&apos;"; continue;
      case '\t': out += "&#x9;"; continue;
      case '\n': out += "&#xA;"; continue;
      case '\r': out += "&#xD;"; continue;
      default: break;
    }
    if (IsHighSurrogate(c) && IsLowSurrogate(static_cast<unsigned>(p[1]))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<unsigned>(p[1]) - 0xDC00);
      ++p;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c < 0x20 || (c >= 0x7F && c <= 0x9F) ||
               c == 0xFFFE || c == 0xFFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
}

void ReportDataWriter::AppendJsText(std::string& out, const std::string& bytes, bool& afterLess) {
  const size_t n = bytes.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    const bool closesTag = afterLess && b == '/';  // "</" would end the page's script early
    afterLess = b == '<';
    if (closesTag) {
      out += "\\/";
      continue;
    }
    switch (b) {
      case '\\': out += "\\\\"; continue;
      case '"': out += "\\\""; continue;
      case '\'': out += "\\'"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      default: break;
    }
    // U+2028 and U+2029 end a line inside a script on older engines.
    if (b == 0xE2 && i + 2 < n && static_cast<unsigned char>(bytes[i + 1]) == 0x80 &&
        (static_cast<unsigned char>(bytes[i + 2]) & 0xFE) == 0xA8) {
      out += static_cast<unsigned char>(bytes[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      i += 2;
      continue;
    }
    out += static_cast<char>(b);
  }
}
