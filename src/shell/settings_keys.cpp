#include "shell/settings_keys.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "util/file_io.h"
#include "util/settings_file.h"

namespace vorlin {

namespace {

using F = ValueForm;
using A = ApplyRule;

constexpr std::array<SettingKey, kSettingKeyCount> kKeys = {{
    {"EditNameFileAllRSS.Text", F::kText, A::kAlways},
    {"EditTimeScan.Text", F::kText, A::kAlways},
    {"EditDirSaveDFiles.Text", F::kText, A::kAlways},
    {"EditDirFavoritListChannel.Text", F::kText, A::kAlways},
    {"EditWBBackground.Text", F::kText, A::kAlways},
    {"ListBoxTitle.Font", F::kFont, A::kIfNotEmpty},
    {"ListBoxTitle.Color", F::kColor, A::kIfNotEmpty},
    {"MemoMess.Font", F::kFont, A::kIfNotEmpty},
    {"MemoMess.Color", F::kColor, A::kIfNotEmpty},
    {"RGroupLanguages.ItemIndex", F::kInteger, A::kIfNotEmpty},
    {"CkBoxUsePause.Checked", F::kFlag, A::kIfNotEmpty},
    {"SpinEditPauseEndText.Value", F::kInteger, A::kIfNotEmpty},
    {"RGDigitSay.ItemIndex", F::kInteger, A::kIfNotEmpty},
    {"EditTagVoiceRus.Text", F::kText, A::kIfNotEmpty},
    {"EditTagVoiceEng.Text", F::kText, A::kIfNotEmpty},
    {"SEditVolumeR.Value", F::kInteger, A::kIfNotEmpty},
    {"SEditRateR.Value", F::kInteger, A::kIfNotEmpty},
    {"SEditPitchR.Value", F::kInteger, A::kIfNotEmpty},
    {"SEditVolumeE.Value", F::kInteger, A::kIfNotEmpty},
    {"SEditRateE.Value", F::kInteger, A::kIfNotEmpty},
    {"SEditPitchE.Value", F::kInteger, A::kIfNotEmpty},
    {"ComboBoxWBFont.ItemIndex", F::kInteger, A::kIfNotEmpty},
    {"SpinEditSimInNameCh.Value", F::kInteger, A::kIfNotEmpty},
    {"CBoxScanSubDir.Checked", F::kFlag, A::kIfNotEmpty},
    {"CBoxPurgeEq.Checked", F::kFlag, A::kIfNotEmpty},
    {"CBoxDelRssAfterProc.Checked", F::kFlag, A::kIfNotEmpty},
    {"CBoxDeleteXmlNotRSS.Checked", F::kFlag, A::kIfNotEmpty},
    {"CBoxLoadUniqueMess.Checked", F::kFlag, A::kIfNotEmpty},
    {"CBoxDelBadRSSFiles.Checked", F::kFlag, A::kIfNotEmpty},
    {"CBoxSetFiler.Checked", F::kFlag, A::kIfNotEmpty},
    {"CheckBoxReadMes.Checked", F::kFlag, A::kIfNotEmpty},
    {"CheckBoxWBB.Checked", F::kFlag, A::kIfNotEmpty},
    {"CkBoxAddHeadline.Checked", F::kFlag, A::kIfNotEmpty},
    {"PageControl.TabIndex", F::kInteger, A::kIfNotEmpty},
    {"PageControlRead.TabIndex", F::kInteger, A::kIfNotEmpty},
    {"PageControlOp.TabIndex", F::kInteger, A::kIfNotEmpty},
    {"PageControlView.TabIndex", F::kInteger, A::kIfNotEmpty},
    {"PageControlSearching.TabIndex", F::kInteger, A::kIfNotEmpty},
    {"RGroupAnimSpeech.ItemIndex", F::kInteger, A::kIfNotEmpty},
    // The animation window always starts with its headline shown.
    {"CBoxPASHeadline.Checked", F::kFlag, A::kNever},
    {"CkBoxASTitleRSS.Checked", F::kFlag, A::kIfNotEmpty},
    {"CkBoxASTitle.Checked", F::kFlag, A::kIfNotEmpty},
    {"CkBoxASPubDate.Checked", F::kFlag, A::kIfNotEmpty},
    {"CkBoxASLink.Checked", F::kFlag, A::kIfNotEmpty},
    {"MemoASHeadline.Font", F::kFont, A::kIfNotEmpty},
    {"MemoASHeadline.Color", F::kColor, A::kIfNotEmpty},
    {"MemoAS.Font", F::kFont, A::kIfNotEmpty},
    {"MemoAS.Color", F::kColor, A::kIfNotEmpty},
    {"EditAnStr.Font", F::kFont, A::kIfNotEmpty},
    {"EditAnStr.Color", F::kColor, A::kIfNotEmpty},
    {"CkBoxMarkReadMes.Checked", F::kFlag, A::kIfNotEmpty},
    {"SpinEditIntervalInSec.Value", F::kInteger, A::kIfNotEmpty},
    {"CBoxKeepUndatedMess.Checked", F::kFlag, A::kIfNotEmpty},
    {"SpinEditParallelDownloads.Value", F::kInteger, A::kIfNotEmpty},
    // Options for a new user's first steps, on by default.
    {"CBoxAddDownloadsToStore.Checked", F::kFlag, A::kIfNotEmpty},
    {"CBoxLoadStoreAtStart.Checked", F::kFlag, A::kIfNotEmpty},
}};

// Start-up applies the keys in this order (positions in kKeys).
constexpr int kApplyOrder[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  12, 10, 11, 13,
                               14, 15, 16, 17, 18, 19, 20, 22, 21, 23, 24, 25, 26, 27,
                               28, 29, 30, 31, 32, 36, 37, 33, 34, 35, 38, 40, 41, 42,
                               43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55};

}  // namespace

const std::array<SettingKey, kSettingKeyCount>& SettingKeys() { return kKeys; }

const std::vector<SettingKey>& SettingApplyOrder() {
  static const std::vector<SettingKey> order = [] {
    std::vector<SettingKey> keys;
    for (int i : kApplyOrder) keys.push_back(kKeys[i]);
    return keys;
  }();
  return order;
}

std::string_view ControlOfKey(std::string_view key) { return key.substr(0, key.find('.')); }

std::string_view PropertyOfKey(std::string_view key) {
  size_t dot = key.find('.');
  return dot == std::string_view::npos ? std::string_view() : key.substr(dot + 1);
}

std::optional<long long> SettingNumber(std::string_view value) { return ParseInteger(value); }

std::string SettingsFolder(std::string_view programFolder) {
  if (access(FsPath(programFolder).c_str(), W_OK) == 0) return std::string(programFolder);
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    return std::string(programFolder);
  }
  std::filesystem::path folder = base / "vorlin";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    throw Error("Cannot create the settings folder " + folder.string() + ": " + ec.message());
  }
  std::string name = NameFromPath(folder);
  if (name.empty() || name.back() != '/') name.push_back('/');
  return name;
}

}  // namespace vorlin
