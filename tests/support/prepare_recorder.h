// Records what a picture preparation reports: its status texts and its load-failure messages.
#pragma once

#include <string>
#include <vector>

#include "imaging/prepare.h"

namespace tavo::testing {

struct PrepareRecorder {
    std::vector<std::string> status;
    std::vector<std::string> failures;

    void Attach(PrepareContext& context) {
        context.status = [this](const std::string& text) { status.push_back(text); };
        context.loadFailed = [this](const std::string& message) { failures.push_back(message); };
    }
};

}  // namespace tavo::testing
