// Start-up and shutdown of the real window with its settings files in a temporary folder.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>

#include "app/control_state.h"
#include "reader/export_options_dialog.h"
#include "shell/settings_io.h"
#include "shell/settings_keys.h"
#include "store/store_format.h"
#include "window_fixture.h"

namespace vorlin::testing {
namespace {

// The keys of OpsRss.txt in the order the file is written.
const char kKeyOrder[] =
    "EditNameFileAllRSS.Text EditTimeScan.Text EditDirSaveDFiles.Text "
    "EditDirFavoritListChannel.Text EditWBBackground.Text ListBoxTitle.Font ListBoxTitle.Color "
    "MemoMess.Font MemoMess.Color RGroupLanguages.ItemIndex CkBoxUsePause.Checked "
    "SpinEditPauseEndText.Value RGDigitSay.ItemIndex EditTagVoiceRus.Text EditTagVoiceEng.Text "
    "SEditVolumeR.Value SEditRateR.Value SEditPitchR.Value SEditVolumeE.Value SEditRateE.Value "
    "SEditPitchE.Value ComboBoxWBFont.ItemIndex SpinEditSimInNameCh.Value CBoxScanSubDir.Checked "
    "CBoxPurgeEq.Checked CBoxDelRssAfterProc.Checked CBoxDeleteXmlNotRSS.Checked "
    "CBoxLoadUniqueMess.Checked CBoxDelBadRSSFiles.Checked CBoxSetFiler.Checked "
    "CheckBoxReadMes.Checked CheckBoxWBB.Checked CkBoxAddHeadline.Checked PageControl.TabIndex "
    "PageControlRead.TabIndex PageControlOp.TabIndex PageControlView.TabIndex "
    "PageControlSearching.TabIndex RGroupAnimSpeech.ItemIndex CBoxPASHeadline.Checked "
    "CkBoxASTitleRSS.Checked CkBoxASTitle.Checked CkBoxASPubDate.Checked CkBoxASLink.Checked "
    "MemoASHeadline.Font MemoASHeadline.Color MemoAS.Font MemoAS.Color EditAnStr.Font "
    "EditAnStr.Color CkBoxMarkReadMes.Checked SpinEditIntervalInSec.Value "
    "CBoxKeepUndatedMess.Checked SpinEditParallelDownloads.Value CBoxAddDownloadsToStore.Checked "
    "CBoxLoadStoreAtStart.Checked";

std::string Line(const std::string& key, const std::string& value) {
  return key + "=" + value + "\r\n";
}

TEST_F(WindowTest, ExitWritesExactlyTheKeysOfTheTableInItsOrder) {
  Start();
  Find<QPlainTextEdit>("MRSSDir")->setPlainText(QStringLiteral("/data/feeds\n/data/более"));
  Find<QAbstractButton>("ButtonExit")->click();
  window_.reset();

  const std::string text = dir_.Read("OpsRss.txt");
  QStringList keys;
  for (const std::string& line : SplitLines(text)) {
    keys << QString::fromStdString(line.substr(0, line.find('=')));
  }
  EXPECT_EQ(keys, QString::fromLatin1(kKeyOrder).split(' '));
  EXPECT_NE(text.find("ListBoxTitle.Font=-16777208|-13|Tahoma|0|96|10|nnnn\r\n"),
            std::string::npos);
  EXPECT_EQ(dir_.Read("DirRss.txt"), "/data/feeds\r\n/data/" + W("более") + "\r\n");
  EXPECT_NE(dir_.Read("OpsUSelMes.txt").find("RGroupWUnload.ItemIndex=1\r\n"), std::string::npos);
  // The scan folders come back without a blank last line.
  Start();
  EXPECT_EQ(Find<QPlainTextEdit>("MRSSDir")->toPlainText(),
            QStringLiteral("/data/feeds\n/data/более"));
}

TEST_F(WindowTest, AnIndexThatCouldNotBeRebuiltIsNotWrittenAtExit) {
  dir_.Write("s.rss", "<item><title>cut short");
  Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "s.rss")});
  EXPECT_EQ(errors_.size(), 1);
  Stop();
  // An empty index file would be loaded as it stands at the next start and never rebuilt.
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "s.BCRC32"));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "s.RMCRC32"));
}

TEST_F(WindowTest, ARestartRestoresEveryControlButTheHeadlineSwitch) {
  {
    TMain& window = Start();
    SettingsFile changed;
    for (const auto& [key, value] : std::initializer_list<std::pair<const char*, std::string>>{
             {"EditNameFileAllRSS.Text", dir_.Name() + W("хранилище.rss")},
             {"EditTagVoiceRus.Text", "<voice required=\"Name=A\">"},
             {"EditDirFavoritListChannel.Text", "/tmp/fav"},
             {"ListBoxTitle.Font", "255|-16|Arial|1|96|12|ynyn"},
             {"EditAnStr.Color", "12632256"},
             {"MemoMess.Color", "-16777201"},
             {"RGroupLanguages.ItemIndex", "3"},
             {"CBoxScanSubDir.Checked", "0"},
             {"CBoxDelRssAfterProc.Checked", "1"},
             {"SEditRateE.Value", "-3"},
             {"ComboBoxWBFont.ItemIndex", "4"},
             {"PageControl.TabIndex", "2"},
             {"SpinEditIntervalInSec.Value", "999"},
             {"SpinEditParallelDownloads.Value", "7"},
             {"CBoxLoadStoreAtStart.Checked", "0"}}) {
      changed.Set(key, value);
    }
    ApplySettings(&window, changed);
    Find<QAbstractButton>("CBoxPASHeadline")->setChecked(false);
    ASSERT_EQ(CollectSettings(&window).Entries().size(), size_t{kSettingKeyCount});
    Stop();
  }
  EXPECT_NE(dir_.Read("OpsRss.txt").find("CBoxPASHeadline.Checked=0\r\n"), std::string::npos);

  TMain& window = Start();
  SettingsFile restored = CollectSettings(&window);
  SettingsFile saved = SettingsFile::Load(dir_.Name() + "OpsRss.txt");
  ASSERT_EQ(restored.Entries().size(), saved.Entries().size());
  for (size_t i = 0; i < saved.Entries().size(); ++i) {
    const auto& [key, value] = saved.Entries()[i];
    if (key == "CBoxPASHeadline.Checked") {
      EXPECT_EQ(restored.Entries()[i].second, "1");
    } else {
      EXPECT_EQ(restored.Entries()[i].second, value) << key;
    }
  }
  EXPECT_EQ(Find<QComboBox>("ComboBoxWBFont")->currentIndex(), 4);
  EXPECT_TRUE(Find<QWidget>("ListBoxTitle")->font().underline());
}

