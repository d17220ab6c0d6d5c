// The scenarios of the test driver, each run by its name (see driver.cpp).
#pragma once

#include <string>
#include <vector>

namespace tavo::e2e {

using Args = std::vector<std::string>;

// The main window: list, preview, options, keys, errors and what is kept between runs.
void ScenarioInfo(const Args& args);
void ScenarioAddAndSet(const Args& args);
void ScenarioRemoveMiddle(const Args& args);
void ScenarioOpenReplace(const Args& args);
void ScenarioDelInEdit(const Args& args);
void ScenarioSizeLimits(const Args& args);
void ScenarioLayout(const Args& args);
void ScenarioLoadError(const Args& args);
void ScenarioManyFiles(const Args& args);
void ScenarioFocusAfterError(const Args& args);
void ScenarioHalfVisibleRow(const Args& args);
void ScenarioKeysAndMenu(const Args& args);
void ScenarioDemo(const Args& args);
void ScenarioPersistSave(const Args& args);
void ScenarioPersistRestore(const Args& args);
void ScenarioScriptNames(const Args& args);
void ScenarioExit(const Args& args);

// The program's lifetime: tray icon, splash, taskbar button, the ways it ends; and its measurements.
void ScenarioTrayStart(const Args& args);
void ScenarioTrayClicks(const Args& args);
void ScenarioTaskbarCreated(const Args& args);
void ScenarioLateShell(const Args& args);
void ScenarioEndSession(const Args& args);
void ScenarioTwoCopies(const Args& args);
void ScenarioMinimizedStart(const Args& args);
void ScenarioBenchTray(const Args& args);

}  // namespace tavo::e2e
