// What the window shows of the core's texts. The core speaks English in its errors (both the
// window and the command-line tool give them their Russian, util/bilingual_error.h) and keeps
// the documented status texts; the window gives each its other half.
#pragma once

#include <QString>

namespace vorlin {

// An error message of the core (English, UTF-8): a Russian sentence saying what failed and
// on what, then the message itself in parentheses on a line of its own. A message that
// already holds Russian is returned as it is.
QString BilingualError(const QString& message);

// A status text of the core with the half it lacks: the Russian progress and result texts get
// their English, the few English ones their Russian. Other texts are returned as they are.
QString BilingualStatus(const QString& text);

}  // namespace vorlin
