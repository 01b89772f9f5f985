#include "driver/run_mode.h"

#include <cstring>
#include <string_view>

#include "location/path_rules.h"

CommandTokens ReadCommandTokens(const char* args) {
  CommandTokens t{false, kSetupModeInteractive};
  t.registration = ContainsNoCase(args, "regtv32") != 0;
  if (!t.registration && ContainsNoCase(args, "settvsrf32")) t.setupMode = kSetupModeSilent;
  return t;
}

RunMode ChooseRunMode(const CommandTokens& tokens, bool windows64) {
  if (windows64 && tokens.registration) return RunMode::Registration;
  if (tokens.setupMode == kSetupModeSilent) return RunMode::Silent;
  return RunMode::Interactive;
}

bool ParseDirectoryArgument(const char* args, char* out, std::size_t cap) {
  static constexpr std::string_view kToken = "regtv32=";
  std::string_view text(args);
  std::size_t i = text.find('r');
  if (i == std::string_view::npos) return false;
  if (text.compare(i, kToken.size(), kToken) != 0) return false;
  std::string_view value = text.substr(i + kToken.size());
  // A value that cannot be stored whole is refused rather than cut: a cut
  // path names some other directory.
  if (!FitsAsInstallDirectory(value, cap)) return false;
  return CopyText(out, cap, value);
}
