#include "shell/settings_io.h"

#include <QAbstractButton>
#include <QSpinBox>
#include <QWidget>

#include "app/control_state.h"
#include "app/font_value.h"
#include "shell/settings_keys.h"

namespace vorlin {

namespace {

QWidget* FindControl(const QWidget* root, std::string_view key) {
  return root->findChild<QWidget*>(
      QString::fromUtf8(ControlOfKey(key).data(), ControlOfKey(key).size()));
}

void ApplyNumber(QWidget* control, std::string_view property, long long number) {
  if (property == "Checked") {
    if (auto* box = qobject_cast<QAbstractButton*>(control)) box->setChecked(number != 0);
  } else if (property == "Value") {
    if (auto* spin = qobject_cast<QSpinBox*>(control)) spin->setValue(static_cast<int>(number));
  } else if (property == "Color") {
    SetControlColor(control, number);
  } else {  // ItemIndex, TabIndex
    SetItemIndex(control, static_cast<int>(number));
  }
}

std::string CollectValue(const QWidget* control, const SettingKey& key) {
  std::string_view property = PropertyOfKey(key.key);
  switch (key.form) {
    case ValueForm::kText:
      return ControlText(control);
    case ValueForm::kFont:
      return FormatFontValue(ControlFont(control, MakeFontValue("Tahoma", 8)));
    case ValueForm::kColor:
      return std::to_string(ControlColor(control));
    case ValueForm::kFlag: {
      auto* box = qobject_cast<const QAbstractButton*>(control);
      return box && box->isChecked() ? "1" : "0";
    }
    case ValueForm::kInteger:
      if (property == "Value") {
        auto* spin = qobject_cast<const QSpinBox*>(control);
        return std::to_string(spin ? spin->value() : 0);
      }
      return std::to_string(ItemIndex(control));
  }
  return {};
}

}  // namespace

void ApplySettings(QWidget* root, const SettingsFile& file) {
  for (const SettingKey& key : SettingApplyOrder()) {
    QWidget* control = FindControl(root, key.key);
    if (!control || key.rule == ApplyRule::kNever) continue;
    std::optional<std::string> value = file.Get(key.key);
    if (key.rule == ApplyRule::kIfNotEmpty && (!value || value->empty())) continue;
    switch (key.form) {
      case ValueForm::kText:
        SetControlText(control, value.value_or(""));
        break;
      case ValueForm::kFont: {
        FontValue font = ControlFont(control, MakeFontValue("Tahoma", 8));
        if (ApplyFontValue(*value, font)) SetControlFont(control, font);
        break;
      }
      default:
        if (auto number = SettingNumber(*value)) {
          ApplyNumber(control, PropertyOfKey(key.key), *number);
        }
    }
  }
}

SettingsFile CollectSettings(const QWidget* root) {
  SettingsFile file;
  for (const SettingKey& key : SettingKeys()) {
    const QWidget* control = FindControl(root, key.key);
    file.Set(key.key, control ? CollectValue(control, key) : std::string());
  }
  return file;
}

}  // namespace vorlin
