// Every documented control exists under its name with its documented caption.
#include <QAbstractButton>
#include <QComboBox>
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

struct Control {
  const char* name;
  const char* caption;  // empty: only its existence is checked
};

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

void ExpectControls(QWidget* root, std::initializer_list<Control> controls) {
  for (const Control& expected : controls) {
    QObject* control = root->findChild<QObject*>(QString::fromLatin1(expected.name));
    ASSERT_NE(control, nullptr) << expected.name;
    if (*expected.caption) {
      auto* widget = qobject_cast<QWidget*>(control);
      ASSERT_NE(widget, nullptr) << expected.name;
      EXPECT_EQ(Caption(widget), QString::fromUtf8(expected.caption)) << expected.name;
    }
  }
}

TEST_F(WindowTest, EveryDocumentedControlOfTheMainWindowExists) {
  TMain& window = Start();
  ExpectControls(
      &window,
      {
          {"StatusBar", ""},
          {"PanelUpr", ""},
          {"PanelAll", ""},
          {"PageControl", ""},
          {"ButtonExit", "Выход (Exit)"},
          {"EditAnStr", ""},
          {"ButtonHelp", "Помощь (Help)"},
          {"TabSheetScan", "Сканирование  RSS. (Scan  RSS)"},
          {"GroupBoxControl", " Управление.( Control ) "},
          {"ButtonStartOne", "Запуск однократно.(Start one-shot.)"},
          {"ButtonStartOnTimer", "Запуск по таймеру.(Start on timer.)"},
          {"ButtonStopTimer", "Остановить таймер.(Stop timer)"},
          {"GroupBoxOps", " Настройки (Settings) "},
          {"EditNameFileAllRSS", ""},
          {"ButtonGetNameFileAllRSS", "?"},
          {"EditTimeScan", "15"},
          {"CBoxPurgeEq",
           "Предварительно удалять одинаковые файлы.(Beforehand delete the alike files.)"},
          {"CBoxDelRssAfterProc",
           "Удалять  после обработки RSS файлы.(Delete after processing RSS files.)"},
          {"CBoxDeleteXmlNotRSS", "Удалять Xml файлы не RSS. (Delete Xml files not RSS.)"},
          {"CBoxLoadUniqueMess",
           "Загружать в хранилище только уникальные сообщения. (Load in vault only unique "
           "messages.)"},
          {"CBoxDelBadRSSFiles",
           "Удалять синтаксически не верные  RSS XML файлы.(Delete syntax not faithfull RSS XML "
           "files.)"},
          {"GroupBoxRSSDir", " Папки где ищем RSS (Directory where search for RSS) "},
          {"MRSSDir", ""},
          {"ButtonAddDirToMRSSDir", "Добавить папку (Add Directory)"},
          {"ButtonCleanAllInMRSSDir", "Очистить все (Clean all)"},
          {"CBoxScanSubDir", "Сканировать подкаталоги"},
          {"GroupBoxProtocol", " Протокол работы.(The Protocol of the work.) "},
          {"MemoLog", ""},
          {"TabSheetRead", "Чтение RSS. (Read RSS)"},
          {"PageControlRead", ""},
          {"TabSheet1", "Поиск каналов и сообщений. (Search channels and messages)"},
          {"GBoxLoadFromArx", "Управление "},
          {"ButtonLoadAllFromArx", "Загрузка всех каналов. (Loading all channel)"},
          {"PanelChanel", ""},
          {"GroupBoxChanel", "Отобранные каналы.(The Selected channels.)"},
          {"EditDirFavoritListChannel", ""},
          {"ButtonSetDirFavoritListChannel", "?"},
          {"FBoxFavoritListChannel", ""},
          {"ListBoxChannel", ""},
          {"ButtonChannelClear", "Очистка(Clear)"},
          {"ButtonSaveListChannel", "Сохранить список каналов"},
          {"GBoxAllChanel", "Все каналы. (All Channels)"},
          {"ListBoxChannelAll", ""},
          {"LabelFiltr", "Фильтр (filter):"},
          {"EditFilterChnnels", ""},
          {"GBoxFilter", "Поиск и Фильтрация.(Searching and Filtering)"},
          {"EditSChannels", ""},
          {"EditSTitle", ""},
          {"EditSDescription", ""},
          {"EditSLink", ""},
          {"CBoxSDataPub", ""},
          {"DateTimePickerS", ""},
          {"DateTimePickerE", ""},
          {"CBoxSetFiler", "Использовать фильтр. (Use filter)"},
          {"CheckBoxReadMes", "Без прочитанных сообщ."},
          {"ButtonLoadAllMessToClib", "Загрузка  в буфер обмена."},
          {"PageControlSearching", ""},
          {"TabSheetSimple", "Простой поиск"},
          {"ButtonFindAndShow", "Найти и показать.(Find and show.)"},
          {"TabSheetExtended", "Расширенный"},
          {"ButtonFound", "Найти (Found)"},
          {"ButtonAssociation", "Объединение"},
          {"ButtonIntersection", "Пересечение"},
          {"ButtonNotIntersection", "Не пересечение"},
          {"ButtonException", "Исключение"},
          {"ButtonShowAllMess", "Показать(Show)"},
          {"ButtonClearAllFound", "Очистка(clear)"},
          {"ButtonUnloadingSelMes", "Выгрузка сообщений"},
          {"PanelAllFound", "0"},
          {"TabSheet2", "Чтение найденного.(Reading found.)"},
          {"PanelMess", ""},
          {"GroupBoxTitle", "Найденные каналы и сообщения. (The Founded channels and messages.)"},
          {"ListBoxTitle", ""},
          {"GroupBoxOptions", "Настройки.(Options)"},
          {"PageControlOp", ""},
          {"TabSheetTV", "TXT View"},
          {"ButtonFontTXTView", "Шрифт TXTView"},
          {"ButtonColorTXTView", "Цвет TXTView"},
          {"TabSheet4", "Html View"},
          {"CheckBoxWBB", "Панель с кнопками"},
          {"ComboBoxWBFont", ""},
          {"LabelWBFont", "Шрифт(Font)"},
          {"CkBoxAddHeadline", "Добавлять заголовок"},
          {"EditWBBackground", ""},
          {"ButtonSpeech", "Читать"},
          {"ButtonPause", "Пауза"},
          {"ButtonSpeechStop", "Стоп!"},
          {"TabSheet3", "Сhannels"},
          {"ButtonFontCh", "Шрифт"},
          {"ButtonColorCh", "Цвет фона"},
          {"SpinEditSimInNameCh", ""},
          {"TabSheet7", "Анимация речи"},
          {"CBoxPASHeadline", "Показывать заголовок"},
          {"CkBoxASTitleRSS", "Назв. RSS (Title RSS)"},
          {"CkBoxASTitle", "Заг. сообщ.(Title)"},
          {"CkBoxASPubDate", "Дата публ.(Pub.Date)"},
          {"CkBoxASLink", "Ссылка.(Link)"},
          {"CBoxTransfHtmlToTxt", "Преобразов. Html -> txt"},
          {"ButtonFontMemoASHeadline", "Шрифт"},
          {"ButtonColorMemoASHeadline", "Цвет Фона"},
          {"ButtonFontMemoAS", "Шрифт"},
          {"ButtonColorMemoAS", "Цвет Фона"},
          {"TabSheet8", "Бегущая строка"},
          {"ButtonFontEditAnStr", "Шрифт"},
          {"ButtonColorEditAnStr", "Цвет Фона"},
          {"TabSheet10", "Статус сообщения "},
          {"CkBoxMarkReadMes", "Помечать проч.сообщ."},
          {"SpinEditIntervalInSec", ""},
          {"PageControlView", ""},
          {"TXTView", "TXT View"},
          {"MemoMess", ""},
          {"TabSheetHtmlView", "Html View"},
          {"EditWBTitleRSS", ""},
          {"EditWBTitle", ""},
          {"EditDatePub", ""},
          {"EditLink", ""},
          {"LabelLink", "Ссылка:"},
          {"PanelWBB", ""},
          {"ToolBarWB", ""},
          {"ToolButtonStop", ""},
          {"ToolButtonRefresh", ""},
          {"ToolButtonPrev", ""},
          {"ToolButtonNext", ""},
          {"ToolButtonUp", ""},
          {"ToolButtonDown", ""},
          {"ToolButtonSpeech", ""},
          {"ToolButtonPause", ""},
          {"ToolButtonSpeechStop", ""},
          {"ToolButtonRadMes", ""},
          {"ToolButtonClearHist", ""},
          {"CBoxHistoryList", ""},
          {"WebBrowser", ""},
          {"TabSheet6", "Анимация речи (Highlight speech)"},
          {"PanelAnimSpeechHeadline", ""},
          {"MemoASHeadline", ""},
          {"MemoAS", ""},
          {"ToolBarAsControl", ""},
          {"ToolButtonASPlay", ""},
          {"ToolButtonASPause", ""},
          {"ToolButtonASStop", ""},
          {"TabSheet5", "Речь (Speech)"},
          {"RGroupLanguages", "Языки (Languages)"},
          {"RGroupLanguages_1", "Двуязычный синтез.(The Bilingual syntheses.)"},
          {"CkBoxUsePause", "Использовать паузу.(Use the pause.)"},
          {"SpinEditPauseEndText", ""},
          {"LabelPauseEndText", "Длительность паузы.(Duration of the pause-msec .)"},
          {"EditTagVoiceRus", "<voice required=\"Language=419\">"},
          {"EditTagVoiceEng", "<voice required=\"Language=409\">"},
          {"SEditVolumeR", ""},
          {"SEditRateR", ""},
          {"SEditPitchR", ""},
          {"SEditVolumeE", ""},
          {"SEditRateE", ""},
          {"SEditPitchE", ""},
          {"LabelVolumeR", "Громкость"},
          {"LabelRateR", "скорость"},
          {"LabelPitchR", "Тэмбр"},
          {"LabelVolumeE", "Громкость"},
          {"LabelRateE", "скорость"},
          {"LabelPitchE", "Тэмбр"},
          {"CBVoices", ""},
          {"TrackBarVolume", ""},
          {"TrackBarRate", ""},
          {"TrackBarPitch", ""},
          {"EditTestText", "Эта программа умеет читать новостные ленты."},
          {"SpeedButtonSayTestText", ""},
          {"ButtonUseRVoice", "Применить к рус. голосу(Use to russian voice)"},
          {"ButtonUseEVoice", "Применить к англ. голосу (Use to english voice)"},
          {"RGDigitSay", " Как произносить цифры? (What pronounce the numerals?)"},
          {"RGroupAnimSpeech", "Как анимировать речь (text to speech animated)"},
          {"RGroupAnimSpeech_3", "В нов.окне (in new window)"},
          {"TabSheetDownloadsRSS", "Загрузка RSS (Downloads RSS)"},
          {"GroupBoxCLoad", " Управление загрузкой RSS файлов. (Control downloads RSS files.)"},
          {"ButtonDownloadAll", "Загрузить все. (Download all)"},
          {"ButtonDownloadOneFile", "Загрузить один файл.(Download one file.)"},
          {"ButtonStopAll", "Stop/All"},
          {"ButtonDownloadAllOnTimer", "Загружать по таймеру.(Download all on timer.)"},
          {"ButtonSaveListURL", "Сохранить список URL.(Save list URL)"},
          {"ButtonLoadListURL", "Загрузить список URL.(Load list URL)"},
          {"EditDirSaveDFiles", ""},
          {"ButtonSelectDirSaveDFiles", "?"},
          {"GroupBoxEditingDl",
           "Редактирование параметров загрузки файлов RSS. (Editing parameter downloads the files "
           "RSS.)"},
          {"EditURL", ""},
          {"EditCommentary", ""},
          {"EditDateLastDLoad", ""},
          {"EditFrequencyLoadDays", ""},
          {"EditFrequencyLoadHours", ""},
          {"EditFrequencyLoadMin", ""},
          {"ButtonUrlAdd", "Добавить(Add)"},
          {"ButtonUrlDelete", "Удалить(Delete)"},
          {"ButtonUrlSave", "Сохранить(Save)"},
          {"ButtonUrlClear", "Очистить(Clear)"},
          {"ButtonCleanDate", "Очистить дату"},
          {"ButtonBob", "Поплавок!"},
          {"SpeedButtonUrlUp", ""},
          {"SpeedButtonUrlDn", ""},
          {"SGridDF", ""},
          {"TabSheet9", "О Vorlin (About+Help)"},
          {"PanelAbout", ""},
          {"ImageLogo", ""},
          {"StaticTextAbout",
           "Vorlin - предназначена для сбора, загрузки и чтения новостных лент."},
          {"LabelAuthor", ""},
          {"WBHelp", ""},
          {"TimerScan", ""},
          {"TimerDownloadAll", ""},
          {"TimerReadMes", ""},
      });
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

TEST_F(WindowTest, RatesFromTheSettingsFileAreNotClamped) {
  dir_.Write("OpsRss.txt", "SEditRateR.Value=25\r\nSEditRateE.Value=-40\r\n");
  Start();
  EXPECT_EQ(Find<QSpinBox>("SEditRateR")->value(), 25);
  EXPECT_EQ(Find<QSpinBox>("SEditRateE")->value(), -40);
  Stop();
  const std::string saved = dir_.Read("OpsRss.txt");
  EXPECT_NE(saved.find("SEditRateR.Value=25\r\n"), std::string::npos);
  EXPECT_NE(saved.find("SEditRateE.Value=-40\r\n"), std::string::npos);
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
  ExpectControls(&window.FormPopUp(), {{"EditUrl", ""},
                                       {"MemoCom", ""},
                                       {"EditD", ""},
                                       {"EditH", ""},
                                       {"EditM", ""},
                                       {"ButtonA", "Добавит (Add)"},
                                       {"ButtonN", "Новая (New)"},
                                       {"ButtonE", "Выход (Exit)"}});
  EXPECT_EQ(window.FormRssStr().size(), QSize(765, 36));
  ExpectControls(
      &window.FormRssStr(),
      {{"EditStr", ""}, {"ToolButtonPlay", ""}, {"ToolButtonPause", ""}, {"ToolButtonStop", ""}});
  EXPECT_EQ(window.FormUSelMes().windowTitle(),
            QStringLiteral("Выбор вариантов выгрузки отобранных сообщений"));
  ExpectControls(&window.FormUSelMes(),
                 {{"RGroupWUnload", "Как выгружать? (What unload?)"},
                  {"RGroupWUnload_2", "В файл формата Vorlin.(In file of the format Vorlin)"},
                  {"EditDirOut", ""},
                  {"ButtonSelDirOut", "?"},
                  {"EditFileOut", ""},
                  {"ButtonSelFileOut", "?"},
                  {"RadioGroupDelMes",
                   "Удалять сообщения после выгрузки? (Delete the messages after unloading?)"},
                  {"RadioGroupDelMes_0", "Да. (Yes)"},
                  {"MemoHelp", ""},
                  {"ButtonOk", "Выполнить (Ok)"},
                  {"ButtonCansel", "Отменить! (Сancel)"}});
  EXPECT_EQ(window.FormAlertExFile().windowTitle(), QStringLiteral("Внимание! Attention!"));
  ExpectControls(&window.FormAlertExFile(), {{"ButtonOverwrite", "Перезаписать! (Overwrite)"},
                                             {"ButtonAppend", "Дописать (add)"},
                                             {"ButtonCancel", "Отказаться (Cancel)"}});
}

}  // namespace
}  // namespace vorlin::testing
