#include "history/CHistory.h"

#include "app/modCommon.h"
#include "components/ComponentError.h"
#include "components/Failure.h"
#include "components/FileFunctions.h"
#include "components/SupportLibrary.h"

namespace {

// "Zentil - Marivane" less its prefix, in proper case.
QString DefaultFolderName() {
    QString title = QString::fromLatin1(kAppTitle);
    title.remove(QString::fromLatin1(kTitlePrefix), Qt::CaseInsensitive);
    QString proper = title.toLower();
    bool wordStart = true;
    for (QChar& c : proper) {
        if (wordStart && c.isLetter())
            c = c.toUpper();
        wordStart = c.isSpace();
    }
    return proper;
}

Failure NoFile() {
    return {QStringLiteral("History file not defined."), {}};
}

} // namespace

void CHistory::InitFileName(const QString& DataPath, const QString& OnlyFileName) {
    QString folder = DataPath;
    if (folder.isEmpty()) {
        folder = zsBuildFileName(
            zsBuildFileName(zsGetSpecialFolder(SpecialFolder::AppData), QStringLiteral("Velmora")),
            DefaultFolderName());
    }
    zsCreateComplexDirectory(folder);
    m_fileName = zsBuildFileName(folder, OnlyFileName);
}

Problem CHistory::LoadHistory() {
    if (m_fileName.isEmpty())
        return NoFile();
    m_entries.clear();
    if (!zsIsFileExist(m_fileName))
        return {};
    try {
        const QString text = FileFunctions::ReadTextFile(m_fileName);
        for (const QString& piece : text.split(QChar(0))) {
            const QString entry = TrimBlanks(piece);
            if (!entry.isEmpty())
                m_entries.append(entry);
        }
    } catch (const ComponentError& e) {
        return FailureOf(e, QStringLiteral("Can't load history."));
    }
    return {};
}

Problem CHistory::SaveHistory() const {
    if (m_fileName.isEmpty())
        return NoFile();
    try {
        FileFunctions::WriteTextFile(m_fileName, m_entries.join(QChar(0)));
    } catch (const ComponentError& e) {
        return FailureOf(e, QStringLiteral("Can't save history."));
    }
    return {};
}

void CHistory::Add(const QString& Text) {
    const QString entry = TrimBlanks(Text);
    if (entry.isEmpty())
        return;
    for (const QString& existing : m_entries) {
        if (existing.compare(entry, Qt::CaseInsensitive) == 0)
            return;
    }
    m_entries.append(entry);
}

QString CHistory::Item(qint32 Index) const {
    if (Index < 0 || Index >= Count())
        throw ComponentError(ErrorNumber::IndexRange,
                             QStringLiteral("History index out of range."));
    return m_entries.at(Index);
}
