// Exporting messages: one text or HTML file per message in per-channel folders, or item
// blocks appended to (or written as) a second store; then, on request, removing them from the
// store they came from.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/message_list.h"
#include "store/store_replace.h"
#include "util/file_io.h"
#include "util/progress.h"

namespace vorlin {

// The kinds of RGroupWUnload, in its order.
enum class ExportKind { kText = 0, kHtml = 1, kStore = 2 };

// The answers of the file-exists prompt, as its result values.
enum class ExistsAnswer { kOverwrite = 0, kAppend = 1, kCancel = 2 };

struct ExportOptions {
  ExportKind kind = ExportKind::kHtml;
  std::string outFolder;        // EditDirOut: text and HTML files
  std::string storeFile;        // EditFileOut: the target store
  int nameLength = 80;          // SpinEditSimInNameCh
  bool removeFromStore = true;  // RadioGroupDelMes "Да. (Yes)"
};

// The output folder could not be created; the message is the program's own text (UTF-8).
class ExportFolderError : public Error {
 public:
  using Error::Error;
};

// Trims blanks and control characters, turns every byte other than a blank, a digit, a Latin
// letter or 0xC0 to 0xFF into "_"; "blank_name" when nothing is left.
std::string SafeName(std::string_view text);

// The contents of one exported text or HTML file (CR LF line ends). The HTML file declares its
// code page and a policy that lets it run nothing, has the title in its <title>, its text fields
// escaped, the description sanitised (`SanitizeHtml`), and the link as an anchor only for http,
// https, ftp and mailto.
std::string ExportText(const MessageValues& message);
std::string ExportHtml(const MessageValues& message);

// The file of one message, relative to the output folder, without suffix and extension: the
// channel part "/" the title part, each the first `nameLength` characters made safe, the whole
// cut to 200 characters less the length of the output folder text.
std::string ExportRelativeName(std::string_view outFolder, std::string_view channel,
                               std::string_view title, int nameLength);

// The first name outFolder + "/" + relative + "_" + k + extension (k = 0, 1, ...) that is
// free. Each part of the name is cut so that it fits the file system's 255 bytes.
std::string FreeExportPath(std::string_view outFolder, std::string_view relative,
                           std::string_view extension);

// Exports the messages `numbers` of `list` in that order. Text and HTML show "all files-"
// N-1 " current-" i every hundred messages and " Ok-" N at the end; a store export asks
// `askExists` when the target exists. Returns false when the user cancelled at that prompt.
// `currentStore` is the store the messages come from. Refused with Error before anything is
// written: a number `list` does not hold, an empty output folder or store file, a target that
// belongs to the current store (the store under any name, its indexes, its temporary or backup
// names: a removal afterwards would lose both copies) and a target that is not a regular file.
// A target store that is a link is written through and keeps its mode. Throws
// ExportFolderError when a folder cannot be created and Error on any other failure; files
// written before stay, a text or HTML file whose write failed does not.
bool ExportMessages(const MessageList& list, const std::vector<int>& numbers,
                    const ExportOptions& options, std::string_view currentStore, Progress& progress,
                    const std::function<ExistsAnswer()>& askExists);

// The export followed, when it ran to its end and `options.removeFromStore` is set, by the
// store's replacement without the exported messages. Whatever would refuse that replacement
// (CheckStoreReplacement) refuses it before the export writes anything. Returns false when
// cancelled.
bool ExportAndRemove(const MessageList& list, const std::vector<int>& numbers,
                     const ExportOptions& options, std::string_view currentStore,
                     const StoreStamp& loaded, Progress& progress,
                     const std::function<ExistsAnswer()>& askExists);

}  // namespace vorlin
