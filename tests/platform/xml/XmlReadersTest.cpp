// The guarded XML parse and every reader of outside XML over the texts that once ran the
// parser out of stack past the nesting guard: each reader refuses them as it refuses any
// unreadable text, and the guard's count agrees with the tree the parser builds.
#include <gtest/gtest.h>

#include "console/RemoteListing.h"
#include "console/SysServerPortConfig.h"
#include "integrity/StrategyXmlFile.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "platform/XmlParse.h"
#include "reinforce/ReinforceOptionMask.h"
#include "reports/ReportListAnsiCharset.h"
#include "reports/ReportListXml.h"
#include "support/CraftedXml.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

TEST(XmlReaders, RefuseTheCraftedTextsAsAnyUnreadableOne) {
  testenv::TempDir temp;
  const std::wstring config = temp.File(L"SysServerPort.xml");
  const std::string configPath = qv::WideToAnsi(config);
  for (const craftedxml::Text& text : craftedxml::All(true)) {
    SCOPED_TRACE(text.name);
    std::vector<ReportListXml::Row> rows;
    EXPECT_FALSE(ReportListXml::Read(text.bytes, ReportListAnsiCharset(), rows));
    std::vector<StrategyXmlFile::Row> strategies;
    EXPECT_FALSE(StrategyXmlFile::Read(text.bytes, strategies));

    ASSERT_TRUE(testfiles::WriteBytes(config, text.bytes));
    std::wstring unread;
    EXPECT_EQ(0, LoadSysServerPortConfig(configPath.c_str(), nullptr, &unread));
    EXPECT_EQ(qv::FormatW(L"配置文件%ls格式不正确（第1行），未能读入数据库连接设置。", config.c_str()), unread);
  }
  // The answers and the mask are UTF-8 by their nature: nothing marks them.
  for (const craftedxml::Text& text : craftedxml::All(false)) {
    SCOPED_TRACE(text.name);
    const std::string answer = text.bytes + '\0';
    RemoteListing listing;
    EXPECT_FALSE(listing.Parse(RemoteListing::kEntries, reinterpret_cast<const unsigned char*>(answer.data()),
                               answer.size()));
    EXPECT_TRUE(listing.Entries().empty());
    uint32_t mask = 7;
    EXPECT_FALSE(ReinforceOptionMask::Parse(answer.data(), answer.size(), &mask));
    EXPECT_EQ(7u, mask);
  }
}

// One value as each file reader's own file carries it: the report list's first
// attribute, a strategy's first, the settings' Description.
struct Files {
  std::string reportList, strategies, settings;
};
Files FilesHolding(const std::string& head, const std::string& value) {
  std::string strategy = "<strategy a=\"" + value + "\"";
  for (size_t i = 1; i < StrategyXmlFile::kAttributeCount; ++i) strategy += " a" + std::to_string(i) + "=\"0\"";
  return {head + "<reports><report a=\"" + value + "\" b=\"s\" c=\"\" d=\"1\" e=\"\"/></reports>",
          head + "<strategys>" + strategy + "/></strategys>",
          head + "<config><port DSN=\"q\" Description=\"" + value + "\"/></config>"};
}

// The report list and the settings file both read `read` from the files.
void ExpectReportListAndSettingsRead(const Files& files, const std::wstring& read) {
  std::vector<ReportListXml::Row> reports;
  ASSERT_TRUE(ReportListXml::Read(files.reportList, ReportListAnsiCharset(), reports));
  EXPECT_EQ(read, reports[0].reportName);
  EXPECT_EQ(1, ParseSysServerPortConfig(files.settings));
  EXPECT_EQ(read, g_dsnDescription);
}

// A malformed character reference makes the file malformed for every reader: the parser
// would read it as a NUL, nothing, or another character.
TEST(XmlReaders, RefuseAMalformedCharacterReference) {
  const std::string big(200 * 1024, '9');
  const std::string malformed[] = {"&#;", "&#x;", "&#12a;", "&#0;", "&#x0000;", "&#xD800;", "&#57343;", "&#x110000;",
                                   "&#1114112;", "&#4294967361;", "&#X41;", "&#x12x34;", "&#12#34;", "a&#65",
                                   "&#" + big + ";", "&#x" + big + ";", "&#" + std::string(200 * 1024, '0') + ";"};
  for (const std::string& value : malformed) {
    SCOPED_TRACE(value.substr(0, 16));
    const Files files = FilesHolding("", value);
    std::vector<ReportListXml::Row> rows;
    EXPECT_FALSE(ReportListXml::Read(files.reportList, ReportListAnsiCharset(), rows));
    std::vector<StrategyXmlFile::Row> strategies;
    EXPECT_FALSE(StrategyXmlFile::Read(files.strategies, strategies));
    std::wstring unread;
    EXPECT_EQ(0, ParseSysServerPortConfig(files.settings, nullptr, &unread, L"S.xml"));
    EXPECT_EQ(0u, unread.find(L"配置文件S.xml格式不正确")) << qv::WideToUtf8(unread);
  }
  // Well-formed ones still read, leading zeros and the last character included.
  const struct { std::string value; std::wstring read; } wellFormed[] = {
      {"&#65;&#x42;&#x0043;", L"ABC"}, {"&#" + std::string(200 * 1024, '0') + "68;", L"D"},
      {"&#x10FFFF;&#x4E2D;", L"\xDBFF\xDFFF中"}, {"&#x01;", L"\x01"}};
  for (const auto& row : wellFormed) {
    SCOPED_TRACE(row.value.substr(0, 16));
    const Files files = FilesHolding("\xEF\xBB\xBF", row.value);
    ExpectReportListAndSettingsRead(files, row.read);
    std::vector<StrategyXmlFile::Row> strategies;
    EXPECT_TRUE(StrategyXmlFile::Read(files.strategies, strategies));
  }
}

