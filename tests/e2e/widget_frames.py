"""Which frame of a skin texture a picture shows at a place: frames lie side by side
in the texture, and only the texture's opaque pixels are compared, so the result does
not depend on what is behind a translucent edge."""

from __future__ import annotations

from pathlib import Path

from png_pixels import Png

IMAGES = Path(__file__).resolve().parents[2] / "installer" / "res" / "images"


def frame_difference(picture: Png, origin: tuple[int, int], texture: Png, frame: int,
                     size: tuple[int, int]) -> int:
    width, height = size
    total = 0
    for y in range(height):
        for x in range(width):
            expected = texture.pixel(frame * width + x, y)
            if expected[3] != 255:
                continue
            got = picture.pixel(origin[0] + x, origin[1] + y)
            total += sum(abs(a - b) for a, b in zip(got[:3], expected[:3]))
    return total


def shown_frame(picture: Png, origin: tuple[int, int], texture_name: str, size: tuple[int, int]) -> int:
    """The index of the best matching frame, or -1 when none matches closely."""
    texture = Png(IMAGES / texture_name)
    frames = texture.width // size[0]
    scores = [frame_difference(picture, origin, texture, f, size) for f in range(frames)]
    best = min(range(frames), key=lambda f: scores[f])
    # A few rounding steps per pixel at most.
    return best if scores[best] <= size[0] * size[1] * 3 else -1
