// The program's standard error report: a failure that no handler mends ends the operation
// and its message is shown in an error box.
#pragma once

#include <QString>
#include <functional>

namespace vorlin {

// Shows `message` (what failed, which file and why) with its Russian half (BilingualError) in
// a modal error box, or hands that text to the sink installed below.
void ReportError(const QString& message);

// Replaces the error box, for tests that run without anyone to close it; an empty function
// restores the box.
void SetErrorSink(std::function<void(const QString&)> sink);

}  // namespace vorlin
