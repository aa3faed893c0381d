// The text of a feed URL in its three forms: as the user types it (UTF-8), as the download list
// keeps it (Windows-1251) and as it goes out to the server (ASCII only).
#pragma once

#include <string>
#include <string_view>

namespace vorlin {

// A typed or dropped URL (UTF-8) as a download list cell: every character Windows-1251 holds
// stays as it is, every other one (and every byte of a malformed sequence) is written as its
// UTF-8 bytes percent-encoded, so nothing is lost and nothing turns into "?".
std::string UrlCellFromTyped(std::string_view utf8);

// The URL that goes out for a list cell (Windows-1251): a host with characters beyond ASCII in
// its IDNA (punycode) form, every other byte beyond ASCII, blank or control character
// percent-encoded as UTF-8; percent escapes already in the text are kept. Returns false with
// `error` (UTF-8) set when the host is not a valid internationalised name.
bool RequestUrl(std::string_view cell, std::string& out, std::string& error);

// The host name of a URL in upper case, to count the transfers per host.
std::string UrlHost(std::string_view cell);

}  // namespace vorlin
