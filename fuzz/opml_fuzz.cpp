// Reading an OPML file never crashes, and the rows it gives come back the same through an
// export and a second import.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "download/opml.h"
#include "util/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<vorlin::DownloadRow> rows;
  try {
    rows = vorlin::ParseOpml(text, "fuzz.opml");
  } catch (const vorlin::Error&) {
    return 0;
  }
  vorlin::DownloadGrid grid;
  vorlin::SetDownloadGridHeaders(grid);
  vorlin::ImportOpmlRows(grid, rows);
  vorlin::DownloadGrid again;
  vorlin::SetDownloadGridHeaders(again);
  vorlin::ImportOpmlRows(again, vorlin::ParseOpml(vorlin::FormatOpml(grid), "export.opml"));
  if (again.rows != grid.rows) std::abort();
  return 0;
}
