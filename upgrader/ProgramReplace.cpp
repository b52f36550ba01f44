#include "ProgramReplace.h"

#include "UpdateSignature.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool ReplaceProgram(const QString &source, const QString &target, SignedProgramCheck *check)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return false;

    const QFileInfo existing(target);
    const QFileDevice::Permissions permissions =
        existing.exists() ? existing.permissions()
                          : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                QFileDevice::ExeOther;

    // QSaveFile writes to a temporary file in target's folder, syncs it and renames it on commit.
    // No direct-write fallback: a folder we cannot create files in makes the copy fail.
    QSaveFile output(target);
    output.setDirectWriteFallback(false);
    if (!output.open(QIODevice::WriteOnly))
        return false;
    // Set before the rename, so the program path never holds a file that cannot be started.
    if (!output.setPermissions(permissions)) {
        output.cancelWriting();
        return false;
    }

    constexpr qint64 chunk = 1 << 20;
    QByteArray buffer;
    while (!input.atEnd()) {
        buffer = input.read(chunk);
        if (buffer.isEmpty() && input.error() != QFileDevice::NoError)
            break;
        if (output.write(buffer) != buffer.size())
            break;
        if (check)
            check->add(buffer);
    }
    if (input.error() != QFileDevice::NoError || output.error() != QFileDevice::NoError) {
        output.cancelWriting();
        return false;
    }
    if (check && check->verdict() != UpdateVerdict::Valid) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}
