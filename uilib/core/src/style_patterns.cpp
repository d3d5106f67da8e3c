#include "style_patterns.h"

#include "uilib/error.h"

namespace uilib {
namespace {

// The patterns are fixed; one that does not compile is a build defect, raised
// on the library's error path the first time styles are parsed.
vregex::Regex CompileOrThrow(const char* pattern) {
  auto re = vregex::Regex::Compile(pattern, vregex::kIgnoreCase);
  if (!re) AtlThrow(kEFail);
  return std::move(*re);
}

#define UILIB_LENGTH_VALUE R"re(((?:\d+(?:px)?|\d+(?:\.\d+)?\%|auto))(?:;|$))re"
#define UILIB_LAZY_VALUE R"re((.*?)(?:;|$))re"
#define UILIB_COLOUR_VALUE R"re((rgb\(\d+,\d+,\d+\)|argb\(\d+,\d+,\d+,\d+\))(?:;|$))re"

StylePatterns Build() {
  return StylePatterns{
      {
          CompileOrThrow("width:" UILIB_LENGTH_VALUE),
          CompileOrThrow("left:" UILIB_LENGTH_VALUE),
          CompileOrThrow("top:" UILIB_LENGTH_VALUE),
          CompileOrThrow("right:" UILIB_LENGTH_VALUE),
          CompileOrThrow("bottom:" UILIB_LENGTH_VALUE),
          CompileOrThrow(R"re(height:(\d+(?:\.\d+)?\%|\d+(?:px)?|auto)(?:;|$))re"),
          // The group is deliberately left open: it closes at the end of the
          // pattern, so a res(...) value followed by ";" keeps that ";".
          CompileOrThrow(R"re(background:(file\('(?:[a-z]\:)?[\\/]?(?:[^\\/]+[\\/]?)*'\)|rgb\(\d+,\d+,\d+\)|argb\(\d+,\d+,\d+,\d+\)|res\(.+?\)(?:;|$))re"),
          CompileOrThrow("background-paint:" UILIB_LAZY_VALUE),
          CompileOrThrow("font:" UILIB_LAZY_VALUE),
          CompileOrThrow("cursor:" UILIB_LAZY_VALUE),
          CompileOrThrow("color:" UILIB_COLOUR_VALUE),
          CompileOrThrow("color-hovered:" UILIB_COLOUR_VALUE),
          CompileOrThrow("font-hovered:" UILIB_LAZY_VALUE),
          CompileOrThrow("text-align:" UILIB_LAZY_VALUE),
          CompileOrThrow("border:" UILIB_LAZY_VALUE),
          CompileOrThrow("margin:" UILIB_LAZY_VALUE),
          CompileOrThrow("padding:" UILIB_LAZY_VALUE),
          CompileOrThrow("float:" UILIB_LAZY_VALUE),
          CompileOrThrow("overflow:" UILIB_LAZY_VALUE),
          CompileOrThrow("display:" UILIB_LAZY_VALUE),
          CompileOrThrow("keepaspect:" UILIB_LAZY_VALUE),
          CompileOrThrow("dropshadow:" UILIB_LAZY_VALUE),
          CompileOrThrow("position:" UILIB_LAZY_VALUE),
          CompileOrThrow("text-anti-ailas:" UILIB_LAZY_VALUE),
          CompileOrThrow("text-shadow:" UILIB_LAZY_VALUE),
      },
      CompileOrThrow(R"re(argb\((\d+),(\d+),(\d+),(\d+)\))re"),
      CompileOrThrow(R"re(rgb\((\d+),(\d+),(\d+)\))re"),
      CompileOrThrow(R"re((italic |oblique )?(underline )?(small-caps )?(bold )?(strike )?(\d+px )?([^,]+))re"),
      CompileOrThrow(R"re((\d+px|auto) (\d+px|auto) (\d+px|auto) (\d+px|auto))re"),
      CompileOrThrow(R"re((\d+px|auto) (\d+px|auto))re"),
      CompileOrThrow(R"re((\d+px|auto))re"),
      CompileOrThrow(R"re((\d+)px)re"),
  };
}

}  // namespace

const StylePatterns& Patterns() {
  static const StylePatterns patterns = Build();
  return patterns;
}

}  // namespace uilib