// One rule for the encoding of every file: a byte-order mark or a declaration naming
// UTF-8 makes it UTF-8, one naming another encoding the code page's; a declaration
// naming none leaves it to the bytes; without a declaration it is the code page's, as
// the console writes its own files (GBK "志" is well-formed UTF-8 too).
TEST(XmlReaders, SettleTheEncodingOfAFileByOneRule) {
  const std::string gbk = "\xD6\xD0\xCE\xC4", zhi = "\xD6\xBE", utf8 = "\xE7\x9B\x91\xE6\xB5\x8B";
  const std::string bare = "<?xml version=\"1.0\"?>\r\n";
  const struct { std::string head, value; bool utf8; std::wstring read; } rows[] = {
      {"", gbk, false, L"中文"},
      {"", zhi, false, L"志"},
      {bare, gbk, false, L"中文"},
      {bare, utf8, true, L"监测"},
      {bare, zhi, true, L"\x05BE"},
      {"\xEF\xBB\xBF", utf8, true, L"监测"},
      {"<?xml version='1.0' encoding='utf-8'?>", utf8, true, L"监测"},
      {"<?xml version=\"1.0\" encoding=\"GBK\"?>", zhi, false, L"志"},
      {"<!-- GBK --><?xml version=\"1.0\" encoding=\"gb2312\"?>", gbk, false, L"中文"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.head + row.value);
    const Files files = FilesHolding(row.head, row.value);
    ExpectReportListAndSettingsRead(files, row.read);
    std::vector<StrategyXmlFile::Row> strategies;
    bool strategyUtf8 = !row.utf8;
    ASSERT_TRUE(StrategyXmlFile::Read(files.strategies, strategies, &strategyUtf8));
    EXPECT_EQ(row.utf8, strategyUtf8);
    EXPECT_EQ(row.value, strategies[0][0]);
  }
}

// A character reference names its character in a file read in the code page too: every
// reader gets that character, decimal or hex, beside the file's own bytes; one the code
// page lacks refuses the file, named. Markup that holds no references reads whatever
// "&#" it holds.
TEST(XmlReaders, ReadACharacterReferenceInTheCodePageAsItsCharacter) {
  const std::string gbk = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n",
                    latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n",
                    bare = "<?xml version=\"1.0\"?>\r\n", markup = "<!-- &# --><?pi &#?>\r\n";
  const struct { std::string head, value; std::wstring read; } rows[] = {
      {"", "&#x5F20;V0&#25253;&#x544A;", L"张V0报告"},
      {"", "Caf&#233;V1\xB1\xA8\xB8\xE6", L"CaféV1报告"},
      {gbk, "&#24352;&#x4E09;&#65;", L"张三A"},
      {latin1, "Caf&#xE9;&amp;#x5F20;", L"Café&#x5F20;"},
      {bare, "\xD6\xD0&#x6587;", L"中文"},  // not UTF-8: the code page's
      {markup, "&#x5F20;", L"张"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.head + row.value);
    const Files files = FilesHolding(row.head, row.value);
    ExpectReportListAndSettingsRead(files, row.read);
    std::vector<StrategyXmlFile::Row> strategies;
    bool utf8 = true;
    ASSERT_TRUE(StrategyXmlFile::Read(files.strategies, strategies, &utf8, qv::WideToAnsiExact));
    EXPECT_FALSE(utf8);
    EXPECT_EQ(row.read, qv::AnsiToWide(strategies[0][0]));
  }
  // Past the code page: a character beyond the BMP, one GBK lacks.
  const struct { std::string head, value; char32_t unheld; } unheld[] = {
      {"", "&#128512;", 0x1F600}, {gbk, "a&#xAC00;", 0xAC00}, {latin1, "&#x1F600;", 0x1F600}};
  for (const auto& row : unheld) {
    SCOPED_TRACE(row.head + row.value);
    const Files files = FilesHolding(row.head, row.value);
    std::vector<ReportListXml::Row> reports;
    char32_t named = 0;
    EXPECT_FALSE(ReportListXml::Read(files.reportList, ReportListAnsiCharset(), reports, &named));
    EXPECT_EQ(row.unheld, named);
    std::vector<StrategyXmlFile::Row> strategies;
    named = 0;
    EXPECT_FALSE(StrategyXmlFile::Read(files.strategies, strategies, nullptr, qv::WideToAnsiExact, &named));
    EXPECT_EQ(row.unheld, named);
    std::wstring refusal, unread;
    EXPECT_EQ(0, ParseSysServerPortConfig(files.settings, &refusal, &unread, L"S.xml"));
    EXPECT_EQ(qv::FormatW(L"配置文件S.xml含有系统代码页无法表示的字符（&#x%X;），数据库连接设置未读入。",
                          static_cast<unsigned>(row.unheld)),
              unread);
    EXPECT_EQ(unread, refusal);
    EXPECT_STREQ(L"", g_dsnName);
  }
}

