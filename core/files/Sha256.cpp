#include "files/Sha256.h"

#include <openssl/evp.h>

namespace tidra {
namespace {

// Fetched once: an implicit fetch per file would take OpenSSL's global locks every time.
const EVP_MD* algorithm() {
    static EVP_MD* const md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    return md;
}

} // namespace

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
    ok_ = context_ && algorithm() && EVP_DigestInit_ex(context_, algorithm(), nullptr) == 1;
}

Sha256::Sha256(const Sha256& other) : context_(EVP_MD_CTX_new()) {
    ok_ = other.ok_ && context_ && EVP_MD_CTX_copy_ex(context_, other.context_) == 1;
}

Sha256::~Sha256() { EVP_MD_CTX_free(context_); }

bool Sha256::feed(const unsigned char* data, std::int64_t size) {
    ok_ = ok_ && EVP_DigestUpdate(context_, data, std::size_t(size)) == 1;
    return ok_;
}

std::optional<std::string> Sha256::hex() {
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!ok_ || EVP_DigestFinal_ex(context_, bytes, &length) != 1) return std::nullopt;
    ok_ = false;
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) text += {digits[bytes[i] >> 4], digits[bytes[i] & 15]};
    return text;
}

} // namespace tidra
