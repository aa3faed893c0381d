// The installed voices (espeak-ng's) as voice tokens with a description and the attributes
// "Name" and "Language"; the language is the hexadecimal code used in voice tags ("419"
// Russian, "409" American English, "809" British English, ...).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

struct VoiceToken {
  std::string name;         // "Russian", "English (America)"
  std::string language;     // espeak-ng's language ("ru", "en-us")
  std::string languageHex;  // "419"; empty when the language has no code
  std::string identifier;   // espeak-ng's voice file ("zle/ru")

  std::string GetDescription() const;  // "Russian (ru)"
  // "Name" or "Language" (case does not matter); empty for any other attribute.
  std::string GetAttribute(std::string_view attribute) const;
};

// The hexadecimal code of an espeak-ng language name, by its longest known prefix
// ("en-gb-scotland" is British English, "809"); empty when unknown.
std::string LanguageHex(std::string_view language);

// The first voice having every required attribute of "Key=Value;Key=Value" (keys and values
// compared without regard to case; an empty list matches the first voice), or -1.
int MatchVoice(const std::vector<VoiceToken>& voices, std::string_view required);

}  // namespace vorlin
