#pragma once

#include "Minisign.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Whether a downloaded program is the one the service signed.
enum class UpdateVerdict {
    Valid,
    NoKey,             // the built-in public key is unreadable
    NoSignature,       // none published, or not a signature at all
    Legacy,            // an old-style signature over the whole file
    OtherKey,          // signed, but not with our key
    BadSignature,      // the bytes are not the ones signed
    BadTrustedComment, // the signed comment was changed
    OtherFile,         // a signature for another file
    WrongSize,         // not as many bytes as were checked before
    NoVersion,         // signed without one version: could be any older release replayed
};

// The name the trusted comment of a release's signature must carry ("file:clikw730exe").
QString SignedFileName();
// The release's version in the trusted comment ("version:3.0.06"); empty unless there is
// exactly one, not empty.
QString SignedVersion(const std::string &trustedComment);

// Feeds a program's bytes in pieces and judges them against the published signature.
class SignedProgramCheck
{
public:
    // publicKey: the key file's text or its base64 line; expectedSize: -1 when not known yet.
    SignedProgramCheck(const QByteArray &publicKey, const QByteArray &signature, qint64 expectedSize = -1);

    void add(const QByteArray &chunk);
    qint64 size() const { return m_size; }
    // Call once, after the last piece.
    UpdateVerdict verdict();
    // The version the signature names; only worth anything after a valid verdict.
    QString version() const;

private:
    std::optional<minisign::PublicKey> m_key;
    std::optional<minisign::Signature> m_signature;
    minisign::Digest m_digest;
    qint64 m_expectedSize;
    qint64 m_size = 0;
};

// Reads the file at path through a check; NoSignature when it cannot be read.
UpdateVerdict CheckSignedFile(const QString &path, SignedProgramCheck &check);
