#include "controls/HLSColor.h"

#include <algorithm>

namespace {

BYTE ToByte(double v) { return static_cast<BYTE>(std::min(255.0, std::max(0.0, v + 0.5))); }

DWORD Pack(double hue, double lightness, double saturation) {
  return ToByte(hue * 255.0 / 360.0) | (ToByte(lightness * 255.0) << 8) |
         (ToByte(saturation * 255.0) << 16);
}

double HueToChannel(double m1, double m2, double hue) {
  if (hue < 0) hue += 360;
  if (hue >= 360) hue -= 360;
  if (hue < 60) return m1 + (m2 - m1) * hue / 60;
  if (hue < 180) return m2;
  if (hue < 240) return m1 + (m2 - m1) * (240 - hue) / 60;
  return m1;
}

// A percentage of the way towards 1 (positive) or towards 0 (negative).
double Shift(double v, int percent) {
  percent = std::max(-100, std::min(100, percent));
  return percent > 0 ? v + (1 - v) * percent / 100.0 : v * (100 + percent) / 100.0;
}

}  // namespace

DWORD RGBtoHLS(COLORREF rgb) {
  const int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
  const int mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
  const double lightness = (mx + mn) / 510.0;
  if (mx == mn) return Pack(0, lightness, 0);
  const double d = mx - mn;
  const double saturation = lightness < 0.5 ? d / (mx + mn) : d / (510.0 - mx - mn);
  double hue;
  if (mx == r)
    hue = (g - b) / d;
  else if (mx == g)
    hue = 2 + (b - r) / d;
  else
    hue = 4 + (r - g) / d;
  hue *= 60;
  if (hue < 0) hue += 360;
  return Pack(hue, lightness, saturation);
}

COLORREF HLStoRGB(DWORD hls) {
  const double hue = (hls & 0xFF) * 360.0 / 255.0;
  const double lightness = ((hls >> 8) & 0xFF) / 255.0;
  const double saturation = ((hls >> 16) & 0xFF) / 255.0;
  if (saturation == 0) {
    const BYTE v = ToByte(lightness * 255);
    return RGB(v, v, v);
  }
  const double m2 = lightness <= 0.5 ? lightness * (1 + saturation)
                                     : lightness + saturation - lightness * saturation;
  const double m1 = 2 * lightness - m2;
  return RGB(ToByte(HueToChannel(m1, m2, hue + 120) * 255), ToByte(HueToChannel(m1, m2, hue) * 255),
             ToByte(HueToChannel(m1, m2, hue - 120) * 255));
}

COLORREF HLS_TRANSFORM(COLORREF rgb, int percentL, int percentS) {
  const DWORD hls = RGBtoHLS(rgb);
  const double lightness = Shift(((hls >> 8) & 0xFF) / 255.0, percentL);
  const double saturation = Shift(((hls >> 16) & 0xFF) / 255.0, percentS);
  return HLStoRGB((hls & 0xFF) | (ToByte(lightness * 255) << 8) | (ToByte(saturation * 255) << 16));
}
