// opml-import and opml-export: the download list and OPML 2.0 files.
#include <cstdio>

#include "cli/cli_common.h"
#include "download/download_list_merge.h"
#include "download/opml.h"
#include "util/file_io.h"

namespace vorlin::cli {
namespace {

int OpmlImport(Context&, const std::vector<std::string>& args) {
  if (args.size() != 2) throw UsageError{"wrong number of arguments"};
  const std::string list = Arg(args[1]);
  DownloadGrid grid;
  if (FileExists(list)) LoadGridFromFile(list, grid);
  SetDownloadGridHeaders(grid);
  std::vector<DownloadRow> base = grid.rows;
  const int added = ImportOpmlFile(Arg(args[0]), grid);
  // A window or a download may rewrite the list meanwhile; the rows are merged under its lock.
  SaveGridMerged(list, grid, base);
  std::printf("%d\n", added);
  return 0;
}

int OpmlExport(Context&, const std::vector<std::string>& args) {
  if (args.size() != 2) throw UsageError{"wrong number of arguments"};
  DownloadGrid grid;
  LoadGridFromFile(Arg(args[0]), grid);
  ExportOpmlFile(grid, Arg(args[1]));
  return 0;
}

}  // namespace

void AddOpmlCommands(std::vector<Command>& commands) {
  commands.push_back({"opml-import", "opml-import OPML LIST",
                      "add the feeds of an OPML file not yet in the download list LIST; print "
                      "the number added",
                      &OpmlImport});
  commands.push_back({"opml-export", "opml-export LIST OPML",
                      "write the download list LIST as an OPML 2.0 file", &OpmlExport});
}

}  // namespace vorlin::cli
