#include "uilib/widgets/virtual_button.h"

#include <tinyxml.h>

#include "uilib/button_state.h"
#include "uilib/text_util.h"
#include "uilib/tree_lock.h"

namespace {

std::string_view AttributeText(const TiXmlElement* xml, const char* name) {
  const char* value = xml->Attribute(name);
  return value != nullptr ? std::string_view(value) : std::string_view();
}

}  // namespace

CUILibVirtualBtn::CUILibVirtualBtn(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  const TiXmlElement* copy = Xml();
  texture_ = std::string(AttributeText(copy, "texture"));
  if (!texture_.empty()) {
    colours_ = uilib::ParseTextureColourList(texture_);
    if (colours_.empty()) {
      if (uilib::IsRemoteTexture(texture_)) {
        // Fetched at the first paint that shows the button.
        remote_ = true;
      } else {
        image_ = uilib::LoadTextureImage(texture_);
      }
    }
  }
  if (copy->Attribute("texture-size") != nullptr) {
    if (auto size = uilib::ParseTextureSize(AttributeText(copy, "texture-size"))) frame_size_ = *size;
  }
  if (copy->Attribute("texture-margin") != nullptr) {
    texture_margin_ = uilib::ParseTextureMargin(AttributeText(copy, "texture-margin"));
  }
  if (copy->Attribute("texture-gray") != nullptr) {
    gray_matrices_ = uilib::ParseTextureGray(AttributeText(copy, "texture-gray"));
  }
}

CUILibVirtualBtn::~CUILibVirtualBtn() = default;

uilib::StateIndex CUILibVirtualBtn::CurrentState() const {
  return uilib::ComputeStateIndex(IsHovered(), uilib::IsLeftButtonDown(), IsDisabled());
}

void CUILibVirtualBtn::RequestGrownRepaint() {
  if (uilib::WindowServices* services = Services()) {
    services->RequestRepaint(uilib::GrownRepaintRect(Rect(), ScrollOffset()));
  }
}

void CUILibVirtualBtn::RequestRemoteTexture() {
  if (!remote_ || requested_) return;
  requested_ = true;
  // Client value 1: repaint the button when the file has arrived.
  DownloadFile(texture_.c_str(), 1);
}

int CUILibVirtualBtn::OnLButtonDown(uilib::PointF point) {
  if (!IsDisabled()) RequestGrownRepaint();
  return CUILibElement::OnLButtonDown(point);
}

int CUILibVirtualBtn::OnLButtonUp(uilib::PointF point) {
  if (!IsDisabled()) RequestGrownRepaint();
  return CUILibElement::OnLButtonUp(point);
}

int CUILibVirtualBtn::OnMouseEnter() {
  RequestGrownRepaint();
  return 1;
}

int CUILibVirtualBtn::OnMouseLeave() {
  if (IsDisabled()) return CUILibElement::OnMouseLeave();
  RequestGrownRepaint();
  return 1;
}

void CUILibVirtualBtn::OnFileDownloaded(uilib::DownloadRecord* record) {
  if (record != nullptr) {
    if (uilib::TextureImagePtr image = uilib::LoadTextureFile(record->final_path)) {
      // The render thread may be drawing the old image right now; the old
      // one is freed after the lock is released.
      uilib::ScopedTreeChange change(Library(), "texture swap");
      image_.swap(image);
    }
    if (record->client_value != 0) {
      if (uilib::WindowServices* services = Services()) {
        services->RequestRepaint(uilib::ScrolledRepaintRect(Rect(), ScrollOffset()));
      }
    }
  }
  CUILibElement::OnFileDownloaded(record);
}

int CUILibVirtualBtn::Enable(int enable) {
  {
    uilib::ScopedTreeChange change(Library(), "Enable");
    SetHovered(false);
  }
  return CUILibElement::Enable(enable);
}

CUILibVirtualCheckBox::CUILibVirtualCheckBox(CUILibElement* parent, const TiXmlElement* xml, IUILib* lib)
    : CUILibElement(parent, xml, lib) {
  const std::string_view texture = AttributeText(Xml(), "texture");
  if (!texture.empty()) image_ = uilib::LoadTextureImage(texture);
  checked_ = uilib::EqualsIgnoreCase(AttributeText(Xml(), "checked"), "true") ? 1 : 0;
}

CUILibVirtualCheckBox::~CUILibVirtualCheckBox() = default;

uilib::StateIndex CUILibVirtualCheckBox::CurrentState() const {
  return uilib::ComputeStateIndex(IsHovered(), uilib::IsLeftButtonDown(), IsDisabled());
}

void CUILibVirtualCheckBox::RequestGrownRepaint() {
  if (uilib::WindowServices* services = Services()) {
    services->RequestRepaint(uilib::GrownRepaintRect(Rect(), ScrollOffset()));
  }
}

void CUILibVirtualCheckBox::SetCheck(int checked) {
  {
    uilib::ScopedTreeChange change(Library(), "SetCheck");
    checked_ = checked;
  }
  RequestGrownRepaint();
}

int CUILibVirtualCheckBox::OnLButtonDown(uilib::PointF point) {
  if (!IsDisabled()) RequestGrownRepaint();
  return CUILibElement::OnLButtonDown(point);
}

int CUILibVirtualCheckBox::OnLButtonUp(uilib::PointF point) {
  if (!IsDisabled()) {
    {
      uilib::ScopedTreeChange change(Library(), "check toggle");
      checked_ = checked_ == 0 ? 1 : 0;
    }
    RequestGrownRepaint();
  }
  return CUILibElement::OnLButtonUp(point);
}

int CUILibVirtualCheckBox::OnMouseEnter() {
  RequestGrownRepaint();
  return 1;
}

int CUILibVirtualCheckBox::OnMouseLeave() {
  if (!IsDisabled()) RequestGrownRepaint();
  return CUILibElement::OnMouseLeave();
}
