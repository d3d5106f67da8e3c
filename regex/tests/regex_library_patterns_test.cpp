// The UI library's own patterns (style properties, fonts, margins, colours,
// resource references, window attributes and textures) over the texts its skins use.
#include <gtest/gtest.h>

#include <string>

#include "regex_test_support.h"

namespace vregex::testing {
namespace {

constexpr const char* kWidth = R"re(width:((?:\d+(?:px)?|\d+(?:\.\d+)?\%|auto))(?:;|$))re";
constexpr const char* kTop = R"re(top:((?:\d+(?:px)?|\d+(?:\.\d+)?\%|auto))(?:;|$))re";
constexpr const char* kLeft = R"re(left:((?:\d+(?:px)?|\d+(?:\.\d+)?\%|auto))(?:;|$))re";
constexpr const char* kBottom = R"re(bottom:((?:\d+(?:px)?|\d+(?:\.\d+)?\%|auto))(?:;|$))re";
constexpr const char* kHeight = R"re(height:(\d+(?:\.\d+)?\%|\d+(?:px)?|auto)(?:;|$))re";
constexpr const char* kBackground =
    R"re(background:(file\('(?:[a-z]\:)?[\\/]?(?:[^\\/]+[\\/]?)*'\)|rgb\(\d+,\d+,\d+\)|argb\(\d+,\d+,\d+,\d+\)|res\(.+?\)(?:;|$))re";
constexpr const char* kFont = R"re(font:(.*?)(?:;|$))re";
constexpr const char* kDisplay = R"re(display:(.*?)(?:;|$))re";
constexpr const char* kCursor = R"re(cursor:(.*?)(?:;|$))re";
constexpr const char* kColor = R"re(color:(rgb\(\d+,\d+,\d+\)|argb\(\d+,\d+,\d+,\d+\))(?:;|$))re";
constexpr const char* kColorHovered =
    R"re(color-hovered:(rgb\(\d+,\d+,\d+\)|argb\(\d+,\d+,\d+,\d+\))(?:;|$))re";
constexpr const char* kFontGrammar =
    R"re((italic |oblique )?(underline )?(small-caps )?(bold )?(strike )?(\d+px )?([^,]+))re";
constexpr const char* kMargin4 = R"re((\d+px|auto) (\d+px|auto) (\d+px|auto) (\d+px|auto))re";
constexpr const char* kMargin2 = R"re((\d+px|auto) (\d+px|auto))re";
constexpr const char* kMargin1 = R"re((\d+px|auto))re";
constexpr const char* kArgb = R"re(argb\((\d+),(\d+),(\d+),(\d+)\))re";
constexpr const char* kRgb = R"re(rgb\((\d+),(\d+),(\d+)\))re";
constexpr const char* kResource = R"re(res\(([^\),]+),(int\(\d+\)|\w+),(int\(\d+\)|\w+)\))re";
constexpr const char* kFirstItem = R"re(([^;]*)(:?;|$))re";
constexpr const char* kComboItem = R"re(^(\d+):(.*),(.*)$)re";

const std::string kYaHei = "\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91";  // 微软雅黑

struct Case {
  const char* pattern;
  std::string text;
  std::string group1;  // kUnset: the pattern must not match
};

template <size_t N>
void ExpectGroup1(const Case (&cases)[N]) {
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " over \"" + c.text + "\"");
    EXPECT_EQ(Group1(c.pattern, c.text), c.group1);
  }
}

// Every match of `pattern` in `text`, as group lists, the way a list of colours is read.
std::vector<Strings> AllMatches(const char* pattern, std::string_view text) {
  const auto regex = Regex::Compile(pattern, kIgnoreCase);
  std::vector<Strings> found;
  if (!regex) return found;
  Match match;
  for (size_t pos = 0; pos <= text.size() && regex->Search(text, &match, pos);) {
    Strings groups;
    for (size_t g = 1; g < match.GroupCount(); ++g) groups.push_back(match.GroupString(g));
    found.push_back(groups);
    pos = match.End(0) > match.Begin(0) ? match.End(0) : match.End(0) + 1;
  }
  return found;
}

