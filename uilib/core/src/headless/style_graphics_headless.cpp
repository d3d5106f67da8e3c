// Graphics backend of builds without GDI+ (the native preset): a style record
// keeps only its plain values.
#include "uilib/style.h"

namespace uilib {

class StyleGraphics {};

void StyleGraphicsDeleter::operator()(StyleGraphics* graphics) const { delete graphics; }

StyleGraphicsPtr CreateStyleGraphics() { return nullptr; }

void ApplyStyleGraphics(StyleGraphics*, const StyleValues&, StylePropertySet) {}

}  // namespace uilib
