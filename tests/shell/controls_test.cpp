// Every documented control exists under its name with its documented caption; the window
// keeps its designed size.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <climits>

#include "download/float_window.h"
#include "reader/export_options_dialog.h"
#include "reader/file_exists_prompt.h"
#include "speech/running_text_window.h"
#include "window_fixture.h"

namespace vorlin::testing {
namespace {

// The caption a user sees on a control: a button's text, a group's title, a label's text,
// a page's tab text.
QString Caption(QWidget* control) {
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(control)) return group->title();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
  for (QWidget* parent = control->parentWidget(); parent; parent = parent->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
      int index = tabs->indexOf(control);
      if (index >= 0) return tabs->tabText(index);
    }
  }
  return {};
}

// `controls` is a list of "Name" or "Name=Caption" entries, each ended by "|": every control
// exists, and those with a caption show it.
void ExpectControls(QWidget* root, const char* controls) {
  for (const QString& entry : QString::fromUtf8(controls).split('|', Qt::SkipEmptyParts)) {
    const QString name = entry.section('=', 0, 0);
    QObject* control = root->findChild<QObject*>(name);
    ASSERT_NE(control, nullptr) << name.toStdString();
    if (entry.contains('=')) {
      auto* widget = qobject_cast<QWidget*>(control);
      ASSERT_NE(widget, nullptr) << name.toStdString();
      EXPECT_EQ(Caption(widget), entry.section('=', 1)) << name.toStdString();
    }
  }
}

