// Every documented control exists under its name with its documented caption.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

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
          {"TabSheet8", "Бегущая строка"},
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
          {"EditTagVoiceRus", "<voice required=\"Language=419\">"},
          {"EditTagVoiceEng", "<voice required=\"Language=409\">"},
          {"SEditVolumeR", ""},
          {"SEditRateR", ""},
          {"SEditPitchR", ""},
          {"SEditVolumeE", ""},
          {"SEditRateE", ""},
          {"SEditPitchE", ""},
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
