#include "download/opml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <set>

#include "util/cp1251.h"
#include "util/file_io.h"
#include "util/text_utils.h"

namespace vorlin {

namespace {

constexpr const char* kNamespace = "https://vorlin.org/ns/opml-list";

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// An attribute's value as Windows-1251, found without regard to letter case (files in the wild
// write "xmlurl" as well as "xmlUrl").
std::string Attribute(xmlNode* node, const char* name) {
  for (xmlAttr* a = node->properties; a != nullptr; a = a->next) {
    if (xmlStrcasecmp(a->name, reinterpret_cast<const xmlChar*>(name)) != 0) continue;
    xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return CleanCell(Utf8ToCp1251(text));
  }
  return {};
}

bool Named(xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE &&
         xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

void CollectOutlines(xmlNode* parent, std::vector<DownloadRow>& rows) {
  for (xmlNode* node = parent->children; node != nullptr; node = node->next) {
    if (!Named(node, "outline")) continue;
    DownloadRow row;
    row[kColUrl] = Attribute(node, "xmlUrl");
    if (!row[kColUrl].empty()) {
      row[kColComment] = Attribute(node, "text");
      if (row[kColComment].empty()) row[kColComment] = Attribute(node, "title");
      row[kColStamp] = Attribute(node, "lastDownload");
      row[kColDays] = Attribute(node, "days");
      row[kColHours] = Attribute(node, "hours");
      row[kColMinutes] = Attribute(node, "min");
      if (row[kColDays].empty() && row[kColHours].empty() && row[kColMinutes].empty()) {
        row[kColDays] = "1";
      }
      rows.push_back(std::move(row));
    }
    CollectOutlines(node, rows);
  }
}

void AppendEscaped(std::string& out, std::string_view text) {
  // Control characters have no place in XML 1.0; list cells never hold them.
  std::string kept;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20) kept += c;
  }
  out += EscapeHtml(kept);
}

void AppendAttribute(std::string& out, const char* name, const std::string& value) {
  if (value.empty()) return;
  out += ' ';
  out += name;
  out += "=\"";
  AppendEscaped(out, Cp1251ToUtf8(value));
  out += '"';
}

}  // namespace

std::vector<DownloadRow> ParseOpml(std::string_view bytes, std::string_view fileName) {
  const std::string name = DisplayName(fileName);
  // No network, no external entities, no entity expansion: an OPML file is outside input.
  std::unique_ptr<xmlDoc, DocFree> doc(
      xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!doc) {
    const xmlError* e = xmlGetLastError();
    std::string why = e != nullptr && e->message != nullptr ? e->message : "not XML\n";
    if (!why.empty() && why.back() == '\n') why.pop_back();
    const std::string line = e != nullptr ? std::to_string(e->line) : "?";
    throw Error("Файл " + name + " не является файлом OPML: строка " + line + ": " + why +
                " (The file " + name + " is not an OPML file: line " + line + ": " + why + ")");
  }
  xmlNode* root = xmlDocGetRootElement(doc.get());
  if (root == nullptr || !Named(root, "opml")) {
    const std::string found =
        root != nullptr ? reinterpret_cast<const char*>(root->name) : std::string("none");
    throw Error("Файл " + name + " не является файлом OPML: корневой элемент " + found +
                " (The file " + name + " is not an OPML file: the root element is " + found + ")");
  }
  std::vector<DownloadRow> rows;
  for (xmlNode* node = root->children; node != nullptr; node = node->next) {
    if (Named(node, "body")) CollectOutlines(node, rows);
  }
  return rows;
}

int ImportOpmlRows(DownloadGrid& grid, const std::vector<DownloadRow>& rows) {
  std::set<std::string> listed;
  for (int row = 1; row < grid.RowCount(); ++row) listed.insert(grid.rows[row][kColUrl]);
  int added = 0;
  for (const DownloadRow& row : rows) {
    if (!listed.insert(row[kColUrl]).second) continue;
    grid.rows.push_back(row);
    ++added;
  }
  return added;
}

std::string FormatOpml(const DownloadGrid& grid) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<opml version=\"2.0\" xmlns:vorlin=\"";
  out += kNamespace;
  out +=
      "\">\n"
      "  <head>\n"
      "    <title>Vorlin download list</title>\n"
      "  </head>\n"
      "  <body>\n";
  for (int row = 1; row < grid.RowCount(); ++row) {
    const DownloadRow& cells = grid.rows[row];
    if (cells[kColUrl].empty()) continue;
    out += "    <outline type=\"rss\" text=\"";
    AppendEscaped(out, Cp1251ToUtf8(cells[kColComment]));
    out += '"';
    AppendAttribute(out, "xmlUrl", cells[kColUrl]);
    AppendAttribute(out, "vorlin:days", cells[kColDays]);
    AppendAttribute(out, "vorlin:hours", cells[kColHours]);
    AppendAttribute(out, "vorlin:min", cells[kColMinutes]);
    AppendAttribute(out, "vorlin:lastDownload", cells[kColStamp]);
    out += "/>\n";
  }
  out += "  </body>\n</opml>\n";
  return out;
}

int ImportOpmlFile(std::string_view opmlFile, DownloadGrid& grid) {
  return ImportOpmlRows(grid, ParseOpml(ReadWholeFile(opmlFile), opmlFile));
}

void ExportOpmlFile(const DownloadGrid& grid, std::string_view opmlFile) {
  WriteFileAtomic(opmlFile, FormatOpml(grid));
}

}  // namespace vorlin
