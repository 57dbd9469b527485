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
