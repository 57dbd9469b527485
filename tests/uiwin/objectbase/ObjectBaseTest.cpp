#include <gtest/gtest.h>

#include <string>

#include <tinyxml.h>

#include "uiwin/CUiObject.h"

namespace {

struct HexCase {
  const char* text;
  int digits;
  unsigned long value;
};

TEST(ObjectBase, HexadecimalGrammar) {
  const HexCase cases[] = {
      {"FF", 2, 0xFF}, {"ff", 2, 0xFF}, {"1x", -1, 0}, {"1x", 1, 1}, {"", 2, 0},
      {"FF00", -1, 0xFF00}, {"0600", -1, 0x600}, {"0x10", -1, 0}, {"ABCDEF", 2, 0xAB},
      {"G1", 2, 0}, {"7", 2, 7},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.value, CUiObject::ParseHex(c.text, c.digits)) << c.text << " / " << c.digits;
  EXPECT_EQ(0u, CUiObject::ParseHex(nullptr));
}

TEST(ObjectBase, DecimalGrammarReadsLikeStrToInt) {
  EXPECT_EQ(12, CUiObject::ParseInt("12px"));
  EXPECT_EQ(-7, CUiObject::ParseInt("-7"));
  EXPECT_EQ(5, CUiObject::ParseInt("  +5"));
  EXPECT_EQ(0, CUiObject::ParseInt("x12"));
  EXPECT_EQ(0, CUiObject::ParseInt(""));
  EXPECT_EQ(0, CUiObject::ParseInt(nullptr));
}

TEST(ObjectBase, ColourGrammar) {
  EXPECT_EQ(0x0000FFu, CUiObject::ParseColor("FF0000"));  // red in the low byte
  EXPECT_EQ(0x0FFFFFu, CUiObject::ParseColor("FFFFF"));   // short blue pair reads "F"
  EXPECT_EQ(0xF2F0D4u, CUiObject::ParseColor("D4F0F2"));
  EXPECT_EQ(0x563400u, CUiObject::ParseColor("Z03456"));  // bad red pair: red 0, rest read
  EXPECT_EQ(0x0000ABu, CUiObject::ParseColor("AB"));
  EXPECT_EQ(0u, CUiObject::ParseColor(""));
}

class Probe : public CUiObject {
 public:
  BOOL IsClass(const char* name) const override { return std::string(name) == "probe"; }
  const char* GetObjectClass() const override { return "probe"; }
  HRESULT SetAttribute(const char* name, const char* value, BOOL loading) override {
    HRESULT hr = CUiObject::SetAttribute(name, value, loading);
    if (SUCCEEDED(hr)) return hr;
    order += name;
    order += ';';
    if (std::string(name) == "width") {
      width = ParseInt(value);
      return S_OK;
    }
    if (std::string(name) == "crtext") {
      colour = ParseColor(value);
      return S_FALSE;
    }
    return E_FAIL;
  }
  std::string order;
  int width = -1;
  COLORREF colour = kUiColorUnset;
};

TEST(ObjectBase, LoadOffersEveryAttributeInDocumentOrder) {
  TiXmlDocument doc;
  doc.Parse("<probe crtext=\"FF0000\" unknown=\"1\" width=\"30\"/>");
  Probe p;
  EXPECT_TRUE(p.Load(doc.RootElement()));
  EXPECT_EQ("crtext;unknown;width;", p.order);
  EXPECT_EQ(30, p.width);
  EXPECT_EQ(0xFFu, p.colour);
  EXPECT_EQ(E_FAIL, p.SetAttribute("nothing", "1", FALSE));
  EXPECT_EQ(30, p.width);
  EXPECT_TRUE(p.Load(nullptr));
}

}  // namespace
