// Start-up and shutdown of the real window with its settings files in a temporary folder.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>

#include "reader/export_options_dialog.h"
#include "shell/control_state.h"
#include "shell/settings_io.h"
#include "store/store_format.h"
#include "util/cp1251.h"
#include "util/file_io.h"
#include "window_fixture.h"

namespace vorlin::testing {
namespace {

// The keys of OpsRss.txt in the order the file is written.
const char* const kKeyOrder[] = {
    "EditNameFileAllRSS.Text",
    "EditTimeScan.Text",
    "EditDirSaveDFiles.Text",
    "EditDirFavoritListChannel.Text",
    "EditWBBackground.Text",
    "ListBoxTitle.Font",
    "ListBoxTitle.Color",
    "MemoMess.Font",
    "MemoMess.Color",
    "RGroupLanguages.ItemIndex",
    "CkBoxUsePause.Checked",
    "SpinEditPauseEndText.Value",
    "RGDigitSay.ItemIndex",
    "EditTagVoiceRus.Text",
    "EditTagVoiceEng.Text",
    "SEditVolumeR.Value",
    "SEditRateR.Value",
    "SEditPitchR.Value",
    "SEditVolumeE.Value",
    "SEditRateE.Value",
    "SEditPitchE.Value",
    "ComboBoxWBFont.ItemIndex",
    "SpinEditSimInNameCh.Value",
    "CBoxScanSubDir.Checked",
    "CBoxPurgeEq.Checked",
    "CBoxDelRssAfterProc.Checked",
    "CBoxDeleteXmlNotRSS.Checked",
    "CBoxLoadUniqueMess.Checked",
    "CBoxDelBadRSSFiles.Checked",
    "CBoxSetFiler.Checked",
    "CheckBoxReadMes.Checked",
    "CheckBoxWBB.Checked",
    "CkBoxAddHeadline.Checked",
    "PageControl.TabIndex",
    "PageControlRead.TabIndex",
    "PageControlOp.TabIndex",
    "PageControlView.TabIndex",
    "PageControlSearching.TabIndex",
    "RGroupAnimSpeech.ItemIndex",
    "CBoxPASHeadline.Checked",
    "CkBoxASTitleRSS.Checked",
    "CkBoxASTitle.Checked",
    "CkBoxASPubDate.Checked",
    "CkBoxASLink.Checked",
    "MemoASHeadline.Font",
    "MemoASHeadline.Color",
    "MemoAS.Font",
    "MemoAS.Color",
    "EditAnStr.Font",
    "EditAnStr.Color",
    "CkBoxMarkReadMes.Checked",
    "SpinEditIntervalInSec.Value",
};

std::string Line(const std::string& key, const std::string& value) {
  return key + "=" + value + "\r\n";
}

TEST_F(WindowTest, WithoutSettingsFilesEveryControlStartsAtItsDefault) {
  TMain& window = Start();
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditTimeScan")), "15");
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), "");
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditDirFavoritListChannel")), dir_.Name());
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditTagVoiceRus")), "<voice required=\"Language=419\">");
  EXPECT_TRUE(Find<QAbstractButton>("CBoxPurgeEq")->isChecked());
  EXPECT_FALSE(Find<QAbstractButton>("CBoxDelRssAfterProc")->isChecked());
  EXPECT_TRUE(Find<QAbstractButton>("CBoxPASHeadline")->isChecked());
  EXPECT_EQ(ItemIndex(Find<QGroupBox>("RGroupLanguages")), 1);
  EXPECT_EQ(ItemIndex(Find<QGroupBox>("RGroupAnimSpeech")), 0);
  EXPECT_EQ(Find<QSpinBox>("SpinEditSimInNameCh")->value(), 80);
  EXPECT_EQ(Find<QSpinBox>("SpinEditIntervalInSec")->value(), 5);
  EXPECT_EQ(Find<QSpinBox>("SpinEditPauseEndText")->value(), 1000);
  auto* sizes = Find<QComboBox>("ComboBoxWBFont");
  EXPECT_EQ(sizes->currentIndex(), -1);
  EXPECT_EQ(sizes->placeholderText(), QStringLiteral("+0 Средний"));
  EXPECT_EQ(Find<QTabWidget>("PageControl")->currentIndex(), 0);
  EXPECT_EQ(Find<QTabWidget>("PageControlRead")->currentIndex(), 2);
  EXPECT_EQ(Find<QTabWidget>("PageControlOp")->currentIndex(), 3);
  EXPECT_EQ(Find<QTabWidget>("PageControlView")->currentIndex(), 2);
  EXPECT_EQ(Find<QTabWidget>("PageControlSearching")->currentIndex(), 1);
  EXPECT_EQ(window.State().storeIndex.Size(), 0u);
  EXPECT_EQ(window.State().readIndex.Size(), 0u);
  EXPECT_TRUE(errors_.isEmpty());
}

