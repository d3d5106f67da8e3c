#include "uilib/scroll_math.h"

#include <algorithm>

#include "uilib/element.h"

namespace uilib {

ScrollOutcome ComputeScroll(int code, int track, const ScrollState& state) {
  // Content shorter than the page has nowhere to scroll: the last position is 0.
  const int last = std::max(0, state.maximum - state.page + 1);
  const int line = state.page / 10;
  ScrollOutcome out;
  int position = state.position;
  switch (code) {
    case kScrollLineUp:
    case kScrollPageUp:
      position -= code == kScrollLineUp ? line : state.page;
      if (position < 0) {
        position = 0;
        out.at_start = true;
      }
      break;
    case kScrollLineDown:
    case kScrollPageDown:
      position += code == kScrollLineDown ? line : state.page;
      if (position > last) {
        position = last;
        out.at_end = true;
      }
      break;
    case kScrollTop:
      out.stop = position == 0;
      position = 0;
      break;
    case kScrollBottom:
      out.stop = position == last;
      position = last;
      break;
    case kScrollEnd:
      out.stop = true;
      break;
    default:
      position = std::max(state.minimum, std::min(track, last));
      if (code == kScrollThumbTrack && position == last) out.at_end = true;
      break;
  }
  out.position = position;
  out.changed = position != state.position;
  return out;
}

int ThumbTrackPosition(unsigned message_word, int record_track) {
  message_word &= 0xFFFFu;
  if ((static_cast<unsigned>(record_track) & 0xFFFFu) == message_word) return record_track;
  return static_cast<short>(message_word);
}

namespace {

void PassOffset(CUILibElement* parent, int position) {
  for (CUILibElement* child = parent->Children().First(); child != nullptr; child = parent->Children().Next(child)) {
    if (child->Style().Values().position == Position::kStatic) child->SetScrollOffset(position);
    PassOffset(child, child->ScrollOffset());
  }
}

}  // namespace

void PropagateScrollOffset(CUILibElement* scrolled, int position) {
  if (scrolled != nullptr) PassOffset(scrolled, position);
}

}  // namespace uilib
