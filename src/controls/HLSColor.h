#pragma once
// Colours in hue, lightness and saturation, packed in a DWORD: low byte the hue
// (0..360 degrees scaled to 0..255), next byte the lightness, next the saturation
// (both 0..1 scaled to 0..255).
#include <windows.h>

DWORD RGBtoHLS(COLORREF rgb);
COLORREF HLStoRGB(DWORD hls);
// Lightens (percentL > 0, towards white) or darkens (< 0, towards black), and
// saturates or desaturates (percentS, towards full or grey); each -100..100.
COLORREF HLS_TRANSFORM(COLORREF rgb, int percentL, int percentS);
