// The position arithmetic of a vertical scroll bar control scrolled by
// WM_VSCROLL, and how a new position reaches the scrolled element's children.
// Win32-free: codes are the SB_ values, the control's scroll info is passed
// as plain numbers.
#pragma once

class CUILibElement;

namespace uilib {

// SB_ request codes of WM_VSCROLL.
enum ScrollCode : int {
  kScrollLineUp = 0,
  kScrollLineDown = 1,
  kScrollPageUp = 2,
  kScrollPageDown = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollTop = 6,
  kScrollBottom = 7,
  kScrollEnd = 8,
};

struct ScrollState {
  int page = 0;
  int minimum = 0;
  int maximum = 0;
  int position = 0;
};

struct ScrollOutcome {
  int position = 0;
  bool changed = false;   // the position differs from the old one
  bool at_start = false;  // a move up was clipped at 0
  bool at_end = false;    // a move down was clipped at (or a track reached) the last position
  bool stop = false;      // nothing to do: end-scroll, or top / bottom when already there
};

// Line steps move by a tenth of the page, page steps by a page; both stop at 0
// and at maximum - page + 1. Thumb requests and unknown codes go to `track`,
// clamped; top and bottom jump to the ends (and stop when already there).
// SB_ENDSCROLL stops.
ScrollOutcome ComputeScroll(int code, int track, const ScrollState& state);

// The track position of a thumb request. WM_VSCROLL carries only its low 16
// bits (`message_word`); the control's scroll record has all of it. The
// record's track position is taken when the message's bits are its low
// bits, otherwise (a request posted for a bar that is not being dragged) the
// message's word as a signed value.
int ThumbTrackPosition(unsigned message_word, int record_track);

// Gives the children of `scrolled` their scroll offsets after its content
// scrolled to `position`: a STATIC child takes the position, any other keeps
// its offset, and each passes its own offset on to its children by the same
// rule.
void PropagateScrollOffset(CUILibElement* scrolled, int position);

}  // namespace uilib