TEST(StyleLengths, ValuesAndTheirAlternatives) {
  const Case cases[] = {
      {kWidth, "width:100%;height:100%;", "100%"},  // the pixel alternative fails at "%"
      {kHeight, "width:100%;height:100%;", "100%"},
      {kWidth, "width:auto;height:20px;", "auto"},
      {kHeight, "width:auto;height:20px;", "20px"},
      {kWidth, "width:200px;height:32px;font:16px " + kYaHei + ";", "200px"},
      {kHeight, "width:100%;height:32px", "32px"},  // "$" ends the value
      {kWidth, "width:22", "22"},
      {kWidth, "width:12.5%;", "12.5%"},
      {kWidth, "WIDTH:10PX;", "10PX"},
      {kWidth, "border-width:2px;", "2px"},  // found inside a longer name
      {kTop, "padding-top:5px;", "5px"},
      {kLeft, "margin-left:auto;", "auto"},
      {kHeight, "line-height:7;", "7"},
      {kWidth, "width:100% ;", kUnset},  // a blank before ";" does not fit
      {kHeight, "height:20px ;", kUnset},
      {kWidth, "width:1.5px;", kUnset},
      {kWidth, "width:abc;width:5px;", "5px"},  // the first that fits counts
      {kWidth, "width:;", kUnset},
      {kBottom, "float:bottom;", kUnset},
  };
  ExpectGroup1(cases);
}

TEST(StyleBackground, OpenGroupRunsToTheEndOfTheMatch) {
  const Case cases[] = {
      {kBackground, "background:res(self,PNG_BACK1,PNG)", "res(self,PNG_BACK1,PNG)"},
      {kBackground, "background:res(self,PNG_BACK1,PNG);width:1px;", "res(self,PNG_BACK1,PNG);"},
      {kBackground, "background:res(dll(1),int(2),PNG);", "res(dll(1),int(2),PNG);"},
      {kBackground, "background:res(a,b,c)x;", kUnset},
      {kBackground, "background:RGB(1,2,3);", "RGB(1,2,3)"},
      {kBackground, "width:1px;background:argb(254,91,91,91)", "argb(254,91,91,91)"},
      {kBackground, "background:rgb(1, 2, 3);", kUnset},
      {kBackground, "background:file('c:\\skin\\back.png');height:3px;", "file('c:\\skin\\back.png')"},
      {kBackground, "background:file('/img/x y.png')", "file('/img/x y.png')"},
      {kBackground, "background:file('C:/a/b/c.png')", "file('C:/a/b/c.png')"},
      {kBackground, "background:file('img.png", kUnset},
      {kBackground, "background-paint:1px;", kUnset},
  };
  ExpectGroup1(cases);
}

TEST(StyleLazyValues, ValueEndsAtFirstSemicolonOrEndOfText) {
  const std::string anchor = "width:auto;height:20px;color:argb(254,149,106,8);color-hovered:argb(254,149,106,8);"
                             "font:underline 12px " + kYaHei + " ;font-hovered:underline 12px " + kYaHei + " ;";
  const Case cases[] = {
      {kFont, "width:200px;height:32px;font:16px " + kYaHei + ";color:argb(254,91,91,91);", "16px " + kYaHei},
      {kFont, anchor, "underline 12px " + kYaHei + " "},
      {kColor, anchor, "argb(254,149,106,8)"},
      {kColorHovered, anchor, "argb(254,149,106,8)"},
      {kCursor, "cursor:hand", "hand"},
      {kDisplay, "display:;", ""},
      {kDisplay, "display:", ""},
      {kDisplay, "x:1", kUnset},
      {kColor, "color-hovered:rgb(1,2,3);color:rgb(4,5,6)", "rgb(4,5,6)"},
      {kColor, "color:rgb(300,0,0)", "rgb(300,0,0)"},
      {kColor, "color:argb(1, 2,3,4);", kUnset},
      {kColorHovered, "color:rgb(4,5,6);color-hovered:ARGB(9,8,7,6);", "ARGB(9,8,7,6)"},
  };
  ExpectGroup1(cases);
  EXPECT_EQ(Groups(kArgb, "argb(254,91,91,91)", kIgnoreCase), (Strings{"argb(254,91,91,91)", "254", "91", "91", "91"}));
  EXPECT_EQ(Groups(kRgb, "1px argb(1,2,3,4)", kIgnoreCase), Strings{});  // an argb value is not an rgb one
}

