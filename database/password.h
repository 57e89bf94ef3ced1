#pragma once

#include <optional>
#include <string>
#include <string_view>

// The access password of a protected ("WCDB") database. The header stores a 32-character
// digest: the MD5 digest of the password's bytes as 32 hex characters, each pair of
// characters swapped (0 and 1, 2 and 3, …), then the 32 characters reversed. A password is
// accepted when its digest equals the stored one without regard to letter case.

namespace database {

std::string PasswordDigest(std::string_view password);
bool PasswordMatches(std::string_view password, std::string_view stored_digest);

// Asks the user for a database's password (the engine shows no window itself; the GUI
// installs an implementation). `message` is empty at the first asking and says how many
// attempts are left after a wrong entry (GBK). Returns nothing when the user cancels.
class PasswordPrompt {
 public:
  virtual ~PasswordPrompt() = default;
  virtual std::optional<std::string> Ask(std::string_view message) = 0;
};

// The prompt used for the password "?"; null (the default) behaves as a cancelled prompt.
// The engine does not own it.
void SetPasswordPrompt(PasswordPrompt* prompt);
PasswordPrompt* CurrentPasswordPrompt();

}  // namespace database
