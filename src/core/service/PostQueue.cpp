#include "service/PostQueue.h"

#include "components/ComponentError.h"
#include "components/SupportLibrary.h"
#include "store/modStorage.h"

#include <QFileInfo>

Problem PostQueue::Refresh() {
    try {
        m_names = ListPostInfos(m_folder);
        m_listed = true;
        return {};
    } catch (const ComponentError& e) {
        m_names = {};
        m_listed = false;
        return FailureOf(e, AboutPath(m_folder, QStringLiteral("Can't list the posts.")));
    }
}

int PostQueue::NextIndex() const {
    for (int i = 0; i < static_cast<int>(m_names.size()); ++i) {
        if (!m_skipped.contains(m_names.at(i)))
            return i;
    }
    return -1;
}

QString PostQueue::NextPath() const {
    const int index = NextIndex();
    return index < 0 ? QString() : zsBuildFileName(m_folder, m_names.at(index));
}

void PostQueue::Skip(const QString& path) {
    m_skipped.insert(QFileInfo(path).fileName());
}

int PostQueue::Left() const {
    int left = 0;
    for (qsizetype i = 0; i < m_names.size(); ++i)
        left += m_skipped.contains(m_names.at(i)) ? 0 : 1;
    return left;
}
