#include "reports/ReportListXml.h"

#include <tinyxml.h>

#include <cstdio>
#include <new>

#include "platform/XmlParse.h"

namespace {

const char* const kAttributes[] = {"ReportName", "StrategyName", "ProduceTime", "CreaterName",
                                   "DetailContent"};

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
      if (!charset.Encode(*values[a], value)) {
        bytes.clear();
        if (badRow) *badRow = r;
        return false;
      }
      ((bytes += ' ') += kAttributes[a]) += "=\"";
      qv::AppendXmlEscaped(bytes, value);
      bytes += '"';
    }
    bytes += " />\r\n";
  }
  bytes += "</reports>\r\n";
  return true;
}

bool ReportListXml::Read(std::string_view bytes, const Charset& charset, std::vector<Row>& rows,
                         char32_t* unheld) {
  rows.clear();
  if (unheld) *unheld = 0;
  if (bytes.size() > kMaxFileBytes || bytes.find('\0') != std::string_view::npos) return false;
  std::vector<Row> read;
  try {
    TiXmlDocument doc;
    TiXmlEncoding encoding = TIXML_ENCODING_UNKNOWN;
    const auto toCodePage = [&charset](std::wstring_view text, std::string& out) { return charset.Encode(text, out); };
    const TiXmlElement* root =
        qv::ParseXml(doc, bytes, TIXML_DEFAULT_ENCODING, qv::kMaxXmlDepth, &encoding, toCodePage, unheld)
            ? doc.RootElement()
            : nullptr;
    if (!root) return false;
    const bool utf8 = encoding == TIXML_ENCODING_UTF8;
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
