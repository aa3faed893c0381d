#include "speech/speech_voices.h"

#include <utility>

#include "util/cp1251.h"

namespace vorlin {

namespace {

// espeak-ng languages and the hexadecimal codes of voice tags. Regional voices not listed
// take the code of their language (the longest listed prefix).
const std::pair<const char*, const char*> kLanguageCodes[] = {
    {"af", "436"},      {"am", "45E"},    {"ar", "401"},      {"as", "44D"},    {"az", "42C"},
    {"be", "423"},      {"bg", "402"},    {"bn", "445"},      {"bs", "141A"},   {"ca", "403"},
    {"cmn", "804"},     {"cs", "405"},    {"cy", "452"},      {"da", "406"},    {"de", "407"},
    {"el", "408"},      {"en", "809"},    {"en-029", "2409"}, {"en-us", "409"}, {"es", "C0A"},
    {"es-419", "580A"}, {"et", "425"},    {"eu", "42D"},      {"fa", "429"},    {"fi", "40B"},
    {"fr", "40C"},      {"fr-be", "80C"}, {"fr-ch", "100C"},  {"ga", "83C"},    {"gd", "491"},
    {"gu", "447"},      {"he", "40D"},    {"hi", "439"},      {"hr", "41A"},    {"hu", "40E"},
    {"hy", "42B"},      {"id", "421"},    {"is", "40F"},      {"it", "410"},    {"ja", "411"},
    {"ka", "437"},      {"kk", "43F"},    {"kn", "44B"},      {"ko", "412"},    {"ky", "440"},
    {"lt", "427"},      {"lv", "426"},    {"mk", "42F"},      {"ml", "44C"},    {"mr", "44E"},
    {"ms", "43E"},      {"mt", "43A"},    {"my", "455"},      {"nb", "414"},    {"ne", "461"},
    {"nl", "413"},      {"or", "448"},    {"pa", "446"},      {"pl", "415"},    {"pt", "816"},
    {"pt-br", "416"},   {"ro", "418"},    {"ru", "419"},      {"si", "45B"},    {"sk", "41B"},
    {"sl", "424"},      {"sq", "41C"},    {"sr", "81A"},      {"sv", "41D"},    {"sw", "441"},
    {"ta", "449"},      {"te", "44A"},    {"tr", "41F"},      {"tt", "444"},    {"uk", "422"},
    {"ur", "420"},      {"vi", "42A"},    {"yue", "C04"},
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::string VoiceToken::GetDescription() const { return name + " (" + language + ")"; }

std::string VoiceToken::GetAttribute(std::string_view attribute) const {
  if (EqualNoCase(attribute, "Name")) return name;
  if (EqualNoCase(attribute, "Language")) return languageHex;
  return {};
}

std::string LanguageHex(std::string_view language) {
  std::string best;
  size_t bestLength = 0;
  for (const auto& [prefix, code] : kLanguageCodes) {
    const std::string_view p(prefix);
    const bool matches = language.substr(0, p.size()) == p &&
                         (language.size() == p.size() || language[p.size()] == '-');
    if (matches && p.size() > bestLength) best = code, bestLength = p.size();
  }
  return best;
}

int MatchVoice(const std::vector<VoiceToken>& voices, std::string_view required) {
  std::vector<std::pair<std::string_view, std::string_view>> wanted;
  while (!required.empty()) {
    const size_t semicolon = required.find(';');
    const std::string_view item = required.substr(0, semicolon);
    required = semicolon == std::string_view::npos ? "" : required.substr(semicolon + 1);
    if (Trim(item).empty()) continue;
    const size_t eq = item.find('=');
    wanted.emplace_back(Trim(item.substr(0, eq)),
                        eq == std::string_view::npos ? "" : Trim(item.substr(eq + 1)));
  }
  for (size_t v = 0; v < voices.size(); ++v) {
    bool all = true;
    for (const auto& [key, value] : wanted) {
      all = all && EqualNoCase(voices[v].GetAttribute(key), value);
    }
    if (all) return static_cast<int>(v);
  }
  return -1;
}

}  // namespace vorlin
