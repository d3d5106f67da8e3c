// The skin's pictures are PNG images, decoded through the system's imaging
// codecs. Their first use loads and starts those codecs (about ten
// milliseconds under Wine), on the way to the first window. Decoding one
// pixel on a thread of its own at start-up does that while the main thread
// starts COM and the display driver, so the skin's first picture finds the
// codecs ready.
#pragma once

namespace velko::installer {

// Starts the warm-up thread and returns at once; the thread ends by itself.
// Nothing depends on it: without it the first image simply decodes slower.
void StartImageCodecWarmUp();

// The warm-up itself, on the calling thread (which must not be in a
// single-threaded COM apartment): true when the pixel decoded.
bool WarmImageCodecs();

}  // namespace velko::installer