TEST_F(WindowTest, MissingTextKeysEmptyTheirFieldsAndBadNumbersKeepDefaults) {
  dir_.Write("OpsRss.txt", Line("SpinEditSimInNameCh.Value", "many") +
                               Line("RGroupLanguages.ItemIndex", "") +
                               Line("spinEditIntervalInSec.value", "12") +
                               Line("ListBoxTitle.Font", "x|y|Arial|0|96|10|ynnn") +
                               // Rates have no bounds of their own.
                               Line("SEditRateR.Value", "25") + Line("SEditRateE.Value", "-40"));
  Start();
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditTimeScan")), "");
  EXPECT_EQ(Find<QSpinBox>("SpinEditSimInNameCh")->value(), 80);
  EXPECT_EQ(ItemIndex(Find<QGroupBox>("RGroupLanguages")), 1);
  EXPECT_EQ(Find<QSpinBox>("SpinEditIntervalInSec")->value(), 12);
  EXPECT_EQ(Find<QWidget>("ListBoxTitle")->font().family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditDirFavoritListChannel")), dir_.Name());
  EXPECT_EQ(Find<QSpinBox>("SEditRateR")->value(), 25);
  EXPECT_EQ(Find<QSpinBox>("SEditRateE")->value(), -40);
  Stop();
  const std::string saved = dir_.Read("OpsRss.txt");
  EXPECT_NE(saved.find("SEditRateR.Value=25\r\nSEditPitchR"), std::string::npos);
  EXPECT_NE(saved.find("SEditRateE.Value=-40\r\n"), std::string::npos);
}

TEST_F(WindowTest, TheOptionsWinOverTheSettingsAndStartUpRebuildsAMissingStoreIndex) {
  std::string store;
  WriteItemBlock(store, {"Chan", "Title", "http://a/1", "Text one", "Mon, 01 Jan 2024"}, true);
  WriteItemBlock(store, {"Chan", "Title 2", "http://a/2", "Text two", "Mon, 01 Jan 2024"}, true);
  dir_.Write("news.rss", store);
  dir_.Write("news.RMCRC32", "0000000000100000000000012\r\n");
  dir_.Write("OpsRss.txt", Line("EditNameFileAllRSS.Text", "/nowhere/old.rss"));
  TMain& window =
      Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "news.rss"),
             QStringLiteral("--page"), QStringLiteral("3"), QStringLiteral("--load")});
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), dir_.Name() + "news.rss");
  EXPECT_EQ(Find<QTabWidget>("PageControl")->currentIndex(), 3);
  EXPECT_EQ(window.State().storeIndex.Size(), 2u);
  EXPECT_EQ(window.State().readIndex.Size(), 1u);
  EXPECT_TRUE(FileExists(dir_.Name() + "news.BCRC32"));
  // The load follows the start-up.
  EXPECT_EQ(window.State().messages.Count(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(window.State().messages.Count(), 2);
  window.State().readIndex.Add("0000000000200000000000012");
  Stop();
  EXPECT_EQ(SplitLines(dir_.Read("news.RMCRC32")).size(), 2u);
  EXPECT_EQ(SplitLines(dir_.Read("news.BCRC32")).size(), 2u);
}

TEST_F(WindowTest, ExportOptionsAreReadWhenCreatedAndWrittenWhenDestroyed) {
  dir_.Write("OpsUSelMes.txt",
             Line("EditFileOut.Text", "/x/out.rss") + Line("EditDirOut.Text", "/x/dir") +
                 Line("RGroupWUnload.ItemIndex", "2") + Line("RadioGroupDelMes.ItemIndex", ""));
  TMain& window = Start();
  auto* dialog = &window.FormUSelMes();
  EXPECT_EQ(ControlText(dialog->findChild<QLineEdit*>("EditFileOut")), "/x/out.rss");
  EXPECT_EQ(ItemIndex(dialog->findChild<QGroupBox*>("RGroupWUnload")), 2);
  EXPECT_EQ(ItemIndex(dialog->findChild<QGroupBox*>("RadioGroupDelMes")), 0);
  SetItemIndex(dialog->findChild<QGroupBox*>("RadioGroupDelMes"), 1);
  Stop();
  EXPECT_EQ(dir_.Read("OpsUSelMes.txt"),
            "EditFileOut.Text=/x/out.rss\r\nEditDirOut.Text=/x/dir\r\n"
            "RGroupWUnload.ItemIndex=2\r\nRadioGroupDelMes.ItemIndex=1\r\n");
}

}  // namespace
}  // namespace vorlin::testing