TEST_F(WindowTest, ExitWritesExactlyTheFiftyTwoKeysInTableOrder) {
  Start();
  Find<QPlainTextEdit>("MRSSDir")->setPlainText(QStringLiteral("/data/feeds\n/data/более"));
  Find<QAbstractButton>("ButtonExit")->click();
  window_.reset();

  std::vector<std::string> lines = SplitLines(dir_.Read("OpsRss.txt"));
  ASSERT_EQ(lines.size(), std::size(kKeyOrder));
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, lines[i].find('=')), kKeyOrder[i]) << i;
  }
  const std::string text = dir_.Read("OpsRss.txt");
  EXPECT_NE(text.find("EditTimeScan.Text=15\r\n"), std::string::npos);
  EXPECT_NE(text.find("ListBoxTitle.Font=-16777208|-13|Tahoma|0|96|10|nnnn\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("MemoMess.Color=-16777211\r\n"), std::string::npos);
  EXPECT_NE(text.find("ComboBoxWBFont.ItemIndex=-1\r\n"), std::string::npos);
  EXPECT_EQ(dir_.Read("DirRss.txt"), "/data/feeds\r\n/data/" + W("более") + "\r\n");
  EXPECT_NE(dir_.Read("OpsUSelMes.txt").find("RGroupWUnload.ItemIndex=1\r\n"), std::string::npos);
}

TEST_F(WindowTest, ScanFoldersComeBackWithoutABlankLastLine) {
  dir_.Write("DirRss.txt", "/data/a\r\n/data/b\r\n");
  Start();
  EXPECT_EQ(Find<QPlainTextEdit>("MRSSDir")->toPlainText(), QStringLiteral("/data/a\n/data/b"));
  Stop();
  EXPECT_EQ(dir_.Read("DirRss.txt"), "/data/a\r\n/data/b\r\n");
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
  std::string written;
  {
    TMain& window = Start();
    SettingsFile changed;
    changed.Set("EditNameFileAllRSS.Text", dir_.Name() + W("хранилище.rss"));
    changed.Set("EditTimeScan.Text", "7");
    changed.Set("EditDirSaveDFiles.Text", "/tmp/down");
    changed.Set("EditDirFavoritListChannel.Text", "/tmp/fav");
    changed.Set("EditWBBackground.Text", "/tmp/back.jpg");
    changed.Set("ListBoxTitle.Font", "255|-16|Arial|1|96|12|ynyn");
    changed.Set("ListBoxTitle.Color", "65535");
    changed.Set("MemoMess.Color", "-16777201");
    changed.Set("RGroupLanguages.ItemIndex", "3");
    changed.Set("CkBoxUsePause.Checked", "0");
    changed.Set("SpinEditPauseEndText.Value", "2500");
    changed.Set("RGDigitSay.ItemIndex", "1");
    changed.Set("EditTagVoiceRus.Text", "<voice required=\"Name=A\">");
    changed.Set("SEditVolumeR.Value", "40");
    changed.Set("SEditRateE.Value", "-3");
    changed.Set("SEditPitchE.Value", "-50");
    changed.Set("ComboBoxWBFont.ItemIndex", "4");
    changed.Set("SpinEditSimInNameCh.Value", "33");
    changed.Set("CBoxScanSubDir.Checked", "0");
    changed.Set("CBoxDelRssAfterProc.Checked", "1");
    changed.Set("CheckBoxWBB.Checked", "0");
    changed.Set("PageControl.TabIndex", "2");
    changed.Set("PageControlRead.TabIndex", "0");
    changed.Set("PageControlOp.TabIndex", "5");
    changed.Set("PageControlView.TabIndex", "1");
    changed.Set("PageControlSearching.TabIndex", "0");
    changed.Set("RGroupAnimSpeech.ItemIndex", "2");
    changed.Set("CkBoxASTitle.Checked", "1");
    changed.Set("MemoAS.Font", "0|-11|Verdana|0|96|9|nnnn");
    changed.Set("EditAnStr.Color", "12632256");
    changed.Set("CkBoxMarkReadMes.Checked", "0");
    changed.Set("SpinEditIntervalInSec.Value", "999");
    ApplySettings(&window, changed);
    Find<QAbstractButton>("CBoxPASHeadline")->setChecked(false);
    written = CollectSettings(&window).Entries().size() == 52 ? "" : "wrong size";
    ASSERT_EQ(written, "");
    Stop();
  }
  written = dir_.Read("OpsRss.txt");
  EXPECT_NE(written.find("CBoxPASHeadline.Checked=0\r\n"), std::string::npos);

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
  EXPECT_EQ(Find<QTabWidget>("PageControl")->currentIndex(), 2);
  EXPECT_EQ(Find<QWidget>("ListBoxTitle")->font().family(), QStringLiteral("Arial"));
  EXPECT_TRUE(Find<QWidget>("ListBoxTitle")->font().bold());
  EXPECT_TRUE(Find<QWidget>("ListBoxTitle")->font().underline());
}

TEST_F(WindowTest, MissingTextKeysEmptyTheirFieldsAndBadNumbersKeepDefaults) {
  dir_.Write("OpsRss.txt", Line("SpinEditSimInNameCh.Value", "many") +
                               Line("RGroupLanguages.ItemIndex", "") +
                               Line("spinEditIntervalInSec.value", "12") +
                               Line("ListBoxTitle.Font", "x|y|Arial|0|96|10|ynnn") +
                               Line("CBoxPurgeEq.Checked", "0"));
  Start();
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditTimeScan")), "");
  EXPECT_EQ(Find<QSpinBox>("SpinEditSimInNameCh")->value(), 80);
  EXPECT_EQ(ItemIndex(Find<QGroupBox>("RGroupLanguages")), 1);
  EXPECT_EQ(Find<QSpinBox>("SpinEditIntervalInSec")->value(), 12);
  EXPECT_EQ(Find<QWidget>("ListBoxTitle")->font().family(), QStringLiteral("Tahoma"));
  EXPECT_FALSE(Find<QAbstractButton>("CBoxPurgeEq")->isChecked());
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditDirFavoritListChannel")), dir_.Name());
}

TEST_F(WindowTest, StartUpRebuildsAMissingStoreIndexAndShutdownSavesBoth) {
  std::string store;
  WriteItemBlock(store, {"Chan", "Title", "http://a/1", "Text one", "Mon, 01 Jan 2024"}, true);
  WriteItemBlock(store, {"Chan", "Title 2", "http://a/2", "Text two", "Mon, 01 Jan 2024"}, true);
  dir_.Write("news.rss", store);
  dir_.Write("news.RMCRC32", "0000000000100000000000012\r\n");
  dir_.Write("OpsRss.txt", Line("EditNameFileAllRSS.Text", dir_.Name() + "news.rss"));

  TMain& window = Start();
  EXPECT_EQ(window.State().storeIndex.Size(), 2u);
  EXPECT_EQ(window.State().readIndex.Size(), 1u);
  EXPECT_TRUE(FileExists(dir_.Name() + "news.BCRC32"));
  window.State().readIndex.Add("0000000000200000000000012");
  Stop();
  EXPECT_EQ(SplitLines(dir_.Read("news.RMCRC32")).size(), 2u);
  EXPECT_EQ(SplitLines(dir_.Read("news.BCRC32")).size(), 2u);
}

TEST_F(WindowTest, TheStoreOptionWinsOverTheSettingsFile) {
  dir_.Write("OpsRss.txt", Line("EditNameFileAllRSS.Text", "/nowhere/old.rss"));
  Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + "new.rss"),
         QStringLiteral("--page"), QStringLiteral("3")});
  EXPECT_EQ(ControlText(Find<QLineEdit>("EditNameFileAllRSS")), dir_.Name() + "new.rss");
  EXPECT_EQ(Find<QTabWidget>("PageControl")->currentIndex(), 3);
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
