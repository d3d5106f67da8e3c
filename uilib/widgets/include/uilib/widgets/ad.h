// The ad element: a picture element (picture_element.h) whose picture and
// click target may come from a small XML document named by `ad_conf`:
//   <root><ad src="http://.../picture.png" url="https://..."/></root>
// The picture is downloaded and shown, the cursor becomes a hand once it has
// arrived, and a click opens the target with the shell. Only http:// and
// https:// targets are kept: the document comes over plain HTTP, so a file,
// path or program name in it is never handed to the shell.
#pragma once

#include <cstddef>
#include <string>

#include "uilib/widgets/picture_element.h"

namespace uilib {

// The library-wide list of animated ad pictures, walked by the ads' own
// 100 ms timer.
ElementList& AdAnimationList();
void StartAdTimer();

// Configuration documents beyond this size are ignored unread.
inline constexpr std::size_t kMaxAdConfigBytes = 1024 * 1024;

// Whether the shell may open `target`: an http:// or https:// address.
bool IsWebAddress(const std::string& target);

struct AdConfig {
  std::string picture;  // `src`
  std::string target;   // `url`, only when it is a web address
};
// The first `ad` element under the document's root; false for a document
// that is too large, malformed or without one.
bool ParseAdConfig(const std::string& text, AdConfig* config);

}  // namespace uilib

class CUILibAd : public CUILibPictureElement {
 public:
  // Requests `ad_conf` at once.
  CUILibAd(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib);
  const char* KindName() const override { return "CUILibAd"; }

  // onclick opens the target (when there is one); nothing else is handled,
  // and an ad without a target lets clicks pass to its parent.
  int FireEvent(const char* name) override;
  uilib::Cursor CursorKind() const override;
  void OnFileDownloaded(uilib::DownloadRecord* record) override;
  void OnTextDownloaded(uilib::DownloadRecord* record) override;

  // IUILibImage: no fades and no slides.
  void SetSource(const wchar_t* source, std::uint32_t ignored, int repaint) override;
  void SlideTo(const wchar_t*, int, std::uint32_t) override {}

  const std::string& Target() const { return target_; }
  bool PictureArrived() const { return picture_arrived_; }

 private:
  std::string target_;
  bool picture_arrived_ = false;
};
