// Reading and writing the persisted state of controls in the program's own terms: texts as
// Windows-1251, radio groups and drop-downs as item indexes, colours and fonts as the values
// of the settings file. Settings, dialogs and tests all go through these.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QGroupBox;
class QWidget;

namespace vorlin {

struct FontValue;

// Windows-1251 core text to and from the UI's text.
QString ToQ(std::string_view cp1251);
std::string FromQ(const QString& text);

// The text of a line edit, multi-line text box or drop-down; multi-line text joins its lines
// with CR LF.
std::string ControlText(const QWidget* control);
void SetControlText(QWidget* control, std::string_view cp1251);

// The checked radio button of a radio group (a group box whose radio buttons are named
// "<group>_0", "<group>_1", ...), or -1. Setting an index outside the items unchecks all.
int RadioIndex(const QGroupBox* group);
void SetRadioIndex(QGroupBox* group, int index);

// The item index of a radio group, drop-down or page control.
int ItemIndex(const QWidget* control);
void SetItemIndex(QWidget* control, int index);

// The stored colour of a control's background (a system colour until one is set).
long long ControlColor(const QWidget* control);
void SetControlColor(QWidget* control, long long color);

// The stored font value of a control; `fallback` until one is set.
FontValue ControlFont(const QWidget* control, const FontValue& fallback);
void SetControlFont(QWidget* control, const FontValue& font);

}  // namespace vorlin
