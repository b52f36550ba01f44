// The update signature check on its own: which signatures a downloaded program passes with.
#include "UpdateSignature.h"

#include <QFile>
#include <QTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

minisign::FileDigest digestOf(const QByteArray &bytes)
{
    minisign::Digest digest;
    digest.add(bytes.constData(), size_t(bytes.size()));
    return digest.finish();
}

} // namespace

Q_DECLARE_METATYPE(UpdateVerdict)

class TestUpdateSignature : public QObject
{
    Q_OBJECT
private slots:
    void verdict_data();
    void verdict();
};

void TestUpdateSignature::verdict_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QList<QByteArray>>("pieces"); // the program as it arrives
    QTest::addColumn<qint64>("expectedSize");
    QTest::addColumn<UpdateVerdict>("verdict");
    QTest::addColumn<QString>("version");

    const QByteArray publicKey =
        readAll(QStringLiteral(SORVANE_SOURCE_DIR "/packaging/update-keys/demo.pub"));
    const auto secret = minisign::parseSecretKey(
        readAll(QStringLiteral(SORVANE_SOURCE_DIR "/packaging/update-keys/demo.key")).toStdString());
    QVERIFY(secret);
    minisign::SecretKey other;
    minisign::PublicKey otherPublic;
    crypto_sign_keypair(otherPublic.key.data(), other.key.data());
    other.id = {1, 2, 3, 4, 5, 6, 7, 8};

    const QByteArray program = QByteArrayLiteral("\x7f"
                                                 "ELF program bytes");
    const QList<QByteArray> whole{program.left(4), program.mid(4)};
    const std::string named = "timestamp:1\tfile:clikw730exe\tversion:3.0.06\thashed";
    const auto signedWith = [&](const minisign::SecretKey &key, const QByteArray &bytes,
                                const std::string &comment) {
        return QByteArray::fromStdString(minisign::sign(key, digestOf(bytes), comment));
    };
    const QByteArray good = signedWith(*secret, program, named);
    const qint64 size = program.size();

    QTest::newRow("signed, fed in pieces")
        << publicKey << good << whole << size << UpdateVerdict::Valid << "3.0.06";
    QTest::newRow("size not known beforehand")
        << publicKey << good << whole << qint64(-1) << UpdateVerdict::Valid << "3.0.06";
    QTest::newRow("key as its base64 line alone")
        << publicKey.split('\n').value(1) << good << whole << size << UpdateVerdict::Valid << "3.0.06";
    QTest::newRow("fields in another order")
        << publicKey << signedWith(*secret, program, "version:3.0.06\tfile:clikw730exe") << whole << size
        << UpdateVerdict::Valid << "3.0.06";
    // Signed as releases were before they carried their version: any old build could be replayed.
    QTest::newRow("no version") << publicKey << signedWith(*secret, program, "timestamp:1\tfile:clikw730exe")
                                << whole << size << UpdateVerdict::NoVersion << QString();
    QTest::newRow("empty version") << publicKey << signedWith(*secret, program, "file:clikw730exe\tversion:")
                                   << whole << size << UpdateVerdict::NoVersion << QString();
    QTest::newRow("two versions") << publicKey
                                  << signedWith(*secret, program,
                                                "file:clikw730exe\tversion:3.0.01\tversion:9.9")
                                  << whole << size << UpdateVerdict::NoVersion << QString();
    QTest::newRow("version only as a prefix")
        << publicKey << signedWith(*secret, program, "file:clikw730exe\tversions:3.0.06") << whole << size
        << UpdateVerdict::NoVersion << QString();
    QTest::newRow("one byte changed") << publicKey << good
                                      << QList<QByteArray>{QByteArrayLiteral("\x7f"
                                                                             "ELF program bytez")}
                                      << size << UpdateVerdict::BadSignature << QString();
    QTest::newRow("one byte more") << publicKey << good << (whole + QList<QByteArray>{"!"}) << qint64(-1)
                                   << UpdateVerdict::BadSignature << QString();
    QTest::newRow("not the size checked before")
        << publicKey << good << whole << size + 1 << UpdateVerdict::WrongSize << QString();
    QTest::newRow("another key") << publicKey << signedWith(other, program, named) << whole << size
                                 << UpdateVerdict::OtherKey << QString();
    minisign::SecretKey forged = other;
    forged.id = secret->id;
    QTest::newRow("another key under our key id") << publicKey << signedWith(forged, program, named) << whole
                                                  << size << UpdateVerdict::BadSignature << QString();
    QTest::newRow("another file") << publicKey << signedWith(*secret, program, "file:clikw730exe.old")
                                  << whole << size << UpdateVerdict::OtherFile << QString();
    QTest::newRow("name only as a prefix") << publicKey << signedWith(*secret, program, "file:clikw730exe2")
                                           << whole << size << UpdateVerdict::OtherFile << QString();
    QTest::newRow("trusted comment changed")
        << publicKey << QByteArray(good).replace("timestamp:1", "timestamp:9") << whole << size
        << UpdateVerdict::BadTrustedComment << QString();
    QTest::newRow("no signature") << publicKey << QByteArray() << whole << size << UpdateVerdict::NoSignature
                                  << QString();
    QTest::newRow("an HTML page") << publicKey << QByteArray("<html><body>404</body></html>\n") << whole
                                  << size << UpdateVerdict::NoSignature << QString();
    QTest::newRow("signature lines cut short") << publicKey << good.left(good.size() / 2) << whole << size
                                               << UpdateVerdict::NoSignature << QString();
    QTest::newRow("no key built in") << QByteArray() << good << whole << size << UpdateVerdict::NoKey
                                     << QString();
}

void TestUpdateSignature::verdict()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, signature);
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(qint64, expectedSize);

    SignedProgramCheck check(key, signature, expectedSize);
    for (const QByteArray &piece : pieces)
        check.add(piece);
    const UpdateVerdict verdict = check.verdict();
    QTEST(verdict, "verdict");
    if (verdict == UpdateVerdict::Valid)
        QTEST(check.version(), "version");
}

QTEST_APPLESS_MAIN(TestUpdateSignature)
#include "tst_updatesignature.moc"
