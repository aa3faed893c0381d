// Moving the options of OpsRss.txt between the settings file and the controls of the main
// window, which are found by their names.
#pragma once

#include "util/settings_file.h"

class QWidget;

namespace vorlin {

// Applies the keys in start-up order to the controls under `root`. Text keys applied always
// empty their control when missing; other keys that are missing, empty or not a number leave
// their control as it is.
void ApplySettings(QWidget* root, const SettingsFile& file);

// Every key, in write order, from the controls under `root`.
SettingsFile CollectSettings(const QWidget* root);

}  // namespace vorlin
