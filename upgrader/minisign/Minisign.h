#pragma once

// The signature format of the minisign tool (Ed25519 over the file's BLAKE2b-512, plus a signed
// trusted comment), on top of libsodium. Plain C++ so the upgrader and the portal share it.

#include <sodium.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace minisign {

using KeyId = std::array<unsigned char, 8>;
using FileDigest = std::array<unsigned char, crypto_generichash_BYTES_MAX>; // BLAKE2b-512

struct PublicKey
{
    KeyId id{};
    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> key{};
};

struct SecretKey
{
    KeyId id{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> key{};
};

struct Signature
{
    bool prehashed = false; // "ED": signs the digest; the legacy "Ed" signed the whole file
    KeyId keyId{};
    std::array<unsigned char, crypto_sign_BYTES> signature{};
    std::string trustedComment;
    std::array<unsigned char, crypto_sign_BYTES> globalSignature{};
};

// The text of a key or signature file (or, for a public key, its base64 line alone).
std::optional<PublicKey> parsePublicKey(const std::string &text);
// Only keys saved without a password.
std::optional<SecretKey> parseSecretKey(const std::string &text);
std::optional<Signature> parseSignature(const std::string &text);

// The digest of a file fed in pieces.
class Digest
{
public:
    Digest();
    void add(const void *data, std::size_t size);
    FileDigest finish();

private:
    crypto_generichash_state m_state;
};

enum class Verdict {
    Valid,
    Legacy,            // a signature over the whole file, not its digest: not accepted
    OtherKey,          // made with another key
    BadSignature,      // the file is not the one signed
    BadTrustedComment, // the comment was changed after signing
    OtherFile,         // the comment names another file
};

// Valid only when the signature is by key, covers digest, and its trusted comment has the field
// "file:" + fileName (fields are separated by tabs, as the tool writes them).
Verdict verify(const PublicKey &key, const Signature &signature, const FileDigest &digest,
               const std::string &fileName);

// The values of the trusted comment's fields "name:value" (fields are separated by tabs), in order.
std::vector<std::string> commentFields(const std::string &comment, const std::string &name);

// A signature file for digest, as the tool writes it.
std::string sign(const SecretKey &key, const FileDigest &digest, const std::string &trustedComment);

} // namespace minisign
