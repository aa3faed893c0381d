// The store file: a flat sequence of item blocks, each field a CDATA section, lines ended by
// CR LF. It has no header or root element; readers wrap it before parsing:
//
//   <item>
//   <titleRss><![CDATA[channel title]]></titleRss>
//   <title><![CDATA[title]]></title>
//   <link><![CDATA[link]]></link>
//   <description><![CDATA[description]]></description>
//   <pubDate><![CDATA[publication date]]></pubDate>
//   </item>
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "store/message_list.h"

namespace vorlin {

// The fixed text of a block around its five values, as this program writes it.
inline constexpr std::string_view kBlockOpen = "<item>\r\n<titleRss><![CDATA[";
inline constexpr std::array<std::string_view, kFieldCount> kBlockAfter = {
    "]]></titleRss>\r\n<title><![CDATA[", "]]></title>\r\n<link><![CDATA[",
    "]]></link>\r\n<description><![CDATA[", "]]></description>\r\n<pubDate><![CDATA[",
    "]]></pubDate>\r\n</item>\r\n"};

inline constexpr std::string_view kWrapHeader =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?><rss><channel>";
inline constexpr std::string_view kWrapFooter = "</channel></rss>";

// Appends one item block. With `escape`, every "]]>" in the values becomes "&#093;&#093;>"
// (values from feeds and exports); values from the message list are written as they are.
void WriteItemBlock(std::string& out, const MessageValues& values, bool escape);

// Turns every CR LF and lone CR into LF, as the XML parser reads line ends: a value written to
// the store comes back from a load in this form.
void NormaliseLineEndsToLf(std::string& text);

// Appends message `i` of `list` as an item block the way the store's line list writes it (every
// line break in a value as CR LF), with every "]]>" escaped when `escape` is set: the same bytes
// as NormaliseLineBreaks over WriteItemBlock of the message, without copying its values.
void AppendStoreBlock(std::string& out, const MessageList& list, int i, bool escape);

// The text as the store's line list writes it: every line break (CR LF, a lone CR or a lone
// LF) as CR LF, and a CR LF after the last line.
std::string NormaliseLineBreaks(std::string_view text);

// Header + store bytes + footer: one XML document.
std::string WrapForParsing(std::string_view storeBytes);

}  // namespace vorlin
