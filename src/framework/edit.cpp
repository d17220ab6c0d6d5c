// The edit box and spinner: text changes, stepping and the thousands-separated display.
#include "framework/edit.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tavo {

void Edit::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Changed();
    if (onChange) onChange(this);
}

void UpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    SetPosition(position_);
}

void UpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    ShowPosition();
    Changed();
}

void UpDown::Step(int direction) {
    int current = position_;
    if (associate_) {
        if (auto shown = ParseSpinnerText(associate_->Text(), thousandsSeparator)) current = *shown;
    }
    int64_t next = static_cast<int64_t>(current) + direction;
    if (next > max_) next = wrap ? min_ : max_;
    if (next < min_) next = wrap ? max_ : min_;
    SetPosition(static_cast<int>(next));
}

void UpDown::ShowPosition() {
    if (!associate_) return;
    associate_->SetText(thousands ? FormatThousands(position_, thousandsSeparator)
                                  : std::to_string(position_));
}

std::string FormatThousands(int value, char separator) {
    const std::string digits = std::to_string(std::llabs(static_cast<long long>(value)));
    std::string result;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) result += separator;
        result += digits[i];
    }
    return value < 0 ? "-" + result : result;
}

std::optional<int> ParseSpinnerText(const std::string& text, char separator) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return std::nullopt;
    size_t end = text.find_last_not_of(' ') + 1;
    bool negative = false;
    if (text[begin] == '-' || text[begin] == '+') negative = text[begin++] == '-';
    int64_t value = 0;
    bool anyDigit = false;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c == separator && anyDigit) continue;
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) return std::nullopt;
        anyDigit = true;
    }
    if (!anyDigit) return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

}  // namespace tavo