TEST_F(WindowTest, EveryDocumentedControlOfTheMainWindowExists) {
  TMain& window = Start();
  ExpectControls(
      &window,
      "StatusBar|PanelUpr|PanelAll|PageControl|EditAnStr|EditNameFileAllRSS|MRSSDir|MemoLog|"
      "PageControlRead|PanelChanel|EditDirFavoritListChannel|FBoxFavoritListChannel|ListBoxChannel|"
      "ListBoxChannelAll|EditFilterChnnels|EditSChannels|EditSTitle|EditSDescription|EditSLink|"
      "CBoxSDataPub|DateTimePickerS|DateTimePickerE|PageControlSearching|PanelMess|ListBoxTitle|"
      "PageControlOp|ComboBoxWBFont|EditWBBackground|SpinEditSimInNameCh|SpinEditIntervalInSec|"
      "PageControlView|MemoMess|EditWBTitleRSS|EditWBTitle|EditDatePub|EditLink|PanelWBB|ToolBarWB|"
      "ToolButtonStop|ToolButtonRefresh|ToolButtonPrev|ToolButtonNext|ToolButtonUp|ToolButtonDown|"
      "ToolButtonSpeech|ToolButtonPause|ToolButtonSpeechStop|ToolButtonRadMes|ToolButtonClearHist|"
      "CBoxHistoryList|WebBrowser|PanelAnimSpeechHeadline|MemoASHeadline|MemoAS|ToolBarAsControl|"
      "ToolButtonASPlay|ToolButtonASPause|ToolButtonASStop|SpinEditPauseEndText|SEditVolumeR|"
      "SEditRateR|SEditPitchR|SEditVolumeE|SEditRateE|SEditPitchE|CBVoices|TrackBarVolume|"
      "TrackBarRate|TrackBarPitch|SpeedButtonSayTestText|EditDirSaveDFiles|EditURL|EditCommentary|"
      "EditDateLastDLoad|EditFrequencyLoadDays|EditFrequencyLoadHours|EditFrequencyLoadMin|"
      "SpeedButtonUrlUp|SpeedButtonUrlDn|SGridDF|PanelAbout|ImageLogo|LabelAuthor|WBHelp|TimerScan|"
      "TimerDownloadAll|TimerReadMes|ButtonExit=Выход (Exit)|ButtonHelp=Помощь (Help)|"
      "TabSheetScan=Сканирование  RSS. (Scan  RSS)|GroupBoxControl= Управление.( Control ) |"
      "ButtonStartOne=Запуск однократно.(Start one-shot.)|"
      "ButtonStartOnTimer=Запуск по таймеру.(Start on timer.)|"
      "ButtonStopTimer=Остановить таймер.(Stop timer)|GroupBoxOps= Настройки (Settings) |"
      "ButtonGetNameFileAllRSS=?|EditTimeScan=15|"
      "CBoxPurgeEq=Предварительно удалять одинаковые файлы.(Beforehand delete the alike files.)|"
      "CBoxDelRssAfterProc=Удалять  после обработки RSS файлы.(Delete after processing RSS files.)|"
      "CBoxDeleteXmlNotRSS=Удалять Xml файлы не RSS. (Delete Xml files not RSS.)|"
      "CBoxLoadUniqueMess=Загружать в хранилище только уникальные сообщения. (Load in vault only "
      "unique messages.)|"
      "CBoxDelBadRSSFiles=Удалять синтаксически не верные  RSS XML файлы.(Delete syntax not "
      "faithfull RSS XML files.)|"
      "GroupBoxRSSDir= Папки где ищем RSS (Directory where search for RSS) |"
      "ButtonAddDirToMRSSDir=Добавить папку (Add Directory)|"
      "ButtonCleanAllInMRSSDir=Очистить все (Clean all)|CBoxScanSubDir=Сканировать подкаталоги|"
      "GroupBoxProtocol= Протокол работы.(The Protocol of the work.) |"
      "TabSheetRead=Чтение RSS. (Read RSS)|"
      "TabSheet1=Поиск каналов и сообщений. (Search channels and messages)|"
      "GBoxLoadFromArx=Управление |"
      "ButtonLoadAllFromArx=Загрузка всех каналов. (Loading all channel)|"
      "GroupBoxChanel=Отобранные каналы.(The Selected channels.)|ButtonSetDirFavoritListChannel=?|"
      "ButtonChannelClear=Очистка(Clear)|ButtonSaveListChannel=Сохранить список каналов|"
      "GBoxAllChanel=Все каналы. (All Channels)|LabelFiltr=Фильтр (filter):|"
      "GBoxFilter=Поиск и Фильтрация.(Searching and Filtering)|"
      "CBoxSetFiler=Использовать фильтр. (Use filter)|CheckBoxReadMes=Без прочитанных сообщ.|"
      "ButtonLoadAllMessToClib=Загрузка  в буфер обмена.|TabSheetSimple=Простой поиск|"
      "ButtonFindAndShow=Найти и показать.(Find and show.)|TabSheetExtended=Расширенный|"
      "ButtonFound=Найти (Found)|ButtonAssociation=Объединение|ButtonIntersection=Пересечение|"
      "ButtonNotIntersection=Не пересечение|ButtonException=Исключение|"
      "ButtonShowAllMess=Показать(Show)|ButtonClearAllFound=Очистка(clear)|"
      "ButtonUnloadingSelMes=Выгрузка сообщений|PanelAllFound=0|"
      "TabSheet2=Чтение найденного.(Reading found.)|"
      "GroupBoxTitle=Найденные каналы и сообщения. (The Founded channels and messages.)|"
      "GroupBoxOptions=Настройки.(Options)|TabSheetTV=TXT View|ButtonFontTXTView=Шрифт TXTView|"
      "ButtonColorTXTView=Цвет TXTView|TabSheet4=Html View|CheckBoxWBB=Панель с кнопками|"
      "LabelWBFont=Шрифт(Font)|CkBoxAddHeadline=Добавлять заголовок|ButtonSpeech=Читать|"
      "ButtonPause=Пауза|ButtonSpeechStop=Стоп!|TabSheet3=Сhannels|ButtonFontCh=Шрифт|"
      "ButtonColorCh=Цвет фона|TabSheet7=Анимация речи|CBoxPASHeadline=Показывать заголовок|"
      "CkBoxASTitleRSS=Назв. RSS (Title RSS)|CkBoxASTitle=Заг. сообщ.(Title)|"
      "CkBoxASPubDate=Дата публ.(Pub.Date)|CkBoxASLink=Ссылка.(Link)|"
      "CBoxTransfHtmlToTxt=Преобразов. Html -> txt|ButtonFontMemoASHeadline=Шрифт|"
      "ButtonColorMemoASHeadline=Цвет Фона|ButtonFontMemoAS=Шрифт|ButtonColorMemoAS=Цвет Фона|"
      "TabSheet8=Бегущая строка|ButtonFontEditAnStr=Шрифт|ButtonColorEditAnStr=Цвет Фона|"
      "TabSheet10=Статус сообщения |CkBoxMarkReadMes=Помечать проч.сообщ.|TXTView=TXT View|"
      "TabSheetHtmlView=Html View|LabelLink=Ссылка:|TabSheet6=Анимация речи (Highlight speech)|"
      "TabSheet5=Речь (Speech)|RGroupLanguages=Языки (Languages)|"
      "RGroupLanguages_1=Двуязычный синтез.(The Bilingual syntheses.)|"
      "CkBoxUsePause=Использовать паузу.(Use the pause.)|"
      "LabelPauseEndText=Длительность паузы.(Duration of the pause-msec .)|"
      "EditTagVoiceRus=<voice required=\"Language=419\">|"
      "EditTagVoiceEng=<voice required=\"Language=409\">|LabelVolumeR=Громкость|"
      "LabelRateR=скорость|LabelPitchR=Тэмбр|LabelVolumeE=Громкость|LabelRateE=скорость|"
      "LabelPitchE=Тэмбр|EditTestText=Эта программа умеет читать новостные ленты.|"
      "ButtonUseRVoice=Применить к рус. голосу(Use to russian voice)|"
      "ButtonUseEVoice=Применить к англ. голосу (Use to english voice)|"
      "RGDigitSay= Как произносить цифры? (What pronounce the numerals?)|"
      "RGroupAnimSpeech=Как анимировать речь (text to speech animated)|"
      "RGroupAnimSpeech_3=В нов.окне (in new window)|"
      "TabSheetDownloadsRSS=Загрузка RSS (Downloads RSS)|"
      "GroupBoxCLoad= Управление загрузкой RSS файлов. (Control downloads RSS files.)|"
      "ButtonDownloadAll=Загрузить все. (Download all)|"
      "ButtonDownloadOneFile=Загрузить один файл.(Download one file.)|ButtonStopAll=Stop/All|"
      "ButtonDownloadAllOnTimer=Загружать по таймеру.(Download all on timer.)|"
      "ButtonSaveListURL=Сохранить список URL.(Save list URL)|"
      "ButtonLoadListURL=Загрузить список URL.(Load list URL)|ButtonSelectDirSaveDFiles=?|"
      "GroupBoxEditingDl=Редактирование параметров загрузки файлов RSS. (Editing parameter "
      "downloads the files RSS.)|"
      "ButtonUrlAdd=Добавить(Add)|ButtonUrlDelete=Удалить(Delete)|ButtonUrlSave=Сохранить(Save)|"
      "ButtonUrlClear=Очистить(Clear)|ButtonCleanDate=Очистить дату|ButtonBob=Поплавок!|"
      "TabSheet9=О Vorlin (About+Help)|"
      "StaticTextAbout=Vorlin - предназначена для сбора, загрузки и чтения новостных лент.|");
}

