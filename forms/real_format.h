// The text the input box shows for a real number: 10 significant digits,
// trailing fraction zeros dropped, the decimal point always kept.
#pragma once

#include <cstddef>

// Longest text format_real produces, with its terminating zero
// ("-1.234567891e-308" is 17 characters).
constexpr std::size_t real_text_size = 32;

// Writes the text of value into out (at most out_size bytes, zero-terminated
// whenever out_size > 0) and returns the length of the whole text, as snprintf
// does: a result >= out_size means the text was cut.
//   fixed     when the leading digit's decimal exponent is -1..9:  8.  0.25  -123.5
//   exponent  otherwise, sign and three digits:                 1.e-002  2.5e+010
// Zero of either sign gives "0."; infinities "inf" and "-inf"; NaN "nan".
int format_real(double value, char* out, std::size_t out_size);
