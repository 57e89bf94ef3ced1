#include "database/password.h"

#include <algorithm>
#include <atomic>

#include "database/md5_digest.h"

namespace database {
namespace {

std::atomic<PasswordPrompt*> prompt{nullptr};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string PasswordDigest(std::string_view password) {
  const std::array<uint8_t, 16> digest = Md5Digest(password);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (uint8_t byte : digest) {
    text.push_back(kHex[byte >> 4]);
    text.push_back(kHex[byte & 15]);
  }
  for (size_t i = 0; i + 1 < text.size(); i += 2) std::swap(text[i], text[i + 1]);
  std::reverse(text.begin(), text.end());
  return text;
}

bool PasswordMatches(std::string_view password, std::string_view stored_digest) {
  const std::string digest = PasswordDigest(password);
  if (stored_digest.size() < digest.size()) return false;
  for (size_t i = 0; i < digest.size(); ++i) {
    if (Lower(digest[i]) != Lower(stored_digest[i])) return false;
  }
  return true;
}

void SetPasswordPrompt(PasswordPrompt* new_prompt) { prompt.store(new_prompt); }
PasswordPrompt* CurrentPasswordPrompt() { return prompt.load(); }

}  // namespace database
