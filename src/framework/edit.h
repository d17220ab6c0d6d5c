// The edit box model and the up-down spinner bound to it.
#pragma once

#include <optional>
#include <string>

#include "framework/component.h"

namespace tavo {

class Edit : public Control {
public:
    const std::string& Text() const { return text_; }
    // Any text is accepted unchanged; a different text runs onChange.
    void SetText(const std::string& text);
    NotifyEvent onChange;

private:
    std::string text_;
};

// A spinner whose position is shown in its associated edit box.
class UpDown : public Control {
public:
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetRange(int min, int max);
    // Clamped to the range; the associated edit box shows the new position.
    void SetPosition(int position);
    void SetAssociate(Edit* edit) { associate_ = edit; }
    Edit* Associate() const { return associate_; }

    // The user's arrow buttons or arrow keys: one step from the value the edit box
    // shows (the position when the text is no number), stopping at the ends
    // unless wrap is on.
    void StepUp() { Step(+1); }
    void StepDown() { Step(-1); }

    bool wrap = false;
    bool thousands = true;
    char thousandsSeparator = ',';

private:
    void Step(int direction);
    void ShowPosition();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    Edit* associate_ = nullptr;
};

// "6000" with separator ',' gives "6,000"; negative numbers keep their sign in front.
std::string FormatThousands(int value, char separator);
// The number a spinner reads back from its edit box: digits with optional separators
// and sign, surrounding blanks allowed; nothing for any other text or an overflow.
std::optional<int> ParseSpinnerText(const std::string& text, char separator);

}  // namespace tavo
