#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct evp_md_ctx_st;

namespace tidra {

// A running SHA-256 (OpenSSL EVP, which uses the CPU's SHA instructions where present).
// Copyable, so that files found equal up to a point can go on from one shared state.
class Sha256 {
public:
    Sha256();
    Sha256(const Sha256& other);
    Sha256& operator=(const Sha256&) = delete;
    ~Sha256();

    // False when the library failed; the digest is then worthless.
    bool feed(const unsigned char* data, std::int64_t size);
    // 64 lower-case hexadecimal digits; nothing when the library failed. Ends the computation.
    std::optional<std::string> hex();

private:
    evp_md_ctx_st* context_;
    bool ok_;
};

} // namespace tidra
