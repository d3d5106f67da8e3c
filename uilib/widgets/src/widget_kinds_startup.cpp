// Compiled into every program that links the widgets library (an interface
// source of the library): registers the widget kinds during the program's
// static initialisation, before its entry point runs. An object file inside
// the static library would not be linked, as nothing refers to it.
#include "uilib/widgets/widget_kinds.h"

namespace {

[[maybe_unused]] const bool g_widget_kinds_registered = (uilib::RegisterWidgetKinds(), true);

}  // namespace
