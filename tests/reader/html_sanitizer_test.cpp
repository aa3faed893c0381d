// Hostile feeds in exported HTML: the description sanitiser and the escaped text fields.
#include "reader/html_sanitizer.h"

#include <gtest/gtest.h>

#include "reader/export.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

TEST(HtmlSanitizer, HostileDescriptionsComeOutInert) {
  // Each with what stays of it.
  const std::pair<const char*, const char*> cases[] = {
      {"<ScRiPt>alert(1)</sCrIpT>kept", "<p>kept</p>"},  // text after the head gets a <p>
      {"<img src=x.png OnError=alert(1)>", "<img src=\"x.png\">"},
      {"<img/onerror=alert(1) src=x>", "<img src=\"x\">"},
      {"<body onload=alert(1)>kept", "kept"},
      {"<p>kept</p><body onload=alert(1)>", "<p>kept</p>"},
      {"<iframe srcdoc=\"<script>alert(1)</script>\"></iframe>kept", "kept"},
      {"<a href=\"x\" \"\" onmouseover=\"alert(1)\">kept</a>", "<a href=\"x\">kept</a>"},
      {"<a href=\"JaVa&#x09;ScRiPt:alert(1)\">kept</a>", "<a>kept</a>"},
      {"<a href=\"&#106avascript:alert(1)\">kept</a>", "<a>kept</a>"},
      {"<a href=javascript&colon;alert(1)>kept</a>", "<a>kept</a>"},
      {"<a href=\" vbscript:msgbox(1)\">kept</a>", "<a>kept</a>"},
      {"<img src=\"data:text/html,<script>alert(1)</script>\">", "<img>"},
      {"<form action=\"http://x\"><input type=password name=p></form>kept", "kept"},
      {"<base href=x><meta http-equiv=refresh content=0>kept", "<p>kept</p>"},
      {"<object data=x><param name=a></object><embed src=x><applet>a</applet>kept", "kept"},
      {"<svg><script>a</script></svg><math><mi xlink:href=javascript:1>m</mi></math>k", "k"},
      {"<style>p{}</style><link rel=stylesheet href=x><p style=color:red class=c>k</p>",
       "<p>k</p>"},
      {"<xmp><p title=\"</xmp><img src=x onerror=alert(1)>\"></xmp>",
       "<p title=\"&lt;/xmp&gt;&lt;img src=x onerror=alert(1)&gt;\"></p>"},
      {"<!--[if IE]><script>alert(1)</script><![endif]--><blink>kept</blink>", "kept"},
  };
  for (const auto& [hostile, expected] : cases)
    EXPECT_EQ(SanitizeHtml(hostile), expected) << hostile;
  // The parser would stop at a NUL byte; a browser reads on.
  const std::string withNul("<b>kept</b>\0<script>alert(1)</script>", 38);
  EXPECT_EQ(SanitizeHtml(withNul), "<b>kept</b>");
}

TEST(HtmlSanitizer, HarmlessHtmlComesOutByteForByte) {
  for (const char* harmless :
       {"", "plain text", "AT&T <b>bold</b> &amp; &nbsp;&laquo;q&raquo;",
        "<P ALIGN=center>Unquoted <i>and</i> upper case<p>unclosed</b>",
        "<figure><img src=\"a.jpg\" alt=\"x\" width=10><figcaption>c</figcaption></figure>",
        "<table><tr><td colspan=2>1</td></tr></table><ul><li>a<li>b</ul><br/><hr>",
        "<a href=\"https://x.org/a?b=1&c=2\" title=t>l</a> <a href=\"mailto:a@b\">m</a> "
        "<a href=\"../rel.html#f\">r</a> <img src=\"ftp://h/p.gif\">",
        "<blockquote cite=\"http://q\"><pre><code>x &lt; y</code></pre></blockquote>"}) {
    const std::string in = W(harmless);
    EXPECT_EQ(SanitizeHtml(in), in) << harmless;
  }
  // Cyrillic survives the round trip through the tree; characters the code page lacks become
  // numeric references.
  EXPECT_EQ(Cp1251ToUtf8(SanitizeHtml(W("<p onclick=x>Мир &#8364; &#233;</p>"))),
            "<p>Мир € &#233;</p>");
}

TEST(HtmlSanitizer, TextOfADocumentHasNoScriptOrStyle) {
  const std::string page =
      "<HTML><HEAD></HEAD><BODY background=\"b.jpg\"><p>T</p>a<SCRIPT>if (a<b) "
      "say('<p>x</p>')</SCRIPT>b<style>p { color: red }</style>c</BODY></HTML>";
  EXPECT_EQ(WithoutScripts(page),
            "<html><head></head><body background=\"b.jpg\"><p>T</p>abc</body></html>");
  const std::string plain = "<HTML><HEAD></HEAD><BODY><p>T</p>a <i>description</i></BODY></HTML>";
  EXPECT_EQ(WithoutScripts(plain), plain);
  // A description stays a part of a page.
  EXPECT_EQ(WithoutScripts("<i>a</i><!--c--><Script>x()</Script>b"), "<i>a</i><!--c-->b");
}

TEST(HtmlSanitizer, ExportEscapesTextFieldsAndLinksOnlyWebAddresses) {
  const std::string page = ExportHtml({"<script>x</script>", "<img src=x onerror=y>",
                                       "http://x/\"onmouseover=\"y", "<p>d</p>", "<b>"});
  EXPECT_EQ(page.substr(page.find("<title>")),
            "<title>&lt;img src=x onerror=y&gt;</title>&lt;script&gt;x&lt;/script&gt;</HEAD><BODY>"
            "<p>&lt;img src=x onerror=y&gt;</p><p>d</p><p> (Date):  &lt;b&gt;</p><p> (<a href=\""
            "http://x/&quot;onmouseover=&quot;y\">Link</a>):  http://x/&quot;onmouseover=&quot;y"
            "</p></BODY></HTML>\r\n");
  const char* links[] = {"https://x",           "FTP://x",
                         "mailto:a@b",  // the first three are linked
                         "javascript:alert(1)", " JAVASCRIPT:alert(1)",
                         "data:text/html,x",    "file:///etc/passwd",
                         "relative.html"};
  for (int i = 0; i < 8; ++i) {
    const std::string html = ExportHtml({"c", "t", links[i], "d", "p"});
    EXPECT_EQ(html.find("<a href=") != std::string::npos, i < 3) << links[i];
  }
}

}  // namespace
}  // namespace vorlin
