#include "uilib/widgets/ad.h"

#include <tinyxml.h>

#include "uilib/download_record.h"
#include "uilib/shell_open.h"
#include "uilib/text_util.h"
#include "uilib/tree_lock.h"
#include "uilib/widgets/texture_attributes.h"

namespace uilib {

ElementList& AdAnimationList() {
  static auto* list = new ElementList;
  return *list;
}

bool IsWebAddress(const std::string& target) { return IsDownloadableUrl(target); }

bool ParseAdConfig(const std::string& text, AdConfig* config) {
  if (text.size() > kMaxAdConfigBytes) return false;
  TiXmlDocument document;
  document.Parse(text.c_str());
  if (document.Error()) return false;
  const TiXmlElement* root = document.RootElement();
  const TiXmlElement* ad = root != nullptr ? root->FirstChildElement("ad") : nullptr;
  if (ad == nullptr) return false;
  const char* picture = ad->Attribute("src");
  const char* target = ad->Attribute("url");
  config->picture = picture != nullptr ? picture : "";
  config->target = target != nullptr && IsWebAddress(target) ? target : "";
  return true;
}

}  // namespace uilib

CUILibAd::CUILibAd(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibPictureElement(parent, xml, lib, uilib::AdAnimationList(), true) {
  if (const char* config = Xml()->Attribute("ad_conf")) DownloadText(config);
  uilib::StartAdTimer();
}

int CUILibAd::FireEvent(const char* name) {
  if (name == nullptr || !uilib::EqualsIgnoreCase(name, "onclick") || target_.empty()) return 0;
  uilib::OpenWithShell(target_);
  return 1;
}

uilib::Cursor CUILibAd::CursorKind() const {
  return picture_arrived_ ? uilib::Cursor::kHand : CUILibElement::CursorKind();
}

void CUILibAd::OnTextDownloaded(uilib::DownloadRecord* record) {
  uilib::AdConfig config;
  if (record != nullptr && uilib::ParseAdConfig(record->text, &config)) {
    target_ = config.target;
    if (!config.picture.empty()) DownloadFile(config.picture.c_str(), 1);
  }
  CUILibElement::OnTextDownloaded(record);
}

void CUILibAd::OnFileDownloaded(uilib::DownloadRecord* record) {
  if (record != nullptr) {
    SetSource(record->final_path.c_str(), 0, record->client_value != 0 ? 1 : 0);
    picture_arrived_ = HasImage();
  }
  CUILibElement::OnFileDownloaded(record);
}

void CUILibAd::SetSource(const wchar_t* source, std::uint32_t, int repaint) {
  if (source == nullptr) return;
  uilib::ScopedTreeChange change(Library(), "SetSource");
  ReplacePicture(nullptr);
  const std::string text = uilib::WideToUtf8(source);
  if (uilib::IsRemoteTexture(text)) {
    SetRemoteSource(text);
  } else {
    ReplacePicture(uilib::LoadTextureImage(text));
  }
  if (repaint != 0) RepaintPicture();
}
