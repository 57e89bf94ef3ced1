#include <windows.h>
// After windows.h, whose types it uses.
#include <bcrypt.h>

#include "database/md5_digest.h"

namespace database {

std::array<uint8_t, 16> Md5Digest(std::string_view bytes) {
  std::array<uint8_t, 16> digest{};
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  // The digest of a password is computed on every open of a protected file only: opening the
  // provider each time keeps no state between threads.
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0) == 0) {
    if (BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0) {
      BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                     static_cast<ULONG>(bytes.size()), 0);
      BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
      BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(algorithm, 0);
  }
  return digest;
}

}  // namespace database
