#include "reports/ReportListXml.h"

#include <tinyxml.h>

#include <cstdio>
#include <new>

namespace {

const char* const kAttributes[] = {"ReportName", "StrategyName", "ProduceTime", "CreaterName",
                                   "DetailContent"};
const char kBom[] = "\xEF\xBB\xBF";

std::wstring Escape(std::wstring_view value) {
  std::wstring out;
  out.reserve(value.size());
  for (wchar_t c : value) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&apos;"; break;
      default:
        if (c < 0x20) {
          wchar_t ref[8];
          std::swprintf(ref, 8, L"&#x%02X;", static_cast<unsigned>(c));
          out += ref;
        } else {
          out += c;
        }
    }
  }
  return out;
}

// The deepest element nesting, found by looking at the markup only: the parser would
// recurse once per level and run out of stack on a crafted file. Quotes count only
// inside tags; comments, sections and declarations are skipped whole.
size_t NestingDepth(std::string_view s) {
  size_t depth = 0, deepest = 0;
  auto skipTo = [&s](size_t from, const char* end) {
    size_t at = s.find(end, from);
    return at == std::string_view::npos ? s.size() : at;
  };
  for (size_t i = s.find('<'); i < s.size(); i = s.find('<', i + 1)) {
    std::string_view rest = s.substr(i);
    if (rest.compare(0, 4, "<!--") == 0) {
      i = skipTo(i + 4, "-->");
    } else if (rest.compare(0, 9, "<![CDATA[") == 0) {
      i = skipTo(i + 9, "]]>");
    } else if (rest.size() > 1 && (rest[1] == '?' || rest[1] == '!')) {
      i = skipTo(i + 2, ">");
    } else if (rest.size() > 1 && rest[1] == '/') {
      if (depth) --depth;
      i = skipTo(i + 2, ">");
    } else {
      char quote = 0;
      size_t j = i + 1;
      for (; j < s.size(); ++j) {
        if (quote) {
          if (s[j] == quote) quote = 0;
        } else if (s[j] == '"' || s[j] == '\'') {
          quote = s[j];
        } else if (s[j] == '>') {
          break;
        }
      }
      if (j < s.size() && s[j - 1] != '/' && ++depth > deepest) deepest = depth;
      i = j;
    }
  }
  return deepest;
}

// As the parser decides it: a byte-order mark, else the first declaration, whose
// encoding is UTF-8 when it names none.
bool IsUtf8(std::string_view bytes, const TiXmlDocument& doc) {
  if (bytes.compare(0, 3, kBom) == 0) return true;
  for (const TiXmlNode* node = doc.FirstChild(); node; node = node->NextSibling()) {
    if (const TiXmlDeclaration* decl = node->ToDeclaration()) {
      std::string encoding = decl->Encoding();
      for (char& c : encoding) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
      return encoding.empty() || encoding == "UTF-8" || encoding == "UTF8";
    }
  }
  return false;
}

bool Digits(std::wstring_view text, size_t at, size_t count, int low, int high) {
  if (at + count > text.size()) return false;
  int value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
    value = value * 10 + (text[i] - L'0');
  }
  return value >= low && value <= high;
}

// An empty text (NULL) or "YYYY-MM-DD HH:MM:SS" with up to three digits of fraction, in
// the range a datetime column takes.
bool IsTimeText(std::wstring_view text) {
  if (text.empty()) return true;
  if (text.size() < 19 || text[4] != L'-' || text[7] != L'-' || text[10] != L' ' || text[13] != L':' ||
      text[16] != L':')
    return false;
  if (!Digits(text, 0, 4, 1753, 9999) || !Digits(text, 5, 2, 1, 12) || !Digits(text, 8, 2, 1, 31) ||
      !Digits(text, 11, 2, 0, 23) || !Digits(text, 14, 2, 0, 59) || !Digits(text, 17, 2, 0, 59))
    return false;
  if (text.size() == 19) return true;
  return text[19] == L'.' && text.size() <= 23 && text.size() > 20 &&
         Digits(text, 20, text.size() - 20, 0, 999);
}

}  // namespace

bool ReportListXml::Write(const std::vector<Row>& rows, const Charset& charset, std::string& bytes,
                          size_t* badRow) {
  bytes.clear();
  if (rows.empty()) {
    bytes = "<reports />\r\n";
    return true;
  }
  bytes = "<reports>\r\n";
  std::string value;
  for (size_t r = 0; r < rows.size(); ++r) {
    const Row& row = rows[r];
    const std::wstring* values[] = {&row.reportName, &row.strategyName, &row.produceTime, &row.fourth, &row.fifth};
    bytes += "    <report";
    for (size_t a = 0; a < 5; ++a) {
      if (!charset.Encode(Escape(*values[a]), value)) {
        bytes.clear();
        if (badRow) *badRow = r;
        return false;
      }
      ((((bytes += ' ') += kAttributes[a]) += "=\"") += value) += '"';
    }
    bytes += " />\r\n";
  }
  bytes += "</reports>\r\n";
  return true;
}

bool ReportListXml::Read(std::string_view bytes, const Charset& charset, std::vector<Row>& rows) {
  rows.clear();
  if (bytes.size() > kMaxFileBytes || bytes.find('\0') != std::string_view::npos ||
      NestingDepth(bytes) > kMaxDepth)
    return false;
  std::vector<Row> read;
  try {
    TiXmlDocument doc;
    doc.Parse(std::string(bytes).c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    const TiXmlElement* root = doc.Error() ? nullptr : doc.RootElement();
    if (!root) return false;
    const bool utf8 = IsUtf8(bytes, doc);
    for (const TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement()) {
      Row row;
      std::wstring* values[] = {&row.reportName, &row.strategyName, &row.produceTime, &row.fourth, &row.fifth};
      const TiXmlAttribute* attribute = child->FirstAttribute();
      for (std::wstring* value : values) {
        if (!attribute) return false;
        *value = charset.Decode(attribute->ValueStr(), utf8);
        attribute = attribute->Next();
      }
      // The fourth and fifth columns are the table's to judge: they differ between databases.
      if (row.reportName.size() > kMaxReportName || row.strategyName.size() > kMaxStrategyName ||
          !IsTimeText(row.produceTime))
        return false;
      read.push_back(std::move(row));
    }
  } catch (const std::bad_alloc&) {
    return false;  // a file too big for the memory left
  }
  rows.swap(read);
  return true;
}
