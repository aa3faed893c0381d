// Text helpers of the feed readers: markup to text, text to HTML, and feed dates in the store's
// RFC 822 form. All texts are UTF-8.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "util/text_utils.h"

namespace vorlin {

// The text an HTML fragment shows: tags dropped (script and style with their content),
// entities turned into characters, runs of white space made one blank, the ends trimmed.
std::string HtmlToText(std::string_view html);

// Runs of white space made one blank, the ends trimmed.
std::string CollapseBlanks(std::string_view text);

// Whether a plain-text field holds markup worth turning to text (a tag or an entity reference).
bool LooksLikeMarkup(std::string_view text);

// A W3C date-time (RFC 3339 and its shorter forms: "2026-12-07T15:30:00+03:00", "...Z",
// "2026-12-07", "2026-12"; fractions of a second dropped) as the store keeps item dates:
// "Mon, 07 Dec 2026 15:30:00 +0300", the time as written with its zone ("Z" is "+0000").
// Text already in that RFC 822 form is kept as it stands. False for anything else.
bool FeedDateToRfc822(std::string_view text, std::string& rfc822);

// A moment in the store's date form, in local time with the local zone.
std::string LocalRfc822(std::time_t when);

}  // namespace vorlin