QStringList Items(QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

QStringList Utf8(std::initializer_list<const char*> texts) {
  QStringList list;
  for (const char* text : texts) list << QString::fromUtf8(text);
  return list;
}

TEST_F(WindowTest, DropDownsHoldTheirDocumentedItemsAndLabels) {
  Start();
  auto* sizes = Find<QComboBox>("ComboBoxWBFont");
  EXPECT_EQ(Items(sizes), Utf8({"-2 Самый маленький", "-1 Мелкий", "+0 Средний", "+1 Крупный",
                                "+2 Самый крупный"}));
  EXPECT_EQ(sizes->currentIndex(), -1);
  EXPECT_EQ(sizes->placeholderText(), QStringLiteral("+0 Средний"));
  EXPECT_EQ(Find<QLabel>("LabelWBFont")->buddy(), sizes);
  EXPECT_EQ(Find<QLabel>("LabelPauseEndText")->buddy(), Find<QSpinBox>("SpinEditPauseEndText"));

  auto* range = Find<QComboBox>("CBoxSDataPub");
  EXPECT_EQ(Items(range),
            Utf8({"любой (any)", "сегодня (now)", "сегодня и вчера (today and yesterday)",
                  "вчера (yesterday)", "за неделю (for week)", "за 2 недели (for 2 weeks)",
                  "за месяц (for month)", "произвольный диапазон (free range)"}));
  EXPECT_EQ(range->currentIndex(), 0);
}

TEST_F(WindowTest, SpinFieldsHaveTheirDocumentedRangesStepsAndDefaults) {
  Start();
  const struct {
    const char* name;
    int minimum, maximum, step, value;
  } spins[] = {
      {"SpinEditPauseEndText", 1, 100000, 10, 1000},
      {"SEditVolumeR", 1, 100, 1, 90},
      {"SEditVolumeE", 1, 100, 1, 90},
      // Rates have no bounds of their own: whatever the settings hold is kept.
      {"SEditRateR", INT_MIN, INT_MAX, 1, 0},
      {"SEditRateE", INT_MIN, INT_MAX, 1, 0},
      {"SEditPitchR", -100, 100, 1, 0},
      {"SEditPitchE", -100, 100, 1, 0},
      {"SpinEditSimInNameCh", 1, 200, 1, 80},
      {"SpinEditIntervalInSec", 1, 1000, 1, 5},
  };
  for (const auto& expected : spins) {
    auto* spin = Find<QSpinBox>(expected.name);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->minimum(), expected.minimum) << expected.name;
    EXPECT_EQ(spin->maximum(), expected.maximum) << expected.name;
    EXPECT_EQ(spin->singleStep(), expected.step) << expected.name;
    EXPECT_EQ(spin->value(), expected.value) << expected.name;
  }
}

