// The image provider the tool offers to skins as "uilib::GalleryPictures": a
// picture of the asked size in four coloured quadrants, so that a skin's
// `img_provider` elements show something when the tool renders or shows them.
#pragma once

class CUILibImpl;

namespace uilibtool {

void RegisterSampleProviders(CUILibImpl& lib);

}  // namespace uilibtool
