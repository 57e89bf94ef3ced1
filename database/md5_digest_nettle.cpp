#include <nettle/md5.h>

#include "database/md5_digest.h"

namespace database {

std::array<uint8_t, 16> Md5Digest(std::string_view bytes) {
  md5_ctx context;
  md5_init(&context);
  md5_update(&context, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
  std::array<uint8_t, 16> digest;
  md5_digest(&context, MD5_DIGEST_SIZE, digest.data());
  return digest;
}

}  // namespace database
