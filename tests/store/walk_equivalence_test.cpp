// The streaming walk and the fast path must give exactly the messages of the plain document
// walk, on stores as this program writes them and on stores edited by hand in every odd way;
// the fast path may only decline, and must decline whatever the document walk rejects.
#include <gtest/gtest.h>

#include <random>

#include "store/crc32.h"
#include "store/store_format.h"
#include "store/store_scan.h"
#include "store/store_walk.h"
#include "tree_walk_reference.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

std::optional<std::vector<MessageValues>> StreamWalk(const std::string& store, unsigned required,
                                                     size_t chunk) {
  std::vector<MessageValues> items;
  try {
    StoreWalk walk(
        required, [&](MessageValues& v) { items.push_back(v); }, "store");
    for (size_t at = 0; at < store.size(); at += chunk) {
      walk.Feed(std::string_view(store).substr(at, chunk));
    }
    walk.Finish();
  } catch (const Error&) {
    return std::nullopt;
  }
  return items;
}

// The fast path fed in blocks of `block` bytes, trying a split between two threads on every
// buffer when `split`; nullopt when it declines the store.
std::optional<std::vector<MessageValues>> FastWalk(const std::string& store, size_t block,
                                                   bool split, std::vector<DescriptionSum>& sums) {
  const ScanOptions options{block, split ? 0 : SIZE_MAX, block};
  MessageList list;
  if (!ScanStoreText(store, list, options)) {
    EXPECT_FALSE(ScanStoreTextDescriptions(store, sums, options));
    return std::nullopt;
  }
  EXPECT_TRUE(ScanStoreTextDescriptions(store, sums, options));
  std::vector<MessageValues> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

// `canonical`: the store is as this program writes it, so the fast path must take it.
void ExpectSameWalk(const std::string& store, const std::string& label, bool canonical = false) {
  const auto tree = test::TreeWalk(store, kAllFields);
  for (auto [block, split] :
       {std::pair{size_t{1} << 20, false}, std::pair{size_t{4096}, true},
        std::pair{size_t{61}, true}, std::pair{size_t{7}, true}, std::pair{size_t{1}, true}}) {
    std::vector<DescriptionSum> sums;
    const auto fast = FastWalk(store, block, split, sums);
    ASSERT_TRUE(fast.has_value() || !canonical) << label << " declined, block " << block;
    if (!fast) continue;
    ASSERT_TRUE(tree.has_value()) << label << " accepted by the fast path only, block " << block;
    ASSERT_EQ(*tree, *fast) << label << " block " << block;
    ASSERT_EQ(sums.size(), fast->size());
    for (size_t i = 0; i < sums.size(); ++i) {
      ASSERT_EQ(MakeKey(sums[i].first, sums[i].second), MessageKey((*tree)[i][kDescription]));
    }
  }
  for (unsigned required : {kAllFields, kIndexFields}) {
    auto tree = test::TreeWalk(store, required);
    for (size_t chunk :
         {size_t{1} << 20, size_t{4096}, size_t{61}, size_t{7}, size_t{3}, size_t{1}}) {
      if (chunk == 1 && store.size() > 4000) continue;
      auto stream = StreamWalk(store, required, chunk);
      ASSERT_EQ(tree.has_value(), stream.has_value())
          << label << " chunk " << chunk << " well-formed per tree: " << tree.has_value();
      if (tree) {
        ASSERT_EQ(*tree, *stream) << label << " chunk " << chunk;
      }
    }
  }
}

TEST(WalkEquivalence, HandPickedShapes) {
  const char* cases[] = {
      "",
      // Whitespace-only text vanishes; an element left without children is an empty leaf.
      "<item>\r\n <titleRss> </titleRss><title><b> </b></title><link><![CDATA[ ]]></link>"
      "<description>\n<![CDATA[d]]>\n</description><pubDate>  p  </pubDate></item>",
      // Entities and character references in text; none inside CDATA.
      "<item><titleRss>a&amp;b&lt;&gt;&quot;&apos;</titleRss><title>&#1071;&#x44F;&#233;</title>"
      "<link><![CDATA[&amp;]]></link><description>x&#10;y</description><pubDate>p</pubDate>"
      "</item>",
      // Case of tag names matters; attributes do not.
      "<item a=\"1\"><TitleRss>c</TitleRss><titleRss x='y'>c</titleRss><title>t</title>"
      "<link>l</link><description>d</description><pubDate>p</pubDate></item>",
      // Malformed.
      "<item><title>t</item>",
      "<item>&nbsp;</item>",
      "<?xml version=\"1.0\"?><item/>",
      "</channel><item/>",
  };
  int n = 0;
  for (const char* c : cases) ExpectSameWalk(c, "case " + std::to_string(n++));
}

// Random stores built from the pieces that matter to the walk: adjacent CDATA, nesting, fields
// outside items or split over two, loose text; the shapes above are those they never build.
class RandomStore {
 public:
  explicit RandomStore(unsigned seed) : rng_(seed) {}

  std::string Make() {
    std::string out;
    int items = Pick(0, 12);
    for (int i = 0; i < items; ++i) {
      if (Chance(10)) out += Noise(2);
      if (Chance(85)) {
        out += Item();
      } else {
        out += Element(2);
      }
      if (Chance(50)) out += "\r\n";
    }
    if (Chance(5)) out = out.substr(0, static_cast<size_t>(Pick(0, static_cast<int>(out.size()))));
    return out;
  }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(int percent) { return Pick(1, 100) <= percent; }

  std::string Text() {
    static const char* pieces[] = {
        "a",      "Zz",       " ",        "\r\n",     "\t",     "&amp;", "&lt;",     "&#1103;",
        "&#xE9;", "\xC0\xFF", "\xE0\xE1", "\xA8\xB8", "]]&gt;", "q\r",   "\x85\x96", "  x  "};
    std::string out;
    int n = Pick(0, 4);
    for (int i = 0; i < n; ++i) out += pieces[Pick(0, 15)];
    return out;
  }

  std::string CData() {
    static const char* pieces[] = {"",     "x", "<b>&amp;</b>", "]]",           "]", ">",
                                   "\r\n", " ", "\xCF\xF0\xE8", "&#093;&#093;>"};
    std::string out = "<![CDATA[";
    int n = Pick(0, 3);
    for (int i = 0; i < n; ++i) out += pieces[Pick(0, 9)];
    if (Chance(3)) out += std::string(Pick(300, 5000), 'L');
    return out + "]]>";
  }

  std::string Noise(int depth) {
    switch (Pick(0, 5)) {
      case 0:
        return "<!--" + std::string(Chance(50) ? "c" : "") + "-->";
      case 1:
        return "<?pi " + std::string(Chance(50) ? "v" : "") + "?>";
      case 2:
        return CData();
      case 3:
        return depth < 6 ? Element(depth) : "";
      default:
        return Text();
    }
  }

  std::string Content(int depth) {
    std::string out;
    int n = Pick(0, 3);
    for (int i = 0; i < n; ++i) out += Chance(60) ? (Chance(50) ? CData() : Text()) : Noise(depth);
    return out;
  }

  std::string Element(int depth) {
    static const char* names[] = {"titleRss", "title", "link", "description", "pubDate",
                                  "item",     "guid",  "b",    "Title"};
    std::string name = names[Pick(0, 8)];
    if (Chance(15)) return "<" + name + "/>";
    return "<" + name + ">" + Content(depth + 1) + "</" + name + ">";
  }

  std::string Item() {
    static const char* fields[] = {"titleRss", "title", "link", "description", "pubDate"};
    std::string out = "<item>";
    if (Chance(20)) out += "\r\n";
    for (int f = 0; f < 5; ++f) {
      if (Chance(8)) continue;
      if (Chance(8)) out += Noise(3);
      std::string name = fields[Chance(10) ? Pick(0, 4) : f];
      out += "<" + name + ">" + (Chance(70) ? CData() : Content(4)) + "</" + name + ">";
      if (Chance(60)) out += "\r\n";
    }
    if (Chance(10)) out += Noise(3);
    return out + "</item>";
  }

  std::mt19937 rng_;
};

TEST(WalkEquivalence, RandomStores) {
  for (unsigned seed = 1; seed <= 2000; ++seed) {
    ExpectSameWalk(RandomStore(seed).Make(), "seed " + std::to_string(seed));
    if (HasFatalFailure()) return;
  }
}

// Stores as this program writes them, with values full of what a reader can get wrong: line
// ends of every kind, brackets, the bytes of block boundaries, every byte the code page has.
// Returns whether the store stayed canonical: now and then a value gets a byte that XML
// forbids, or one edit spoils the shape.
bool CanonicalStore(std::mt19937& rng, std::string& out) {
  static const std::string edges[] = {"<item>\r\n<titleRss><![CDATA[",
                                      "]]></pubDate>\r\n</item>\r\n<item>\r\n"};
  static const char* const pieces[] = {
      "a", "\xC0\xFF\xE0", "\r\n", "\n", "\r",    "\t",
      "]", "]]",           ">",    " ",  "&amp;", "\x7F\x80\x97\x98\x99"};
  static const std::string forbidden[] = {std::string(1, '\0'), "\x01", "\x02", "\x1F", "\x0B"};
  bool canonical = true;
  out.clear();
  for (int items = static_cast<int>(rng() % 8); items > 0; --items) {
    MessageValues values;
    for (std::string& v : values) {
      for (int n = static_cast<int>(rng() % 5); n > 0; --n)
        v += rng() % 7 == 0 ? edges[rng() % 2] : pieces[rng() % 12];
      if (rng() % 40 == 0) v += std::string(rng() % 5000, static_cast<char>(0xC0 + rng() % 64));
      if (rng() % 150 == 0) {
        v += forbidden[rng() % 5];
        canonical = false;
      }
    }
    WriteItemBlock(out, values, true);
  }
  if (!out.empty() && rng() % 4 == 0) {
    static const char spoilers[] = "<>]![-x\r\n \x98";
    const size_t at = rng() % out.size();
    switch (rng() % 4) {
      case 0:
        out.erase(at, 1);
        break;
      case 1:
        out.insert(at, 1, spoilers[rng() % (sizeof spoilers - 1)]);
        break;
      case 2:
        out.resize(at);
        break;
      default:
        out[at] = spoilers[rng() % (sizeof spoilers - 1)];
    }
    canonical = false;
  }
  return canonical;
}

TEST(WalkEquivalence, CanonicalStoresAndNearMisses) {
  std::mt19937 rng(11);
  std::string store;
  for (int n = 0; n < 1500; ++n) {
    const bool canonical = CanonicalStore(rng, store);
    ExpectSameWalk(store, "canonical " + std::to_string(n), canonical);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace vorlin