// The guard's count is the depth of the tree the parser builds, an empty element
// included; and where the two might read the markup apart the text is refused.
TEST(XmlParse, CountsAsTheParserNestsAndRefusesWhatItWouldReadApart) {
  const struct {
    const char* text;
    TiXmlEncoding encoding;
    bool parsed;
    size_t depth;  // of the tree when parsed
  } rows[] = {
      {"<r><a><b/></a></r>", TIXML_ENCODING_UTF8, true, 3},
      {"<r><a><b/></a></r>", TIXML_ENCODING_LEGACY, true, 3},
      {"<r>\xE4\xB8\xAD<!-- <a><a> --><a x='>'/></r>", TIXML_ENCODING_UTF8, true, 2},
      {"<r a=\"&#x4E2D;&#20013;&lt;\"><a/></r>", TIXML_ENCODING_UTF8, true, 2},
      {"<?xml version='1.0'?>\n<r><a/></r>", TIXML_DEFAULT_ENCODING, true, 2},
      // GBK behind a declaration naming no encoding: read byte by byte, not refused.
      {"<?xml version=\"1.0\"?><r n=\"\xD6\xD0\xCE\xC4\"><a/></r>", TIXML_DEFAULT_ENCODING, true, 2},
      {"<?xml version=\"1.0\" encoding=\"GBK\"?><r n=\"\xE4\"/>", TIXML_DEFAULT_ENCODING, true, 1},
      // Not UTF-8 where UTF-8 is to be read: every lead byte before ASCII, cut, overlong.
      {"<r>\xC2<!--<a><a></r>", TIXML_ENCODING_UTF8, false, 0},
      {"<r>\xE0\xA0<!--<a></r>", TIXML_ENCODING_UTF8, false, 0},
      {"<r>\xF4\x8F\xBF<!--<a></r>", TIXML_ENCODING_UTF8, false, 0},
      {"<r a=\"\xF0\">\"<a><a></r>", TIXML_ENCODING_UTF8, false, 0},
      {"\xEF\xBB\xBF<r>\xC0\xBC</r>", TIXML_DEFAULT_ENCODING, false, 0},
      {"<?xml version='1.0' encoding='utf-8'?><r>\xED\xA0\x80</r>", TIXML_DEFAULT_ENCODING, false, 0},
      {"<r>\xF0</r>", TIXML_ENCODING_UTF8, false, 0},
      // A character reference over markup, in any encoding.
      {"<r>&#x<!--x;<a></a></r>", TIXML_ENCODING_LEGACY, false, 0},
      {"<r a=\"&#1'2;\"/>", TIXML_ENCODING_UTF8, false, 0},
      // A declaration's quoted values hold its ">" for the parser as for the count.
      {"<r><?xml version=\"><!--\"?><a><a/></a></r>", TIXML_ENCODING_LEGACY, true, 3},
      // No element to the parser, whatever the quotes: its first '>' ends it.
      {"<r><-\"?><a><a/></a></r>", TIXML_ENCODING_LEGACY, true, 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    TiXmlDocument doc;
    EXPECT_EQ(row.parsed, qv::ParseXml(doc, row.text, row.encoding));
    EXPECT_EQ(row.depth, qv::XmlTreeDepth(doc));
    if (row.parsed) EXPECT_EQ(row.depth, qv::XmlNestingDepth(row.text, row.encoding == TIXML_ENCODING_UTF8));
  }
  // The limit is the tree's depth: at it parsed, one over refused.
  const std::string atLimit = "<r>" + craftedxml::Nested(int(qv::kMaxXmlDepth) - 2) + "<b/>";
  TiXmlDocument doc, over;
  EXPECT_TRUE(qv::ParseXml(doc, atLimit, TIXML_ENCODING_UTF8) || doc.Error());
  EXPECT_EQ(size_t(qv::kMaxXmlDepth), qv::XmlTreeDepth(doc));
  EXPECT_FALSE(qv::ParseXml(over, "<r>" + atLimit, TIXML_ENCODING_UTF8));
  EXPECT_EQ(0u, qv::XmlTreeDepth(over));
}

}  // namespace
