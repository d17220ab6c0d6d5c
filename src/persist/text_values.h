// Text helpers of the stored values: trimming, decimal numbers, word lists.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavo {

// Without leading and trailing characters of codes 0 to 32 (blanks and control characters).
std::string TrimText(const std::string& text);
// A decimal 32-bit integer: optional leading blanks, an optional sign, digits and
// nothing after them; nothing for any other text or one out of range.
std::optional<int> ParseDecimal(const std::string& text);
int ParseDecimalOr(const std::string& text, int fallback);
// The words between blanks and commas; runs of them count as one.
std::vector<std::string> SplitWords(const std::string& text);
bool SameText(const std::string& a, const std::string& b);

}  // namespace tavo
