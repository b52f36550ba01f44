#include "Minisign.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace minisign {

namespace {

const std::string untrustedPrefix = "untrusted comment: ";
const std::string trustedPrefix = "trusted comment: ";
constexpr std::size_t secretKeyBytes = 158;

bool ready()
{
    static const bool ok = sodium_init() >= 0;
    return ok;
}

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::optional<std::vector<unsigned char>> fromBase64(const std::string &text, std::size_t expected)
{
    if (!ready())
        return std::nullopt;
    std::vector<unsigned char> bytes(expected);
    std::size_t length = 0;
    const char *end = nullptr;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), " \t", &length, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        length != expected || end != text.data() + text.size())
        return std::nullopt;
    return bytes;
}

std::string toBase64(const unsigned char *data, std::size_t size)
{
    std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), data, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(std::strlen(text.c_str()));
    return text;
}

// The key or signature line: the first line that is not a comment.
std::optional<std::string> payloadLine(const std::vector<std::string> &lines)
{
    for (const std::string &line : lines) {
        if (line.rfind(untrustedPrefix, 0) != 0 && !line.empty())
            return line;
    }
    return std::nullopt;
}

template <std::size_t N>
void copyInto(std::array<unsigned char, N> &target, const std::vector<unsigned char> &source, std::size_t at)
{
    std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(at), N, target.begin());
}

} // namespace

std::optional<PublicKey> parsePublicKey(const std::string &text)
{
    const auto line = payloadLine(linesOf(text));
    const auto bytes = line ? fromBase64(*line, 42) : std::nullopt;
    if (!bytes || (*bytes)[0] != 'E' || (*bytes)[1] != 'd')
        return std::nullopt;
    PublicKey key;
    copyInto(key.id, *bytes, 2);
    copyInto(key.key, *bytes, 10);
    return key;
}

std::optional<SecretKey> parseSecretKey(const std::string &text)
{
    const auto line = payloadLine(linesOf(text));
    const auto bytes = line ? fromBase64(*line, secretKeyBytes) : std::nullopt;
    // Signature "Ed", no key derivation (no password), checksum "B2".
    if (!bytes || std::memcmp(bytes->data(), "Ed\0\0B2", 6) != 0)
        return std::nullopt;
    SecretKey key;
    copyInto(key.id, *bytes, 54);
    copyInto(key.key, *bytes, 62);
    return key;
}

std::optional<Signature> parseSignature(const std::string &text)
{
    const std::vector<std::string> lines = linesOf(text);
    if (lines.size() < 4 || lines[0].rfind(untrustedPrefix, 0) != 0 || lines[2].rfind(trustedPrefix, 0) != 0)
        return std::nullopt;
    const auto head = fromBase64(lines[1], 74);
    const auto global = fromBase64(lines[3], crypto_sign_BYTES);
    if (!head || !global || (*head)[0] != 'E' || ((*head)[1] != 'D' && (*head)[1] != 'd'))
        return std::nullopt;
    Signature signature;
    signature.prehashed = (*head)[1] == 'D';
    copyInto(signature.keyId, *head, 2);
    copyInto(signature.signature, *head, 10);
    signature.trustedComment = lines[2].substr(trustedPrefix.size());
    copyInto(signature.globalSignature, *global, 0);
    return signature;
}

Digest::Digest()
{
    ready();
    crypto_generichash_init(&m_state, nullptr, 0, crypto_generichash_BYTES_MAX);
}

void Digest::add(const void *data, std::size_t size)
{
    crypto_generichash_update(&m_state, static_cast<const unsigned char *>(data), size);
}

FileDigest Digest::finish()
{
    FileDigest digest{};
    crypto_generichash_final(&m_state, digest.data(), digest.size());
    return digest;
}

Verdict verify(const PublicKey &key, const Signature &signature, const FileDigest &digest,
               const std::string &fileName)
{
    if (!signature.prehashed || !ready())
        return Verdict::Legacy;
    if (signature.keyId != key.id)
        return Verdict::OtherKey;
    if (crypto_sign_verify_detached(signature.signature.data(), digest.data(), digest.size(),
                                    key.key.data()) != 0)
        return Verdict::BadSignature;
    std::vector<unsigned char> signedComment(signature.signature.begin(), signature.signature.end());
    signedComment.insert(signedComment.end(), signature.trustedComment.begin(),
                         signature.trustedComment.end());
    if (crypto_sign_verify_detached(signature.globalSignature.data(), signedComment.data(),
                                    signedComment.size(), key.key.data()) != 0)
        return Verdict::BadTrustedComment;
    const std::vector<std::string> files = commentFields(signature.trustedComment, "file");
    return std::find(files.begin(), files.end(), fileName) != files.end() ? Verdict::Valid
                                                                          : Verdict::OtherFile;
}

std::vector<std::string> commentFields(const std::string &comment, const std::string &name)
{
    const std::string wanted = name + ":";
    std::vector<std::string> values;
    std::size_t start = 0;
    while (start <= comment.size()) {
        std::size_t end = comment.find('\t', start);
        if (end == std::string::npos)
            end = comment.size();
        if (comment.compare(start, wanted.size(), wanted) == 0 && end - start >= wanted.size())
            values.push_back(comment.substr(start + wanted.size(), end - start - wanted.size()));
        start = end + 1;
    }
    return values;
}

std::string sign(const SecretKey &key, const FileDigest &digest, const std::string &trustedComment)
{
    ready();
    std::vector<unsigned char> head = {'E', 'D'};
    head.insert(head.end(), key.id.begin(), key.id.end());
    std::array<unsigned char, crypto_sign_BYTES> signature{};
    crypto_sign_detached(signature.data(), nullptr, digest.data(), digest.size(), key.key.data());
    head.insert(head.end(), signature.begin(), signature.end());

    std::vector<unsigned char> signedComment(signature.begin(), signature.end());
    signedComment.insert(signedComment.end(), trustedComment.begin(), trustedComment.end());
    std::array<unsigned char, crypto_sign_BYTES> global{};
    crypto_sign_detached(global.data(), nullptr, signedComment.data(), signedComment.size(), key.key.data());

    return untrustedPrefix + "signature from the update key\n" + toBase64(head.data(), head.size()) + "\n" +
           trustedPrefix + trustedComment + "\n" + toBase64(global.data(), global.size()) + "\n";
}

} // namespace minisign
