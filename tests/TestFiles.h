// Small helpers the tests share: reproducible characters and whole-file reads and writes.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "model/Random.h"

namespace quelvane::testing {

// The character a seed rolls, the same on every run.
inline CharacterRecordType Generated(uint64_t seed)
{
    SeededRandom random(seed);
    const Override seeded(RandomSourceSeam, random);
    CharacterRecordType record;
    GenerateInto(record);
    return record;
}

inline QByteArray Bytes(const CharacterRecordType &record)
{
    return QByteArray::fromStdString(WriteCharacterText(record));
}

inline QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool Put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
           && file.flush();
}

// Every entry of a folder, hidden ones included, by name.
inline QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                  QDir::Name);
}

// Builds a locale named `name` under folder whose only category is US Letter paper (216 by
// 279 mm); with LOCPATH set to folder it needs none of the machine's locales.
inline bool MakeLetterPaperLocale(const QString &folder, const QString &name)
{
    const QString definition = folder + QStringLiteral("/paper.def");
    if (!Put(definition, "LC_PAPER\nheight 279\nwidth 216\nEND LC_PAPER\n"))
        return false;
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"), {"-c", "-i", definition, folder + '/' + name});
    return localedef.waitForFinished(60000) && QFile::exists(folder + '/' + name + QStringLiteral("/LC_PAPER"));
}

} // namespace quelvane::testing
