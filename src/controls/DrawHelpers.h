#pragma once
// Drawing routines of the skinned controls: bitmap blits (whole, part, stretched,
// transparent, three-part strip, nine-grid), gradients, a region from a bitmap's
// shape, and lines, frames and fills. Bitmaps stay the caller's. A transparent colour
// of CLR_INVALID means an opaque copy.
#include <windows.h>

// Source pixels of `transparent` are left out; stretches when the sizes differ. Uses
// TransparentBlt, or a mask and three blits on systems that are not NT-based.
BOOL DrawTransparent(HDC dst, const RECT& dstRect, HDC src, const RECT& srcRect,
                     COLORREF transparent);

// A rectangle of one DC onto one of another: copied, stretched when the sizes
// differ, or transparent.
BOOL BlitPart(HDC dst, const RECT& dstRect, HDC src, const RECT& srcRect,
              COLORREF transparent = CLR_INVALID);

// The whole bitmap with its top-left corner at (x, y).
BOOL DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap, COLORREF transparent = CLR_INVALID);
// The part `src` of the bitmap at (x, y), at its own size.
BOOL DrawBitmapPart(HDC dc, int x, int y, HBITMAP bitmap, const RECT& src,
                    COLORREF transparent = CLR_INVALID);
// The part `src` of the bitmap stretched over `dst`.
BOOL StretchBitmapPart(HDC dc, const RECT& dst, HBITMAP bitmap, const RECT& src,
                       COLORREF transparent = CLR_INVALID);
// A horizontal strip: the bitmap's left and right ends (of the given widths) at
// their own width, its middle stretched over the rest of `dst`; the height stretches.
BOOL DrawBitmapHorz3(HDC dc, const RECT& dst, HBITMAP bitmap, int leftWidth, int rightWidth,
                     COLORREF transparent = CLR_INVALID);
// Nine grid: corners (margins left, top, right, bottom of the bitmap) at their own
// size, edges stretched along them, the centre stretched both ways.
BOOL DrawNineGrid(HDC dc, const RECT& dst, HBITMAP bitmap, const RECT& margins,
                  COLORREF transparent = CLR_INVALID);

// Two-colour gradient: top to bottom when vertical, else left to right.
BOOL GradientFillRect(HDC dc, const RECT& rc, COLORREF from, COLORREF to, BOOL vertical);
// A sequence of colour stops, one two-colour band between each stop and the next,
// the bands splitting the rectangle evenly. One stop fills the rectangle with it.
BOOL MultiGradientFillRect(HDC dc, const RECT& rc, const COLORREF* stops, int count,
                           BOOL vertical);

// The pixels of the bitmap that differ from `transparent`, as a region in the
// bitmap's coordinates (null when the bitmap cannot be read). The caller deletes it.
HRGN BitmapToRegion(HBITMAP bitmap, COLORREF transparent);

// A 1-pixel line from (x1, y1) to (x2, y2), the end point left out.
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color);
// A 1-pixel frame on the inside edge of the rectangle.
void DrawFrame(HDC dc, const RECT& rc, COLORREF color);
void FillSolid(HDC dc, const RECT& rc, COLORREF color);
// A frame with rounded corners (5 pixels) in the outer colour, one inside it (2-pixel
// corners) in the inner colour, filled with `fill` (CBrushSelector::kHollow: not filled).
void DrawRoundFrame(HDC dc, const RECT& rc, COLORREF outer, COLORREF inner, COLORREF fill);