TEST_F(WindowTest, FileDialogsHaveTheirFiltersExtensionsAndTitles) {
  TMain& window = Start();
  const QStringList urlFilter = {QStringLiteral("List Url (список Url на файлы Rss) (*.RssUrl)")};
  const struct {
    const char* name;
    QFileDialog::AcceptMode mode;
    QStringList filters;
    const char* suffix;
    const char* title;  // nullptr: not documented
  } dialogs[] = {
      {"SaveTextFileDialog", QFileDialog::AcceptSave,
       Utf8({"База RSS, Data base rss (*.rss)", "Все файлы, All (*.*)"}), "rss",
       "Открыть или Сохранить Базу RSS"},
      {"SaveTextFileDialogLBCh", QFileDialog::AcceptSave,
       Utf8({"Любимые каналы (my RSS) (*.myRSS)"}), "myRSS", nullptr},
      {"OpenTextFileDialogListURL", QFileDialog::AcceptOpen, urlFilter, "RssUrl", nullptr},
      {"SaveTextFileDialogListURL", QFileDialog::AcceptSave, urlFilter, "RssUrl", nullptr},
      {"OpenPictureDialogPWB",
       QFileDialog::AcceptOpen,
       {QStringLiteral("All *.jpg;*.jpeg;*.bmp;*.gif;*png (*.jpg *.jpeg *.bmp *.gif *png)")},
       "",
       nullptr},
  };
  for (const auto& expected : dialogs) {
    auto* dialog = window.findChild<QFileDialog*>(QString::fromLatin1(expected.name));
    ASSERT_NE(dialog, nullptr) << expected.name;
    EXPECT_EQ(dialog->acceptMode(), expected.mode) << expected.name;
    EXPECT_EQ(dialog->nameFilters(), expected.filters) << expected.name;
    EXPECT_EQ(dialog->defaultSuffix(), QString::fromLatin1(expected.suffix)) << expected.name;
    if (expected.title) {  // only one title is documented
      EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(expected.title)) << expected.name;
    }
  }
  EXPECT_NE(window.findChild<QObject*>(QStringLiteral("FontDialog")), nullptr);
  EXPECT_NE(window.findChild<QObject*>(QStringLiteral("ColorDialog")), nullptr);
}

TEST_F(WindowTest, TheSecondaryWindowsHaveTheirControlsAndCaptions) {
  TMain& window = Start();
  EXPECT_EQ(window.FormPopUp().windowTitle(), QStringLiteral("Поплавок (bob)"));
  EXPECT_EQ(window.FormPopUp().size(), QSize(191, 182));
  ExpectControls(&window.FormPopUp(),
                 "EditUrl|MemoCom|EditD|EditH|EditM|ButtonA=Добавит (Add)|ButtonN=Новая (New)|"
                 "ButtonE=Выход (Exit)|");
  EXPECT_EQ(window.FormRssStr().size(), QSize(765, 36));
  ExpectControls(&window.FormRssStr(), "EditStr|ToolButtonPlay|ToolButtonPause|ToolButtonStop|");
  EXPECT_EQ(window.FormUSelMes().windowTitle(),
            QStringLiteral("Выбор вариантов выгрузки отобранных сообщений"));
  ExpectControls(
      &window.FormUSelMes(),
      "EditDirOut|EditFileOut|MemoHelp|RGroupWUnload=Как выгружать? (What unload?)|"
      "RGroupWUnload_2=В файл формата Vorlin.(In file of the format Vorlin)|ButtonSelDirOut=?|"
      "ButtonSelFileOut=?|"
      "RadioGroupDelMes=Удалять сообщения после выгрузки? (Delete the messages after unloading?)|"
      "RadioGroupDelMes_0=Да. (Yes)|ButtonOk=Выполнить (Ok)|ButtonCansel=Отменить! (Сancel)|");
  EXPECT_EQ(window.FormAlertExFile().windowTitle(), QStringLiteral("Внимание! Attention!"));
  ExpectControls(&window.FormAlertExFile(),
                 "ButtonOverwrite=Перезаписать! (Overwrite)|ButtonAppend=Дописать (add)|"
                 "ButtonCancel=Отказаться (Cancel)|");
}

// The window keeps its designed client size: no page asks for more room than 684 by 598.
TEST_F(WindowTest, EveryPageFitsTheDesignedClientSize) {
  TMain& window = Start();
  window.show();
  QCoreApplication::processEvents();
  QSize minimum = window.minimumSizeHint();
  for (const char* name : {"TabSheetScan", "TabSheetRead", "TabSheet1", "TabSheet2", "TabSheet5",
                           "TabSheetDownloadsRSS", "TabSheet9", "PanelUpr", "StatusBar"}) {
    QWidget* page = Find<QWidget>(name);
    ASSERT_NE(page, nullptr);
    EXPECT_LE(page->minimumSizeHint().width(), 676) << name;
  }
  EXPECT_LE(minimum.width(), 684);
  EXPECT_LE(minimum.height(), 598);
  EXPECT_EQ(window.size(), QSize(684, 598));
}

}  // namespace
}  // namespace vorlin::testing
