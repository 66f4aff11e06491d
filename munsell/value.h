#pragma once
// Munsell value <-> luminance factor Y (0..100 scale) by the ASTM D1535 quintic.
// `pwd` moves the luminance reference to the perfect diffuser (factor 0.975).

namespace zul {

inline constexpr double kPwdFactor = 0.975;

// Y of value V; powers in double, result single. vtoy(10, false) = 102.568.
float vtoy(float v, bool pwd);

// Value whose polynomial luminance is Y, by 15 Newton passes in single precision. A negative Y
// is replaced by 0 in the caller's variable first.
float ytov(float& y, bool pwd);

} // namespace zul
