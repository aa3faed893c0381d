// What HTML written by a feed may do in a file this program writes: the one place that decides.
//
// A description is parsed with libxml2's HTML parser and walked against an allowlist: text
// formatting, paragraphs, headings, lists, tables, quotes, pre and code, links, pictures, figures,
// line breaks and rules stay; script and style go with their content, as do frames, objects,
// embeds, applets, forms and their controls, meta, link, base, svg and math; any other element is
// unwrapped and keeps its text. Attributes other than href, src, alt, title, width, height,
// colspan, rowspan, align, lang, dir and cite go (event handlers and style among them); an
// address in href, src or cite stays only when it is http, https, ftp, mailto or relative.
#pragma once

#include <string>
#include <string_view>

#include "util/text_utils.h"

namespace vorlin {

// The description to write (Windows-1251 in and out): the text itself, byte for byte, when
// nothing in it has to go, else the allowed part of its tree, serialised. Markup the parser had to
// repair in a way a browser may read differently counts as something to go.
std::string SanitizeHtml(std::string_view html);

// The document (or description) without its script and style elements and their content, for
// showing it as text; byte for byte when it has none, or when it names neither "<script" nor
// "<style" at all.
std::string WithoutScripts(std::string_view html);

// True for an address with the scheme http, https, ftp or mailto, judged as a browser reads it
// (entities decoded, white space and control characters removed, letter case aside). With
// `relativeAllowed` an address without a scheme is allowed too.
bool IsSafeUrl(std::string_view url, bool relativeAllowed);

}  // namespace vorlin
