#pragma once

namespace quarn {

// x rounded to three decimals, the fraction taken above the next lower whole number, so
// that -1.2346 gives -1.235. The exposure walk uses it to keep times within a cycle clean.
float RoundTo3Decimals(float x);

}  // namespace quarn