TEST(FontGrammar, ModifiersInOrderSizeAndFamily) {
  EXPECT_EQ(Groups(kFontGrammar, "underline 12px " + kYaHei + " ", kIgnoreCase),
            (Strings{"underline 12px " + kYaHei + " ", kUnset, "underline ", kUnset, kUnset, kUnset, "12px ",
                     kYaHei + " "}));
  EXPECT_EQ(Groups(kFontGrammar, "16px " + kYaHei, kIgnoreCase)[7], kYaHei);
  EXPECT_EQ(Groups(kFontGrammar, "italic underline small-caps bold strike 14px Arial", kIgnoreCase),
            (Strings{"italic underline small-caps bold strike 14px Arial", "italic ", "underline ", "small-caps ",
                     "bold ", "strike ", "14px ", "Arial"}));
  // Out of order: bold is taken, the rest from "italic" on becomes the family.
  const Strings out_of_order = Groups(kFontGrammar, "bold italic 12px Arial", kIgnoreCase);
  EXPECT_EQ(out_of_order[4], "bold ");
  EXPECT_EQ(out_of_order[6], kUnset);
  EXPECT_EQ(out_of_order[7], "italic 12px Arial");
  const Strings oblique = Groups(kFontGrammar, "Oblique 9PX Tahoma,Arial", kIgnoreCase);
  EXPECT_EQ(oblique[1], "Oblique ");
  EXPECT_EQ(oblique[6], "9PX ");
  EXPECT_EQ(oblique[7], "Tahoma");
  EXPECT_EQ(Groups(kFontGrammar, "12px", kIgnoreCase)[7], "12px");  // no blank: no size
}

TEST(MarginGrammar, FourTwoAndOneItemForms) {
  EXPECT_EQ(Groups(kMargin4, "2px 0px 3px 0px", kIgnoreCase), (Strings{"2px 0px 3px 0px", "2px", "0px", "3px", "0px"}));
  EXPECT_TRUE(Groups(kMargin4, "11px 40px", kIgnoreCase).empty());
  EXPECT_EQ(Groups(kMargin2, "11px 40px", kIgnoreCase), (Strings{"11px 40px", "11px", "40px"}));
  EXPECT_TRUE(Groups(kMargin2, "0 40px", kIgnoreCase).empty());
  EXPECT_EQ(Groups(kMargin1, "0 40px", kIgnoreCase), (Strings{"40px", "40px"}));
  EXPECT_EQ(Groups(kMargin2, "1px 2px 3px", kIgnoreCase), (Strings{"1px 2px", "1px", "2px"}));
  EXPECT_EQ(Groups(kMargin2, "AUTO 5px", kIgnoreCase), (Strings{"AUTO 5px", "AUTO", "5px"}));
  EXPECT_EQ(Groups(kMargin4, "auto auto 1px auto", kIgnoreCase)[3], "1px");
}

TEST(ResourceReferences, ModuleNameAndType) {
  EXPECT_EQ(Groups(kResource, "res(self,PNG_BACK1,PNG)", kIgnoreCase),
            (Strings{"res(self,PNG_BACK1,PNG)", "self", "PNG_BACK1", "PNG"}));
  EXPECT_EQ(Groups(kResource, "res(self,PNG_BACK1,PNG);", kIgnoreCase)[3], "PNG");
  EXPECT_EQ(Groups(kResource, "RES(Self,int(101),RT_RCDATA)", kIgnoreCase),
            (Strings{"RES(Self,int(101),RT_RCDATA)", "Self", "int(101)", "RT_RCDATA"}));
  EXPECT_EQ(Groups(kResource, "res(skin.dll,int(7),int(10))", kIgnoreCase),
            (Strings{"res(skin.dll,int(7),int(10))", "skin.dll", "int(7)", "int(10)"}));
  EXPECT_TRUE(Groups(kResource, "res(self,a b,PNG)", kIgnoreCase).empty());
  EXPECT_TRUE(Groups(kResource, "res(,a,PNG)", kIgnoreCase).empty());
  EXPECT_EQ(Group1(R"re(int\((\d+)\))re", "int(101)"), "101");
}

