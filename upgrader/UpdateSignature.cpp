#include "UpdateSignature.h"

#include <QFile>

QString SignedFileName()
{
    return QStringLiteral("clikw730exe");
}

QString SignedVersion(const std::string &trustedComment)
{
    const std::vector<std::string> versions = minisign::commentFields(trustedComment, "version");
    return versions.size() == 1 ? QString::fromStdString(versions.front()) : QString();
}

SignedProgramCheck::SignedProgramCheck(const QByteArray &publicKey, const QByteArray &signature,
                                       qint64 expectedSize)
    : m_key(minisign::parsePublicKey(publicKey.toStdString()))
    , m_signature(minisign::parseSignature(signature.toStdString()))
    , m_expectedSize(expectedSize)
{}

void SignedProgramCheck::add(const QByteArray &chunk)
{
    m_digest.add(chunk.constData(), size_t(chunk.size()));
    m_size += chunk.size();
}

UpdateVerdict SignedProgramCheck::verdict()
{
    const minisign::FileDigest digest = m_digest.finish();
    if (!m_key)
        return UpdateVerdict::NoKey;
    if (!m_signature)
        return UpdateVerdict::NoSignature;
    if (m_expectedSize >= 0 && m_size != m_expectedSize)
        return UpdateVerdict::WrongSize;
    switch (minisign::verify(*m_key, *m_signature, digest, SignedFileName().toStdString())) {
    case minisign::Verdict::Valid:
        return version().isEmpty() ? UpdateVerdict::NoVersion : UpdateVerdict::Valid;
    case minisign::Verdict::Legacy:
        return UpdateVerdict::Legacy;
    case minisign::Verdict::OtherKey:
        return UpdateVerdict::OtherKey;
    case minisign::Verdict::BadSignature:
        return UpdateVerdict::BadSignature;
    case minisign::Verdict::BadTrustedComment:
        return UpdateVerdict::BadTrustedComment;
    case minisign::Verdict::OtherFile:
        return UpdateVerdict::OtherFile;
    }
    return UpdateVerdict::BadSignature;
}

QString SignedProgramCheck::version() const
{
    return m_signature ? SignedVersion(m_signature->trustedComment) : QString();
}

UpdateVerdict CheckSignedFile(const QString &path, SignedProgramCheck &check)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return UpdateVerdict::NoSignature;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty())
            return UpdateVerdict::NoSignature;
        check.add(chunk);
    }
    return check.verdict();
}
