#include "forms/real_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int significant_digits = 10;

// Copies text into out the way snprintf would, returning its full length.
int emit(const char* text, int length, char* out, std::size_t out_size)
{
  if (out_size > 0) {
    const std::size_t kept = static_cast<std::size_t>(length) < out_size ? length : out_size - 1;
    std::memcpy(out, text, kept);
    out[kept] = '\0';
  }
  return length;
}

} // namespace

int format_real(double value, char* out, std::size_t out_size)
{
  if (std::isnan(value))
    return emit("nan", 3, out, out_size);
  if (std::isinf(value))
    return value < 0 ? emit("-inf", 4, out, out_size) : emit("inf", 3, out, out_size);

  // The correctly rounded digits come from to_chars ("d.ddddddddde+XX"): it is
  // exact, ignores the locale and behaves the same in every C runtime. The
  // exponent is the one after rounding, so 9.9999999999 arrives as 1.000e+01.
  char scientific[40];
  const auto converted = std::to_chars(scientific, scientific + sizeof scientific,
                                       std::fabs(value), std::chars_format::scientific,
                                       significant_digits - 1);
  *converted.ptr = '\0';

  char digits[significant_digits];
  digits[0] = scientific[0];
  std::memcpy(digits + 1, scientific + 2, significant_digits - 1);
  const char* exponent_text = std::strchr(scientific, 'e') + 1;
  int exponent = 0;
  std::from_chars(exponent_text + (*exponent_text == '+'), converted.ptr, exponent);

  // Trailing zeros of the fraction are not shown.
  int digit_count = significant_digits;
  while (digit_count > 1 && digits[digit_count - 1] == '0')
    --digit_count;

  char text[real_text_size];
  int length = 0;
  // Zero has no meaningful sign in a parameter field.
  if (value < 0)
    text[length++] = '-';

  if (exponent >= -1 && exponent <= significant_digits - 1) {
    if (exponent == -1) {
      text[length++] = '0';
      text[length++] = '.';
      for (int i = 0; i < digit_count; ++i)
        text[length++] = digits[i];
    } else {
      // The integer part takes exponent + 1 digits, dropped zeros included.
      for (int i = 0; i <= exponent; ++i)
        text[length++] = digits[i];
      text[length++] = '.';
      for (int i = exponent + 1; i < digit_count; ++i)
        text[length++] = digits[i];
    }
  } else {
    text[length++] = digits[0];
    text[length++] = '.';
    for (int i = 1; i < digit_count; ++i)
      text[length++] = digits[i];
    text[length++] = 'e';
    text[length++] = exponent < 0 ? '-' : '+';
    // Doubles reach at most 10^308 and down to 10^-324: three digits always do.
    const int magnitude = exponent < 0 ? -exponent : exponent;
    text[length++] = static_cast<char>('0' + magnitude / 100);
    text[length++] = static_cast<char>('0' + magnitude / 10 % 10);
    text[length++] = static_cast<char>('0' + magnitude % 10);
  }
  return emit(text, length, out, out_size);
}