TEST(WindowAttributes, RectAndBorderOffset) {
  EXPECT_EQ(Groups(R"re(\d+ \d+ \d+ \d+)re", "10 20 300 400"), (Strings{"10 20 300 400"}));
  EXPECT_TRUE(Groups(R"re(\d+ \d+ \d+ \d+)re", "10 20 300").empty());
  EXPECT_TRUE(Groups(R"re(\d+ \d+ \d+ \d+)re", "10  20 300 400").empty());
  EXPECT_EQ(Groups(R"re(\d+ \d+)re", "x5 6"), (Strings{"5 6"}));
}

TEST(Textures, ColourListsFramesAndFirstItems) {
  EXPECT_EQ(Group1(R"re(color:\((.*)\)$)re", "color:(rgb(1,2,3)rgb(4,5,6))"), "rgb(1,2,3)rgb(4,5,6)");
  EXPECT_EQ(Group1(R"re(color:\((.*)\)$)re", "color:(rgb(1,2,3)) "), kUnset);
  EXPECT_EQ(AllMatches(kRgb, "rgb(1,2,3)rgb(4,5,6),RGB(7,8,9)"),
            (std::vector<Strings>{{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "9"}}));
  EXPECT_EQ(AllMatches(kArgb, "argb(1,2,3,4)rgb(9,9,9)argb(5,6,7,8)"),
            (std::vector<Strings>{{"1", "2", "3", "4"}, {"5", "6", "7", "8"}}));
  EXPECT_EQ(Group1(R"re(color:(.*)$)re", "color:rgb(10,20,30)"), "rgb(10,20,30)");

  EXPECT_EQ(Groups(kFirstItem, "res(self,PNG_LOADING,PNG);stretch", kIgnoreCase),
            (Strings{"res(self,PNG_LOADING,PNG);", "res(self,PNG_LOADING,PNG)", ";"}));
  EXPECT_EQ(Groups(kFirstItem, "res(self,A,PNG)", kIgnoreCase), (Strings{"res(self,A,PNG)", "res(self,A,PNG)", ""}));
  EXPECT_EQ(Groups(kFirstItem, ";x", kIgnoreCase), (Strings{";", "", ";"}));
  EXPECT_EQ(Groups(kFirstItem, "a:;b", kIgnoreCase), (Strings{"a:;", "a:", ";"}));

  EXPECT_EQ(Groups(R"re((\d+)px\s+(\d+)px)re", "16px 16px", kIgnoreCase), (Strings{"16px 16px", "16", "16"}));
  EXPECT_EQ(Groups(R"re((\d+)px\s+(\d+)px)re", "130PX\t 32px", kIgnoreCase)[2], "32");
  EXPECT_TRUE(Groups(R"re((\d+)px\s+(\d+)px)re", "16px16px").empty());
  EXPECT_EQ(AllMatches(R"re(([\d\.]+)%)re", "100% 50%,25.5%"), (std::vector<Strings>{{"100"}, {"50"}, {"25.5"}}));
}

TEST(ComboItems, DataImageAndText) {
  EXPECT_EQ(Groups(kComboItem, "1:res(self,PNG_A,PNG),Hello"), (Strings{"1:res(self,PNG_A,PNG),Hello", "1",
                                                                       "res(self,PNG_A,PNG)", "Hello"}));
  EXPECT_EQ(Groups(kComboItem, "2:,"), (Strings{"2:,", "2", "", ""}));
  EXPECT_TRUE(Groups(kComboItem, "x1:a,b").empty());
  EXPECT_TRUE(Groups(kComboItem, "3:a").empty());
  EXPECT_TRUE(Groups(kComboItem, "4:a,b\nc").empty());
}

}  // namespace
}  // namespace vregex::testing
